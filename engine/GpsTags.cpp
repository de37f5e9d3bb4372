// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/GpsTags.h"

#include <exiv2/exiv2.hpp>

#include <cmath>
#include <cstdlib>
#include <memory>

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

// Sets `key` to unsigned bytes read from `text`, replacing the value and its type.
void SetBytes(Exiv2::ExifData& exif, const char* key, const char* text) {
    Exiv2::DataValue bytes(Exiv2::unsignedByte);
    bytes.read(text);
    exif[key].setValue(&bytes);
}

// Below sea level when negative; an AltitudeRef saying "below" is reset for heights above.
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

int32_t TruncateToInt32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

std::string FormatGpsCoordinate(double value) {
    const double a = std::fabs(value);
    const double wholeDegrees = std::floor(a);
    const int32_t degrees = TruncateToInt32(wholeDegrees);
    const double m = (a - wholeDegrees) * 60.0;
    const int32_t minutes = TruncateToInt32(std::floor(m));
    const float f = static_cast<float>(m - minutes);
    const float g = static_cast<float>(static_cast<double>(f) * 6000.0);
    const float h = std::floor(g);
    const int32_t hundredths = TruncateToInt32(h);
    return FormatC(100, "%ld/1 %ld/1 %ld/100", static_cast<long>(degrees),
                   static_cast<long>(minutes), static_cast<long>(hundredths));
}

WrittenGps WriteGpsTags(const TrackPoint& point, Exiv2::ExifData& exif) {
    WrittenGps written;
    written.longitude = FormatGpsCoordinate(point.longitude);
    written.latitude = FormatGpsCoordinate(point.latitude);

    EraseFirst(exif, kLongitudeKey);
    EraseFirst(exif, kLatitudeKey);
    const std::unique_ptr<Exiv2::Value> rational(
        Exiv2::Value::create(Exiv2::unsignedRational).release());
    AddRational(exif, *rational, kLongitudeKey, written.longitude);
    AddRational(exif, *rational, kLatitudeKey, written.latitude);
    exif["Exif.GPSInfo.GPSLatitudeRef"] = point.latitude > 0 ? "N" : "S";
    exif["Exif.GPSInfo.GPSLongitudeRef"] = point.longitude > 0 ? "E" : "W";
    SetBytes(exif, "Exif.GPSInfo.GPSVersionID", "2 0 0 0");

    const int32_t elevation = TruncateToInt32(point.elevation);
    if (elevation != -9999) {
        const int64_t height = std::llabs(static_cast<int64_t>(elevation));
        written.altitude = FormatC(100, "%lld/1", static_cast<long long>(height));
        EraseFirst(exif, kAltitudeKey);
        AddRational(exif, *rational, kAltitudeKey, *written.altitude);
        WriteAltitudeRef(exif, elevation);
    }
    return written;
}
