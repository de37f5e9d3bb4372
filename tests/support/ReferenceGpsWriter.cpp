// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReferenceGpsWriter.h"

#include <exiv2/exiv2.hpp>

#include <cstdlib>
#include <memory>

#include "JpegFixtures.h"

#include "photo/exif/GpsTags.h"
#include "platform/NumberText.h"

namespace {

const char kLongitudeKey[] = "Exif.GPSInfo.GPSLongitude";
const char kLatitudeKey[] = "Exif.GPSInfo.GPSLatitude";
const char kAltitudeKey[] = "Exif.GPSInfo.GPSAltitude";
const char kAltitudeRefKey[] = "Exif.GPSInfo.GPSAltitudeRef";

void EraseFirst(Exiv2::ExifData& exif, const char* key) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it != exif.end()) {
        exif.erase(it);
    }
}

void AddRational(Exiv2::ExifData& exif, Exiv2::Value& value, const char* key,
                 const std::string& text) {
    value.read(text);
    exif.add(Exiv2::ExifKey(key), &value);
}

void SetBytes(Exiv2::ExifData& exif, const char* key, const char* text) {
    Exiv2::DataValue bytes(Exiv2::unsignedByte);
    bytes.read(text);
    exif[key].setValue(&bytes);
}

void WriteAltitudeRef(Exiv2::ExifData& exif, int64_t elevation) {
    if (elevation < 0) {
        SetBytes(exif, kAltitudeRefKey, "1");
        return;
    }
    const auto ref = exif.findKey(Exiv2::ExifKey(kAltitudeRefKey));
    if (ref != exif.end() && ref->count() > 0 && ref->toLong(0) == 1) {
        SetBytes(exif, kAltitudeRefKey, "0");
    }
}

}  // namespace

void WriteGpsTagsWithExiv2(const GeoPosition& point, Exiv2::ExifData& exif) {
    EraseFirst(exif, kLongitudeKey);
    EraseFirst(exif, kLatitudeKey);
    const std::unique_ptr<Exiv2::Value> rational(
        Exiv2::Value::create(Exiv2::unsignedRational).release());
    AddRational(exif, *rational, kLongitudeKey, FormatGpsCoordinate(point.longitude));
    AddRational(exif, *rational, kLatitudeKey, FormatGpsCoordinate(point.latitude));
    exif["Exif.GPSInfo.GPSLatitudeRef"] = point.latitude > 0 ? "N" : "S";
    exif["Exif.GPSInfo.GPSLongitudeRef"] = point.longitude > 0 ? "E" : "W";
    SetBytes(exif, "Exif.GPSInfo.GPSVersionID", "2 0 0 0");
    const int32_t elevation = TruncateToInt32(point.elevation);
    if (elevation != -9999) {
        const int64_t height = std::llabs(static_cast<int64_t>(elevation));
        EraseFirst(exif, kAltitudeKey);
        AddRational(exif, *rational, kAltitudeKey,
                    FormatC(100, "%lld/1", static_cast<long long>(height)));
        WriteAltitudeRef(exif, elevation);
    }
}

std::string RewriteWithExiv2(const std::string& bytes, const GeoPosition& point) {
    auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()),
                                           static_cast<long>(bytes.size()));
    image->readMetadata();
    Exiv2::ExifData& exif = image->exifData();
    WriteGpsTagsWithExiv2(point, exif);
    image->setExifData(exif);
    image->writeMetadata();
    return BytesInMemory(*image);
}
