// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The metadata Exiv2 reads from a photo, comparable exactly with an edited header's.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "photo/exif/GpsTags.h"

namespace Exiv2 {
class Image;
}

// `value`: big-endian value bytes, then any data area (a thumbnail's image data).
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

// Each list sorted, so that the order within an IFD does not matter.
struct MetadataListing {
    std::vector<ListedDatum> exif;  // all but the GPS IFD and Exif.Image.GPSTag, its pointer
    std::vector<ListedDatum> gps;   // the GPS IFD
    std::vector<ListedDatum> iptc;
    std::string xmpPacket;
    std::string comment;
};

// Throws Exiv2::Error when Exiv2 cannot read the bytes.
std::unique_ptr<Exiv2::Image> ReadWithExiv2(const unsigned char* data, size_t size);

MetadataListing ListMetadata(const Exiv2::Image& image);

// The GPS IFD that writing `written` into `original` should give.
std::vector<ListedDatum> ExpectedGps(const std::vector<ListedDatum>& original,
                                     const std::vector<GpsEntry>& written);

// Empty when `edited` holds what `original` holds, with ExpectedGps; else what differs
// ("Exif.Image.Make reads back differently").
std::string CompareReadBack(const MetadataListing& original, const MetadataListing& edited,
                            const std::vector<GpsEntry>& written);
