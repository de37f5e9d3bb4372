// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HEIF, HEIC, AVIF: the Exif item's edited data in a new "mdat" at the end, its location repointed.

#include <cstddef>

#include "photo/PhotoEdit.h"

// Writes over an earlier edit's last "mdat"; a sidecar for an Exif item it cannot address.
PhotoEdit EditHeifGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                      const GpsPosition& position);
