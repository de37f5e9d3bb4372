// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/PhotoFix.h"

#include <exiv2/exiv2.hpp>

#include <cmath>

#include "match/ExifDateTime.h"
#include "platform/FileTime.h"

namespace {

const Exiv2::Exifdatum* Find(const Exiv2::ExifData& exif, const char* key) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() || it->count() == 0 ? nullptr : &*it;
}

// The rational at `n` as a number; nothing for a zero denominator or a missing value.
std::optional<double> RationalAt(const Exiv2::Exifdatum& datum, long n) {
    if (datum.count() <= n) {
        return std::nullopt;
    }
    const Exiv2::Rational value = datum.toRational(n);
    if (value.second == 0 || datum.typeId() != Exiv2::unsignedRational) {
        return std::nullopt;
    }
    return static_cast<double>(value.first) / static_cast<double>(value.second);
}

// Degrees, minutes and seconds as decimal degrees, signed by the reference's first letter.
std::optional<double> Coordinate(const Exiv2::ExifData& exif, const char* key,
                                 const char* referenceKey, char negative, double limit) {
    const Exiv2::Exifdatum* datum = Find(exif, key);
    if (datum == nullptr || datum->count() != 3) {
        return std::nullopt;
    }
    double degrees = 0.0;
    double scale = 1.0;
    for (long n = 0; n < 3; ++n, scale *= 60.0) {
        const std::optional<double> part = RationalAt(*datum, n);
        if (!part || *part < 0.0) {
            return std::nullopt;
        }
        degrees += *part / scale;
    }
    if (!std::isfinite(degrees) || degrees > limit) {
        return std::nullopt;
    }
    const Exiv2::Exifdatum* reference = Find(exif, referenceKey);
    const std::string text = reference != nullptr ? reference->toString() : std::string();
    return !text.empty() && (text[0] == negative || text[0] == negative + 32) ? -degrees : degrees;
}

std::optional<uint64_t> GpsTime(const Exiv2::ExifData& exif) {
    const Exiv2::Exifdatum* date = Find(exif, "Exif.GPSInfo.GPSDateStamp");
    const Exiv2::Exifdatum* time = Find(exif, "Exif.GPSInfo.GPSTimeStamp");
    if (date == nullptr || time == nullptr || time->count() != 3) {
        return std::nullopt;
    }
    const std::optional<double> hours = RationalAt(*time, 0);
    const std::optional<double> minutes = RationalAt(*time, 1);
    const std::optional<double> seconds = RationalAt(*time, 2);
    if (!hours || !minutes || !seconds || *hours >= 24 || *minutes >= 60 || *seconds >= 61 ||
        *hours != std::floor(*hours) || *minutes != std::floor(*minutes) || *seconds < 0) {
        return std::nullopt;
    }
    const std::optional<uint64_t> day = ParseExifDateTime(date->toString() + " 00:00:00");
    if (!day) {
        return std::nullopt;
    }
    const double units = (*hours * 3600.0 + *minutes * 60.0 + *seconds) *
                         static_cast<double>(kFileTimeUnitsPerSecond);
    return *day + static_cast<uint64_t>(std::llround(units));
}

}  // namespace

std::optional<PhotoFix> ReadPhotoFix(const Exiv2::ExifData& exif) {
    const std::optional<double> latitude =
        Coordinate(exif, "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef", 'S', 90.0);
    const std::optional<double> longitude =
        Coordinate(exif, "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef", 'W', 180.0);
    if (!latitude || !longitude) {
        return std::nullopt;
    }
    PhotoFix fix;
    fix.position.latitude = *latitude;
    fix.position.longitude = *longitude;
    if (const Exiv2::Exifdatum* altitude = Find(exif, "Exif.GPSInfo.GPSAltitude")) {
        if (const std::optional<double> metres = RationalAt(*altitude, 0)) {
            const Exiv2::Exifdatum* reference = Find(exif, "Exif.GPSInfo.GPSAltitudeRef");
            const bool below = reference != nullptr && reference->toLong() == 1;
            fix.position.elevation = below ? -*metres : *metres;
        }
    }
    fix.gpsTime = GpsTime(exif);
    for (const char* key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized"}) {
        if (const Exiv2::Exifdatum* datum = Find(exif, key)) {
            fix.captureText = datum->toString();
            break;
        }
    }
    return fix;
}
