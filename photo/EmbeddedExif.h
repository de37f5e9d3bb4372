// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The edit of Exif TIFF data that a container file holds (a HEIF item, a WebP or PNG chunk, a
// TIFF file itself), shared by the containers' edits: the append-only TIFF edit, the container's
// own wrapping of the new data, and the read-back of the whole new file through Exiv2.

#include <cstddef>
#include <functional>
#include <string>

#include "photo/PhotoEdit.h"

// The new file for new TIFF data `newTiff`, whose first `base` bytes are the old data's but for
// the header's IFD0 offset, and whose appended IFDs follow.
using TiffWrapper = std::function<NewContent(const std::string& newTiff, size_t base)>;

// Edits the `tiffSize` bytes of TIFF data at `tiff`, inside the `size` bytes of `file` from which
// Exiv2 read `original`, so that its GPS IFD holds `position` (PlanTiffGpsUpdate, WriteGpsIfds),
// and wraps each candidate into a new file with `wrap`: over an earlier edit's IFDs first (only
// where they end the data exactly, when `zerosMayMatter`), then after all of the data. Returns
// the first new file that Exiv2 reads back with everything as before and the GPS tags as written.
PhotoEdit EditEmbeddedTiff(const unsigned char* file, size_t size, const unsigned char* tiff,
                           size_t tiffSize, const Exiv2::Image& original,
                           const GpsPosition& position, bool zerosMayMatter,
                           const TiffWrapper& wrap);

// A new file for a photo without Exif data: `wrap` places new TIFF data with only the GPS IFD
// (NewTiffWithGps); read back as EditEmbeddedTiff does.
PhotoEdit AddNewTiff(const unsigned char* file, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position,
                     const std::function<NewContent(const std::string& tiff)>& wrap);

// The bytes that `content` makes, its ranges taken from the `size` bytes of `file`.
std::string ContentBytes(const NewContent& content, const unsigned char* file, size_t size);

// A refusal, or a sidecar instead, with its reason.
PhotoEdit RefusedEdit(const std::string& reason);
PhotoEdit SidecarInstead(const std::string& reason);
