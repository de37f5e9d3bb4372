// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The capture time in an image's Exif data.

#include <cstdint>
#include <optional>
#include <string>

#include "match/ExifDateTime.h"

namespace Exiv2 {
class ExifData;
}

// The text of "Exif.Photo.DateTimeDigitized", or empty; never adds the tag.
std::string ReadDateTimeDigitized(const Exiv2::ExifData& exif);

struct OffsetTag {
    std::string key;
    std::string text;
};

// The first of Exif.Photo.OffsetTimeDigitized, OffsetTimeOriginal and OffsetTime that has a
// value, its text unchecked; nothing when none has.
std::optional<OffsetTag> ReadOffsetTag(const Exiv2::ExifData& exif);

// Whether both Exif.GPSInfo.GPSLatitude and GPSLongitude have a value.
bool HasRecordedPosition(const Exiv2::ExifData& exif);

// The DateTimeDigitized text of the image at `path`; empty when unreadable or absent.
std::optional<std::string> ReadCaptureTimeText(const std::string& path);
