// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TIFF files: the new IFD0 and GPS IFD after the end of the file, the header pointed at them.

#include <cstddef>

#include "photo/PhotoEdit.h"

// Writes over an earlier edit's IFDs at the very end; a sidecar for BigTIFF and files past 4 GiB.
PhotoEdit EditTiffFileGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                          const GpsPosition& position);
