// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which kind of photo a file is by its name, and by its content, which decides.

#include <cstddef>
#include <string>

#include "platform/Status.h"

enum class PhotoFormat {
    Unknown,
    Jpeg,
    Tiff,     // classic TIFF, either byte order
    BigTiff,  // TIFF with 64-bit offsets
    Heif,     // an ISO base media file of images: HEIC, HEIF, AVIF
    WebP,
    Png,
};

// By extension in any case: .jpg .jpeg, .tif .tiff, .heic .heif .hif .avif, .webp, .png.
PhotoFormat FormatOfName(const std::string& name);

// By the first bytes; HEIF by an image brand (mif1, heic, avif...) in its leading "ftyp" box.
PhotoFormat FormatOfContent(const unsigned char* data, size_t size);

// "JPEG", "TIFF", "BigTIFF", "HEIF", "WebP", "PNG" or "unknown".
const char* FormatName(PhotoFormat format);

// Ok, with the content's format (a ".tif" may hold a BigTIFF), when the content is what the name
// promises and a JPEG runs from its start to its start of scan; Unreadable with the reason
// otherwise.
Status CheckPhotoContent(const std::string& name, const unsigned char* data, size_t size,
                         PhotoFormat& format);
