// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/exif/ExifReadBack.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <tuple>

namespace {

const char kGpsGroup[] = "GPSInfo";
const char kGpsPointerKey[] = "Exif.Image.GPSTag";

template <typename Datum>
ListedDatum Listed(const Datum& datum) {
    ListedDatum listed;
    listed.key = datum.key();
    listed.type = static_cast<uint16_t>(datum.typeId());
    listed.count = static_cast<size_t>(datum.count());
    const long size = datum.size();
    if (size > 0) {
        std::vector<Exiv2::byte> bytes(static_cast<size_t>(size));
        datum.copy(bytes.data(), Exiv2::bigEndian);
        listed.value.assign(bytes.begin(), bytes.end());
    }
    return listed;
}

ListedDatum ListedExif(const Exiv2::Exifdatum& datum) {
    ListedDatum listed = Listed(datum);
    const Exiv2::DataBuf area = datum.dataArea();
    if (area.size_ > 0) {
        listed.value.append(reinterpret_cast<const char*>(area.pData_),
                            static_cast<size_t>(area.size_));
    }
    return listed;
}

ListedDatum ListedGps(const GpsEntry& entry) {
    ListedDatum listed;
    listed.key = Exiv2::ExifKey(entry.tag, kGpsGroup).key();
    listed.type = entry.type;
    listed.count = entry.count;
    listed.value = entry.value;
    return listed;
}

// The first datum that only one of two sorted lists holds.
std::string FirstDifference(const std::vector<ListedDatum>& a, const std::vector<ListedDatum>& b) {
    const auto [inA, inB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (inA != a.end() && (inB == b.end() || inA->key <= inB->key)) {
        return inA->key;
    }
    return inB != b.end() ? inB->key : std::string();
}

}  // namespace

bool ListedDatum::operator<(const ListedDatum& other) const {
    return std::tie(key, type, count, value) <
           std::tie(other.key, other.type, other.count, other.value);
}

std::unique_ptr<Exiv2::Image> ReadWithExiv2(const unsigned char* data, size_t size) {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(data, static_cast<long>(size));
    image->readMetadata();
    return std::unique_ptr<Exiv2::Image>(image.release());
}

MetadataListing ListMetadata(const Exiv2::Image& image) {
    MetadataListing listing;
    for (const Exiv2::Exifdatum& datum : image.exifData()) {
        if (datum.groupName() == kGpsGroup) {
            listing.gps.push_back(ListedExif(datum));
        } else if (datum.key() != kGpsPointerKey) {
            listing.exif.push_back(ListedExif(datum));
        }
    }
    for (const Exiv2::Iptcdatum& datum : image.iptcData()) {
        listing.iptc.push_back(Listed(datum));
    }
    std::sort(listing.exif.begin(), listing.exif.end());
    std::sort(listing.gps.begin(), listing.gps.end());
    std::sort(listing.iptc.begin(), listing.iptc.end());
    listing.xmpPacket = image.xmpPacket();
    listing.comment = image.comment();
    return listing;
}

std::vector<ListedDatum> ExpectedGps(const std::vector<ListedDatum>& original,
                                     const std::vector<GpsEntry>& written) {
    std::vector<ListedDatum> expected;
    std::vector<ListedDatum> replacing;
    for (const GpsEntry& entry : written) {
        replacing.push_back(ListedGps(entry));
    }
    for (const ListedDatum& datum : original) {
        const bool replaced =
            std::any_of(replacing.begin(), replacing.end(),
                        [&datum](const ListedDatum& other) { return other.key == datum.key; });
        if (!replaced) {
            expected.push_back(datum);
        }
    }
    expected.insert(expected.end(), replacing.begin(), replacing.end());
    std::sort(expected.begin(), expected.end());
    return expected;
}

std::string CompareReadBack(const MetadataListing& original, const MetadataListing& edited,
                            const std::vector<GpsEntry>& written) {
    if (edited.exif != original.exif) {
        return FirstDifference(original.exif, edited.exif) + " reads back differently";
    }
    const std::vector<ListedDatum> gps = ExpectedGps(original.gps, written);
    if (edited.gps != gps) {
        return "the GPS tag " + FirstDifference(gps, edited.gps) + " reads back differently";
    }
    if (edited.iptc != original.iptc) {
        return "the IPTC data reads back differently";
    }
    if (edited.xmpPacket != original.xmpPacket) {
        return "the XMP packet reads back differently";
    }
    if (edited.comment != original.comment) {
        return "the JPEG comment reads back differently";
    }
    return std::string();
}
