# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads Fenrik's accessible tree through AT-SPI, as a screen reader does, and checks roles,
names, states and the status announcement of the main window and the configuration dialog.

Run by check_accessible_tree.sh inside a session bus and an X server, with Fenrik started on a
profile whose hot folder 1 is on and whose GPX file is missing. Writes both trees to
ARTIFACT_DIR/accessible-tree.txt. Exits non-zero with a FAIL line on the first failed check."""
import subprocess
import sys

import pyatspi
from atspi_support import (by_role, click, dump, fail, find_application, focusable_names, pump,
                           states, walk)

ARTIFACTS = sys.argv[1]
FOLDER = sys.argv[2]


app = find_application("fenrik")
frames = [n for n in app if n is not None and n.getRoleName() == "frame"]
if not frames or frames[0].name != "Fenrik":
    fail("the main window is not a frame named Fenrik: %s" % [(n.getRoleName(), n.name) for n in app])
window = frames[0]
checks = by_role(window, "check box")
if [c.name for c in checks] != ["Hot folder %d" % n for n in range(1, 5)]:
    fail("the hot folder checks: %s" % [c.name for c in checks])
if "checked" not in states(checks[0]) or any("checked" in states(c) for c in checks[1:]):
    fail("only hot folder 1 is on, but the checked states say otherwise")
if checks[0].description != FOLDER:
    fail("hot folder 1's description is %r, not its path" % checks[0].description)
if len(by_role(window, "label")) < 5:
    fail("the text lines are not labels")
status = by_role(window, "status bar")
if len(status) != 1 or status[0].name != "Status: Ready":
    fail("no status bar reading Status: Ready")
main_tree = dump(app)

changes = []
pyatspi.Registry.registerEventListener(
    lambda e: changes.append((e.source.getRoleName(), e.source.name)),
    "object:property-change:accessible-name")
click([n for n in walk(window) if n.name == "Start tagging"][0])
pump(4)
if ("status bar", "Status: No track!") not in changes:
    fail("the status word was not announced: %s" % changes)
others = [c for c in changes if c[0] != "status bar"]
if others:
    fail("names that did not change were set again: %s" % others)
if status[0].description.find("GPX") < 0:
    fail("the status bar's description lacks the run's summary: " + status[0].description)

click([n for n in walk(window) if n.name == "Folders and settings"][0])
dialog = None
for _ in range(100):
    pump(0.05)
    dialog = next((n for n in app if n is not None and n.getRoleName() == "dialog"), None)
    if dialog is not None:
        break
if dialog is None:
    fail("the configuration dialog did not appear")
# A combo box is named by its value, and by the label it is labelled by.
zones = by_role(dialog, "combo box")
labels = [r.getTarget(0).name for z in zones for r in z.getRelationSet()
          if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
if len(zones) != 1 or not any("time" in label.lower() for label in labels):
    fail("the zone list is labelled by no label: %s" % labels)
names = focusable_names(dialog, ("dialog", "panel", "filler", "list", "list item", "menu item",
                                 "combo box"))
for wanted in ["Hot folder 1", "Choose hot folder 1", "Hours", "Minutes", "Camera time zone",
               "Log folder", "Choose log folder", "OK", "Cancel"]:
    if wanted not in names:
        fail("no control named %r among %s" % (wanted, names))
dialog_tree = dump(dialog)
subprocess.run(["xdotool", "key", "Escape"], check=True)

with open(ARTIFACTS + "/accessible-tree.txt", "w") as out:
    out.write("The main window after a run without a track:\n")
    out.write("\n".join(dump(app)) + "\n\nThe configuration dialog:\n")
    out.write("\n".join(dialog_tree) + "\n")
print("accessible tree: roles, names, states and the announcement as expected")
