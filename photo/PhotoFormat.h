// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which kind of photo a file is: what its name promises, and what its content says. A file is
// what its content says; one whose content is not what its name promises is never written.

#include <cstddef>
#include <string>

#include "platform/Status.h"

enum class PhotoFormat {
    Unknown,
    Jpeg,
    Tiff,     // classic TIFF, either byte order
    BigTiff,  // TIFF with 64-bit offsets
    Heif,     // an ISO base media file holding images: HEIC, HEIF, AVIF
    WebP,
    Png,
};

// The format a file name promises by its extension, in any letter case: ".jpg" and ".jpeg";
// ".tif" and ".tiff" (Tiff); ".heic", ".heif", ".hif" and ".avif" (Heif); ".webp"; ".png".
// Unknown for any other name.
PhotoFormat FormatOfName(const std::string& name);

// The format that the first `size` bytes of a file show; Unknown when they show none of them.
// A Heif file begins with an "ftyp" box naming an image brand (mif1, msf1, heic, heix, avif,
// and their kin) as its major or a compatible brand.
PhotoFormat FormatOfContent(const unsigned char* data, size_t size);

// "JPEG", "TIFF", "BigTIFF", "HEIF", "WebP", "PNG" or "unknown".
const char* FormatName(PhotoFormat format);

// Checks that the `size` bytes of the file `name`, read from its start, are the format its name
// promises: a JPEG must run from its start-of-image marker through its segments to its start of
// scan (ScanJpegHeader finds it). A ".tif" holding a BigTIFF is Unreadable too: the image
// library cannot read its metadata. Gives the content's format, or Unreadable with the reason.
Status CheckPhotoContent(const std::string& name, const unsigned char* data, size_t size,
                         PhotoFormat& format);
