// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The metadata that Exiv2 reads from a photo, in a form that compares exactly: what decides
// whether an edited header holds everything its original held.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "photo/exif/GpsTags.h"

namespace Exiv2 {
class Image;
}

// One Exif or IPTC datum: its key, type, count, and value bytes in big-endian order followed by
// the bytes of its data area (a thumbnail's image data).
struct ListedDatum {
    std::string key;
    uint16_t type = 0;
    size_t count = 0;
    std::string value;
    bool operator==(const ListedDatum& other) const {
        return key == other.key && type == other.type && count == other.count &&
               value == other.value;
    }
    bool operator<(const ListedDatum& other) const;
};

// Each list is sorted, so that the order of the entries in their IFD does not matter.
struct MetadataListing {
    std::vector<ListedDatum> exif;  // all but the GPS IFD and Exif.Image.GPSTag, its pointer
    std::vector<ListedDatum> gps;   // the GPS IFD
    std::vector<ListedDatum> iptc;
    std::string xmpPacket;
    std::string comment;
};

// Opens `size` bytes of a JPEG header (or file) with Exiv2 and reads its metadata. Throws
// Exiv2::Error when Exiv2 cannot read it.
std::unique_ptr<Exiv2::Image> ReadWithExiv2(const unsigned char* data, size_t size);

MetadataListing ListMetadata(const Exiv2::Image& image);

// The GPS IFD that writing `written` into `original` should give: the original's entries
// whose tags are not written, and `written`.
std::vector<ListedDatum> ExpectedGps(const std::vector<ListedDatum>& original,
                                     const std::vector<GpsEntry>& written);

// Empty when `edited` holds exactly what `original` holds, with the GPS IFD ExpectedGps;
// otherwise what differs, for example "Exif.Image.Make reads back differently".
std::string CompareReadBack(const MetadataListing& original, const MetadataListing& edited,
                            const std::vector<GpsEntry>& written);
