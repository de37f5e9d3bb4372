# SPDX-License-Identifier: GPL-3.0-or-later
"""What the accessibility checks share: finding an application on the AT-SPI bus, walking its
tree, its states, a printable dump, clicks, and failing with a FAIL line."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        context.iteration(False)
        time.sleep(0.01)


def find_application(name):
    for _ in range(2400):  # two minutes at most, for a slow build on a busy machine
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name and name in app.name.lower():
                return app
        time.sleep(0.05)
    fail("no accessible application named " + name)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def dump(node, depth=0):
    shown = sorted(states(node) & {"checked", "focusable", "focused"})
    lines = ["  " * depth + f'[{node.getRoleName()}] "{node.name}" ({node.description}) '
             + ",".join(shown)]
    for child in node:
        if child is not None:
            lines += dump(child, depth + 1)
    return lines


def click(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True)


def by_role(root, role):
    return [n for n in walk(root) if n.getRoleName() == role]


def focusable_names(root, unnamed_roles):
    """The names of the focusable controls under root, other than those of unnamed_roles; fails
    when one has no name or two share one."""
    focusable = [n for n in walk(root) if "focusable" in states(n)
                 and n.getRoleName() not in unnamed_roles]
    names = [n.name for n in focusable]
    if any(not name for name in names):
        fail("focusable controls without a name:\n" + "\n".join(dump(root)))
    if len(set(names)) != len(names):
        fail("focusable controls share names: %s" % names)
    return names
