// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a position into a HEIF file (HEIC, HEIF, AVIF) whose Exif item the edit can address:
// the item's edited Exif data (the append-only TIFF edit) goes into a new "mdat" box at the end
// of the file and the item's one location entry is pointed at it. No other byte moves; the old
// Exif bytes stay, no longer referenced.

#include <cstddef>

#include "photo/PhotoEdit.h"

// Edits the `size` bytes of a HEIF file, from which Exiv2 read `original`, so that its GPS IFD
// holds `position`. Where the last box is the "mdat" an earlier edit added, holding the Exif item
// alone, it is written over. A sidecar instead, with the reason, for: boxes that do not fill the
// file exactly, no or several Exif items, an item kept other than as one extent in this file
// (in "idat", built of other items, in several extents or another file), location fields too
// small for the new offset or length, and Exif data whose TIFF header lies outside it. Refuses
// what the TIFF edit refuses and a result that does not read back (EditEmbeddedTiff).
PhotoEdit EditHeifGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                      const GpsPosition& position);
