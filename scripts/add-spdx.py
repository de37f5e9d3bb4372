#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Puts the licence's SPDX line into the header comment of every source file of the project.

Run from anywhere; files that carry the line already are left alone, so it can be run again
after new files were added. Test data and fuzz corpora are not source files and are skipped.
"""
import pathlib
import subprocess

SPDX = "SPDX-License-Identifier: GPL-3.0-or-later"
SOURCE_SUFFIXES = (".cpp", ".h", ".sh", ".py", ".cmake")
SKIPPED_FOLDERS = ("tests/data/", "fuzz/corpus/")


def is_source(path: str) -> bool:
    if path.startswith(SKIPPED_FOLDERS):
        return False
    return path.endswith(SOURCE_SUFFIXES) or path.rsplit("/", 1)[-1] == "CMakeLists.txt"


def with_spdx(path: str, text: str) -> str:
    """The text with the SPDX line at the top of its header comment (after a #! line)."""
    hash_comment = not path.endswith((".cpp", ".h"))
    line = ("# " if hash_comment else "// ") + SPDX + "\n"
    if text.startswith("#!"):
        first, _, rest = text.partition("\n")
        return first + "\n" + line + rest
    return line + text


def main() -> None:
    root = pathlib.Path(
        subprocess.check_output(["git", "rev-parse", "--show-toplevel"], text=True).strip())
    files = subprocess.check_output(["git", "ls-files"], cwd=root, text=True).splitlines()
    for path in filter(is_source, files):
        file = root / path
        text = file.read_text(encoding="utf-8")
        if SPDX not in text:
            file.write_text(with_spdx(path, text), encoding="utf-8")


if __name__ == "__main__":
    main()
