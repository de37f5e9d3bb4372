// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small preview image a camera keeps in a photo's Exif data.

#include <string>

// The thumbnail's encoded bytes (usually a JPEG), or empty when the photo has none or cannot be
// read. Never throws.
std::string ReadExifThumbnail(const std::string& path);
