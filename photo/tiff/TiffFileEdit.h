// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a position into a TIFF file: the file is the TIFF data, so the append-only TIFF edit
// (TiffGpsEdit) puts the new IFD0 and GPS IFD after the end of the file and points the header at
// them; every other byte stays where it is.

#include <cstddef>

#include "photo/PhotoEdit.h"

// Edits the `size` bytes of a TIFF file, from which Exiv2 read `original`, so that its GPS IFD
// holds `position`. An earlier edit's IFDs at the very end of the file are written over. A
// BigTIFF, and a file too large for 32-bit offsets to reach past its end, get a sidecar instead.
// Refuses what ReadTiffGpsLayout refuses, and a result that does not read back (EditEmbeddedTiff).
PhotoEdit EditTiffFileGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                          const GpsPosition& position);
