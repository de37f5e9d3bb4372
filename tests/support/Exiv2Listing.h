// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What Exiv2 reads from a photo, as text lines "key type-number count value", and where its Exif
// segment lies: how the tests and the fuzz target judge a tagged header on their own, apart
// from the checks the tag writer makes itself. Header-only, so that the fuzz build (another
// compiler) takes it as it is.

#include <exiv2/exiv2.hpp>

#include <optional>
#include <set>
#include <string>

// Every datum but the GPS IFD's and the GPS pointer, and the GPS IFD's apart.
struct Exiv2Listing {
    std::multiset<std::string> other;
    std::multiset<std::string> gps;
};

template <typename Datum>
std::string ListingLine(const Datum& datum) {
    return datum.key() + " " + std::to_string(datum.typeId()) + " " +
           std::to_string(datum.count()) + " " + datum.toString();
}

// What Exiv2 read into `image`.
inline Exiv2Listing ListWithExiv2(const Exiv2::Image& image) {
    Exiv2Listing listing;
    for (const Exiv2::Exifdatum& datum : image.exifData()) {
        if (datum.groupName() == "GPSInfo") {
            listing.gps.insert(ListingLine(datum));
        } else if (datum.key() != "Exif.Image.GPSTag") {
            listing.other.insert(ListingLine(datum));
        }
    }
    for (const Exiv2::Iptcdatum& datum : image.iptcData()) {
        listing.other.insert(ListingLine(datum));
    }
    listing.other.insert("XMP " + image.xmpPacket());
    listing.other.insert("COM " + image.comment());
    return listing;
}

// Reads `bytes` with Exiv2; throws Exiv2::Error when it cannot.
inline Exiv2Listing ListWithExiv2(const std::string& bytes) {
    auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()),
                                           static_cast<long>(bytes.size()));
    image->readMetadata();
    return ListWithExiv2(*image);
}

struct ByteSpan {
    size_t start = 0;
    size_t end = 0;
};

// An APP1 segment holding Exif data that begins at `at`, when there is one.
inline std::optional<ByteSpan> ExifSegmentAt(const std::string& jpeg, size_t at) {
    if (at + 10 > jpeg.size() || jpeg.compare(at, 2, "\xFF\xE1") != 0 ||
        jpeg.compare(at + 4, 6, std::string("Exif\0\0", 6)) != 0) {
        return std::nullopt;
    }
    const size_t length = static_cast<size_t>(static_cast<unsigned char>(jpeg[at + 2])) << 8 |
                          static_cast<unsigned char>(jpeg[at + 3]);
    return ByteSpan{at, at + 2 + length};
}

// The first APP1 segment that holds Exif data, found by its signature.
inline std::optional<ByteSpan> FirstExifSegment(const std::string& jpeg) {
    for (size_t at = jpeg.find("\xFF\xE1"); at != std::string::npos;
         at = jpeg.find("\xFF\xE1", at + 1)) {
        if (const std::optional<ByteSpan> span = ExifSegmentAt(jpeg, at)) {
            return span;
        }
    }
    return std::nullopt;
}
