// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exif TIFF data in a container: the TIFF edit, the container's wrapping, the Exiv2 read-back.

#include <cstddef>
#include <functional>
#include <string>

#include "photo/PhotoEdit.h"

// The new file for new TIFF data that keeps the old data's first `base` bytes (but its header).
using TiffWrapper = std::function<NewContent(const std::string& newTiff, size_t base)>;

// Edits the TIFF data at `tiff` inside `file` (read by Exiv2 as `original`), over an earlier
// edit's IFDs first (when `zerosMayMatter`, only where they end the data); returns the first
// wrapped file that reads back with only the GPS tags changed.
PhotoEdit EditEmbeddedTiff(const unsigned char* file, size_t size, const unsigned char* tiff,
                           size_t tiffSize, const Exiv2::Image& original,
                           const GpsPosition& position, bool zerosMayMatter,
                           const TiffWrapper& wrap);

// The same for a file without Exif: `wrap` places TIFF data holding only the GPS IFD.
PhotoEdit AddNewTiff(const unsigned char* file, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position,
                     const std::function<NewContent(const std::string& tiff)>& wrap);

// The bytes `content` makes, its ranges taken from `file`; throws std::out_of_range beyond it.
std::string ContentBytes(const NewContent& content, const unsigned char* file, size_t size);

PhotoEdit RefusedEdit(const std::string& reason);
PhotoEdit SidecarInstead(const std::string& reason);
