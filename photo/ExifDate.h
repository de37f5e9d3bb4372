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

// The text of "Exif.Photo.DateTimeDigitized", or empty when the tag is absent or empty.
// Never adds the tag.
std::string ReadDateTimeDigitized(const Exiv2::ExifData& exif);

// The offset tag that belongs to "Exif.Photo.DateTimeDigitized": its key and text.
struct OffsetTag {
    std::string key;
    std::string text;
};

// The first of "Exif.Photo.OffsetTimeDigitized", "Exif.Photo.OffsetTimeOriginal" and
// "Exif.Photo.OffsetTime" that the image carries with a value, or nothing when it carries none
// of them. The text is returned as stored, without any check (see ParseExifOffset).
std::optional<OffsetTag> ReadOffsetTag(const Exiv2::ExifData& exif);

// Whether the image carries both "Exif.GPSInfo.GPSLatitude" and "Exif.GPSInfo.GPSLongitude"
// with a value.
bool HasRecordedPosition(const Exiv2::ExifData& exif);

// The capture time text ("Exif.Photo.DateTimeDigitized") of the image file at `path`; empty
// when the file cannot be read as an image or carries no such date.
std::optional<std::string> ReadCaptureTimeText(const std::string& path);
