// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WebP: the EXIF chunk replaced or added after the image data, VP8X and the RIFF size kept true.

#include <cstddef>

#include "photo/PhotoEdit.h"

// Makes a VP8X from a simple file's image header; refuses chunks that do not fill the RIFF size.
PhotoEdit EditWebPGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                      const GpsPosition& position);
