// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PNG: the eXIf chunk replaced or added before IDAT, or ImageMagick's raw profile text rewritten.

#include <cstddef>

#include "photo/PhotoEdit.h"

// Refuses broken chunks, a wrong CRC where it writes, and two Exif records.
PhotoEdit EditPngGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position);
