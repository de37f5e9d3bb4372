// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a position into a PNG file: its "eXIf" chunk is replaced by one with the edited Exif
// data (the append-only TIFF edit), or a new one goes before the first IDAT chunk. Where the file
// keeps its Exif in ImageMagick's text chunk "Raw profile type exif" instead, that chunk is
// written again, in its own form, with the edited data, so that every reader finds one Exif.
// Every other chunk stays as it was, byte for byte.

#include <cstddef>

#include "photo/PhotoEdit.h"

// Edits the `size` bytes of a PNG file, from which Exiv2 read `original`, so that its GPS IFD
// holds `position`. Refuses, with the reason: chunks that do not run from the signature through
// IHDR to an IEND that ends the file, a chunk to be replaced whose CRC is wrong, two Exif records
// (eXIf chunks, raw profiles or one of each), a raw profile that does not read, Exif data without
// a TIFF header, no IDAT chunk, and what the TIFF edit refuses or does not read back.
PhotoEdit EditPngGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position);
