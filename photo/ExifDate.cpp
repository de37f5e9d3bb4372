// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/ExifDate.h"

#include <exiv2/exiv2.hpp>

#include <exception>
#include <initializer_list>
#include <utility>

namespace {

// The text of the tag `key`, or nothing when the image does not carry it with a value.
std::optional<std::string> TagText(const Exiv2::ExifData& exif, const char* key) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end() || it->count() == 0) {
        return std::nullopt;
    }
    return it->toString();
}

}  // namespace

std::string ReadDateTimeDigitized(const Exiv2::ExifData& exif) {
    return TagText(exif, "Exif.Photo.DateTimeDigitized").value_or(std::string());
}

std::string ReadSubSecondText(const Exiv2::ExifData& exif) {
    return TagText(exif, "Exif.Photo.SubSecTimeDigitized").value_or(std::string());
}

std::optional<OffsetTag> ReadOffsetTag(const Exiv2::ExifData& exif) {
    for (const char* key : {"Exif.Photo.OffsetTimeDigitized", "Exif.Photo.OffsetTimeOriginal",
                            "Exif.Photo.OffsetTime"}) {
        if (std::optional<std::string> text = TagText(exif, key)) {
            return OffsetTag{key, std::move(*text)};
        }
    }
    return std::nullopt;
}

bool HasRecordedPosition(const Exiv2::ExifData& exif) {
    return TagText(exif, "Exif.GPSInfo.GPSLatitude") && TagText(exif, "Exif.GPSInfo.GPSLongitude");
}

std::optional<std::string> ReadCaptureTimeText(const std::string& path) {
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        const std::string text = ReadDateTimeDigitized(image->exifData());
        return text.empty() ? std::nullopt : std::optional<std::string>(text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
