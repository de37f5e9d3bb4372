# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the map preview's accessible tree through AT-SPI, as a screen reader does: the window's
name, every control named, the map's name and the description that sums up what it shows, and
the list of photos whose rows read as sentences.

Run by check_preview_tree.sh with fenrik --preview started on a.jpg (on a fix), b.jpg (between
two fixes) and c.jpg (a day before the track). Writes the tree to
ARTIFACT_DIR/preview-accessible-tree.txt. Exits non-zero with a FAIL line on the first failed
check."""
import sys

import pyatspi
from atspi_support import (by_role, dump, fail, find_application, focusable_names, pump, states,
                           walk)

ARTIFACTS = sys.argv[1]

app = find_application("fenrik")
window = None
for _ in range(2400):  # two minutes at most: a sanitizer build on a busy machine is slow
    pump(0.05)
    window = next((n for n in app if n is not None and n.name == "Preview on the map"), None)
    if window is not None:
        break
if window is None or window.getRoleName() not in ("frame", "window", "dialog"):
    fail("no window named Preview on the map: %s" % [(n.getRoleName(), n.name) for n in app])

maps = [n for n in walk(window) if n.name == "Map"]
summary = "2 photos on 1 track segment; 1 not placed"
for _ in range(2400):  # read on a worker, slowly in a sanitizer build on a busy machine
    if maps and maps[0].description == summary:
        break
    pump(0.05)
if not maps or maps[0].description != summary:
    fail("the map's description is %r, not %r" % (maps[0].description if maps else None, summary))
if "focusable" not in states(maps[0]):
    fail("the map does not take the focus, and with it the arrow keys")
# The zone list is named by its value, and by the label it is labelled by.
zones = by_role(window, "combo box")
labels = [r.getTarget(0).name for z in zones for r in z.getRelationSet()
          if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
if labels != ["Camera time zone:"]:
    fail("the zone list is labelled by %s" % labels)

with open(ARTIFACTS + "/preview-accessible-tree.txt", "w") as out:
    out.write("\n".join(dump(window)) + "\n")

tables = [n for n in by_role(window, "table") if n.name == "Photos in time order"]
if len(tables) != 1:
    fail("no table named Photos in time order:\n" + "\n".join(dump(window)))
table = tables[0].queryTable()
rows = [table.getAccessibleAt(row, 0).name for row in range(table.nRows)]
wanted = ["c.jpg, 12:00:00, not placed: 1 d 0 h 0 min 0 s before the track starts",
          "a.jpg, 12:10:00, exact, 0 s from the track",
          "b.jpg, 12:40:30, interpolated, 30 s from the track"]
if rows != wanted:
    fail("the rows read %s, not %s" % (rows, wanted))

names = focusable_names(window, ("frame", "panel", "filler", "table", "table cell",
                                 "column header", "table column header", "scroll bar",
                                 "list", "list item", "menu item", "combo box"))
for control in ["Camera clock correction in seconds, positive when fast", "Camera clock correction",
                "Set from a photo...", "Follow daylight saving",
                "Use the time zone the photo records", "Place photos between track points",
                "Largest gap between track points to place a photo in",
                "Use these settings", "Tag now", "Close"]:
    if control not in names:
        fail("no control named %r among %s" % (control, names))

print("preview's accessible tree: names, rows and the map's description as expected")
