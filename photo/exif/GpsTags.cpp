// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/exif/GpsTags.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/NumberText.h"

namespace {

std::string BigEndian32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

// Reads an unsigned decimal number of at most 32 bits at `pos`, advancing past it.
bool ReadNumber(const std::string& text, size_t& pos, uint32_t& value) {
    const size_t start = pos;
    uint64_t number = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        number = number * 10 + static_cast<uint64_t>(text[pos] - '0');
        if (number > UINT32_MAX) {
            return false;
        }
        ++pos;
    }
    value = static_cast<uint32_t>(number);
    return pos > start;
}

GpsEntry Entry(uint16_t tag, uint16_t type, uint32_t count, std::string value) {
    GpsEntry entry;
    entry.tag = tag;
    entry.type = type;
    entry.count = count;
    entry.value = std::move(value);
    return entry;
}

GpsEntry Reference(uint16_t tag, char letter) {
    return Entry(tag, kTiffAscii, 2, std::string{letter, '\0'});
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

GpsPosition GpsPositionOf(const GeoPosition& point) {
    GpsPosition position;
    position.longitude = FormatGpsCoordinate(point.longitude);
    position.latitude = FormatGpsCoordinate(point.latitude);
    position.longitudeRef = point.longitude > 0 ? 'E' : 'W';
    position.latitudeRef = point.latitude > 0 ? 'N' : 'S';
    const int32_t elevation = TruncateToInt32(point.elevation);
    if (elevation != TruncateToInt32(kNoElevation)) {
        const int64_t height = std::llabs(static_cast<int64_t>(elevation));
        position.altitude = FormatC(100, "%lld/1", static_cast<long long>(height));
        position.belowSeaLevel = elevation < 0;
    }
    return position;
}

std::optional<std::string> RationalBytes(const std::string& text, size_t count) {
    std::string bytes;
    size_t pos = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && (pos >= text.size() || text[pos++] != ' ')) {
            return std::nullopt;
        }
        uint32_t numerator = 0;
        uint32_t denominator = 0;
        if (!ReadNumber(text, pos, numerator) || pos >= text.size() || text[pos++] != '/' ||
            !ReadNumber(text, pos, denominator)) {
            return std::nullopt;
        }
        bytes += BigEndian32(numerator) + BigEndian32(denominator);
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<GpsEntry>> GpsEntriesFor(const GpsPosition& position,
                                                   std::optional<uint32_t> currentAltitudeRef) {
    const std::optional<std::string> latitude = RationalBytes(position.latitude, 3);
    const std::optional<std::string> longitude = RationalBytes(position.longitude, 3);
    if (!latitude || !longitude) {
        return std::nullopt;
    }
    std::vector<GpsEntry> entries{
        Entry(kGpsVersionId, kTiffByte, 4, std::string{2, 0, 0, 0}),
        Reference(kGpsLatitudeRef, position.latitudeRef),
        Entry(kGpsLatitude, kTiffRational, 3, *latitude),
        Reference(kGpsLongitudeRef, position.longitudeRef),
        Entry(kGpsLongitude, kTiffRational, 3, *longitude),
    };
    if (!position.altitude) {
        return entries;
    }
    const std::optional<std::string> altitude = RationalBytes(*position.altitude, 1);
    if (!altitude) {
        return std::nullopt;
    }
    if (position.belowSeaLevel || currentAltitudeRef == 1u) {
        entries.push_back(
            Entry(kGpsAltitudeRef, kTiffByte, 1, std::string(1, position.belowSeaLevel ? 1 : 0)));
    }
    entries.push_back(Entry(kGpsAltitude, kTiffRational, 1, *altitude));
    return entries;
}
