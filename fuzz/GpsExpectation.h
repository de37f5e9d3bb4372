// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets of the GPS tag writers expect: the position an input is tagged with, and
// the GPS tags, as Exiv2's text lines (Exiv2Listing.h), that tagging a photo with it should give.
// Header-only, so that the clang fuzz builds take it as it is.

#include <exiv2/exiv2.hpp>

#include <iterator>
#include <memory>
#include <set>
#include <string>

#include "Exiv2Listing.h"
#include "photo/exif/ExifReadBack.h"
#include "photo/exif/GpsTags.h"
#include "track/TrackPoint.h"

namespace fuzz {

// One of three positions, picked by the input: above sea level in the north-east, below it on
// the equator and the prime meridian, and without elevation in the south-west.
inline GeoPosition PointFor(size_t size) {
    GeoPosition point;
    switch (size % 3) {
        case 0:
            point.latitude = 48.137154;
            point.longitude = 11.575382;
            point.elevation = 519.6;
            break;
        case 1:
            point.elevation = -12.7;
            break;
        default:
            point.latitude = -33.8568;
            point.longitude = -122.4194;
            break;
    }
    return point;
}

inline std::string Line(const char* tag, const char* type, int count, const std::string& value) {
    return std::string("Exif.GPSInfo.") + tag + " " + type + " " + std::to_string(count) + " " +
           value;
}

inline void Replace(std::multiset<std::string>& gps, const std::string& line) {
    const std::string key = line.substr(0, line.find(' ') + 1);
    for (auto it = gps.begin(); it != gps.end();) {
        it = it->compare(0, key.size(), key) == 0 ? gps.erase(it) : std::next(it);
    }
    gps.insert(line);
}

// The GPS lines that writing `position` into a photo with `gps` should give.
inline std::multiset<std::string> ExpectedGpsLines(std::multiset<std::string> gps,
                                                   const GpsPosition& position,
                                                   bool altitudeRefIsOne) {
    Replace(gps, Line("GPSVersionID", "1", 4, "2 0 0 0"));
    Replace(gps, Line("GPSLatitudeRef", "2", 2, std::string(1, position.latitudeRef)));
    Replace(gps, Line("GPSLatitude", "5", 3, position.latitude));
    Replace(gps, Line("GPSLongitudeRef", "2", 2, std::string(1, position.longitudeRef)));
    Replace(gps, Line("GPSLongitude", "5", 3, position.longitude));
    if (position.altitude) {
        Replace(gps, Line("GPSAltitude", "5", 1, *position.altitude));
        if (position.belowSeaLevel || altitudeRefIsOne) {
            Replace(gps, Line("GPSAltitudeRef", "1", 1, position.belowSeaLevel ? "1" : "0"));
        }
    }
    return gps;
}

inline bool AltitudeRefIsOne(const Exiv2::Image& image) {
    const auto& exif = image.exifData();
    const auto ref = exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSAltitudeRef"));
    return ref != exif.end() && ref->count() > 0 && ref->toLong(0) == 1;
}

// `data` as Exiv2 reads it, and its listing; false for a photo that Exiv2 cannot read, which the
// program skips before it is edited.
inline bool ReadAndList(const uint8_t* data, size_t size, std::unique_ptr<Exiv2::Image>& image,
                        Exiv2Listing& listing) {
    try {
        image = ReadWithExiv2(data, size);
        listing = ListWithExiv2(*image);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace fuzz
