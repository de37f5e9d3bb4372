#pragma once
// The capture time in an image's Exif data.

#include <cstdint>
#include <optional>
#include <string>

namespace Exiv2 {
class ExifData;
}

// The text of "Exif.Photo.DateTimeDigitized", or empty when the tag is absent or empty.
// Never adds the tag.
std::string ReadDateTimeDigitized(const Exiv2::ExifData& exif);

// The capture time of an Exif date text ("2007:06:01 12:34:56"): six fields split at colons
// and spaces; a missing sixth field means 0 seconds. Returns nothing for four or fewer fields
// or for numbers that do not form a valid date and time.
std::optional<uint64_t> ParseExifDateTime(const std::string& text);
