// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/jpeg/ExifSegment.h"

#include <cstring>

namespace {

constexpr unsigned char kMarkerPrefix = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kEndOfImage = 0xD9;
constexpr unsigned char kStartOfScan = 0xDA;
constexpr unsigned char kApp0 = 0xE0;
constexpr unsigned char kApp1 = 0xE1;
constexpr char kExifId[] = "Exif\0\0";  // six bytes
constexpr size_t kExifIdSize = 6;
constexpr size_t kTiffHeaderSize = 8;

// Markers that stand alone, without a length: TEM and RST0..RST7.
bool HasNoLength(unsigned char marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

bool StartsWith(const unsigned char* data, size_t size, const char* prefix, size_t length) {
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

// Records an APP1 segment at [start, end) whose data begins at `payload`; false with the
// problem set when it makes the header one that cannot be edited.
bool NoteApp1(const unsigned char* payload, size_t start, size_t end, size_t payloadSize,
              ExifSegmentPlace& place) {
    if (!StartsWith(payload, payloadSize, "Exif", 4)) {
        return true;
    }
    if (!StartsWith(payload, payloadSize, kExifId, kExifIdSize)) {
        place.problem = "an APP1 segment begins with \"Exif\" but is not Exif data";
        return false;
    }
    if (place.found) {
        place.problem = "the photo has two Exif segments";
        return false;
    }
    if (payloadSize < kExifIdSize + kTiffHeaderSize) {
        place.problem = "the Exif segment is too short for a TIFF header";
        return false;
    }
    place.found = true;
    place.start = start;
    place.end = end;
    place.tiffStart = start + 4 + kExifIdSize;
    return true;
}

}  // namespace

ExifSegmentPlace LocateExifSegment(const unsigned char* data, size_t size) {
    ExifSegmentPlace place;
    if (size < 2 || data[0] != kMarkerPrefix || data[1] != kStartOfImage) {
        place.problem = "not a JPEG file";
        return place;
    }
    size_t insertAt = 2;
    bool leadingApp0 = true;
    size_t pos = 2;
    while (pos < size) {
        while (pos < size && data[pos] != kMarkerPrefix) {
            ++pos;  // stray bytes between segments
            leadingApp0 = false;
        }
        while (pos < size && data[pos] == kMarkerPrefix) {
            ++pos;
        }
        if (pos >= size) {
            break;
        }
        const size_t start = pos - 1;
        const unsigned char marker = data[pos++];
        if (marker == kStartOfScan || marker == kEndOfImage) {
            break;
        }
        if (HasNoLength(marker) || marker == 0x00 || marker == kStartOfImage) {
            leadingApp0 = false;
            continue;
        }
        if (pos + 2 > size) {
            break;
        }
        const size_t length = static_cast<size_t>(data[pos]) << 8 | data[pos + 1];
        if (length < 2 || pos + length > size) {
            break;
        }
        const size_t end = pos + length;
        leadingApp0 = leadingApp0 && marker == kApp0;
        if (leadingApp0) {
            insertAt = end;
        }
        if (marker == kApp1 && !NoteApp1(data + pos + 2, start, end, length - 2, place)) {
            return place;
        }
        pos = end;
    }
    if (!place.found) {
        place.start = insertAt;
        place.end = insertAt;
    }
    return place;
}
