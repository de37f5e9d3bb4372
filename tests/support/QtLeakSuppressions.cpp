// SPDX-License-Identifier: GPL-3.0-or-later
// Leak reports that LeakSanitizer leaves out of tests that draw text with Qt. List this file
// among the sources of such a test program.

// Fontconfig keeps the configuration that Qt loads for the first text layout until the process
// ends; neither Qt nor the tests can release it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
