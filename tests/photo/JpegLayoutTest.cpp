// SPDX-License-Identifier: GPL-3.0-or-later
// Telling a JPEG file's header apart from its compressed image data.
#include <gtest/gtest.h>

#include <vector>

#include "photo/jpeg/JpegLayout.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A segment: marker, two length bytes that count themselves, then `payload` bytes.
void AddSegment(Bytes& bytes, unsigned char marker, size_t payload) {
    const size_t length = payload + 2;
    bytes.insert(bytes.end(), {0xFF, marker, static_cast<unsigned char>(length >> 8),
                               static_cast<unsigned char>(length & 0xFF)});
    bytes.insert(bytes.end(), payload, 0x11);
}

HeaderLayout Scan(const Bytes& bytes) {
    return ScanJpegHeader(bytes.data(), bytes.size());
}

TEST(JpegLayout, HeaderEndsWithTheStartOfScanSegment) {
    Bytes bytes = {0xFF, 0xD8};
    AddSegment(bytes, 0xE0, 14);              // APP0
    AddSegment(bytes, 0xE1, 65000);           // a large APP1
    AddSegment(bytes, 0xDB, 65);              // quantisation table
    bytes.insert(bytes.end(), {0xFF, 0xFF});  // fill bytes before a marker
    AddSegment(bytes, 0xC0, 15);              // frame
    AddSegment(bytes, 0xDA, 10);              // start of scan
    const size_t end = bytes.size();
    bytes.insert(bytes.end(), {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD9});  // image data, end
    const HeaderLayout layout = Scan(bytes);
    EXPECT_EQ(layout.scan, HeaderScan::Found);
    EXPECT_EQ(layout.end, end);
}

TEST(JpegLayout, BytesEndingInsideTheHeaderAskForMore) {
    Bytes bytes = {0xFF, 0xD8};
    AddSegment(bytes, 0xE1, 300);
    AddSegment(bytes, 0xDA, 10);
    for (const size_t cut :
         {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{100}, size_t{305}, bytes.size() - 1}) {
        const Bytes part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(Scan(part).scan, HeaderScan::NeedMore) << cut;
    }
    EXPECT_EQ(Scan(bytes).scan, HeaderScan::Found);
}

TEST(JpegLayout, AnythingButAPlainSegmentChainIsUnsplittable) {
    const Bytes notJpeg = {0x89, 'P', 'N', 'G', 0x0D, 0x0A};
    EXPECT_EQ(Scan(notJpeg).scan, HeaderScan::Unsplittable);

    Bytes garbage = {0xFF, 0xD8};
    AddSegment(garbage, 0xE0, 14);
    garbage.insert(garbage.end(), {0x00, 0xFF, 0xDA, 0x00, 0x08});  // a stray byte first
    EXPECT_EQ(Scan(garbage).scan, HeaderScan::Unsplittable);

    for (const int standalone : {0xD0, 0xD7, 0xD8, 0xD9, 0x01, 0x00}) {
        Bytes bytes = {0xFF, 0xD8};
        AddSegment(bytes, 0xE0, 14);
        bytes.insert(bytes.end(), {0xFF, static_cast<unsigned char>(standalone), 0x00, 0x04});
        AddSegment(bytes, 0xDA, 10);
        EXPECT_EQ(Scan(bytes).scan, HeaderScan::Unsplittable) << standalone;
    }

    Bytes shortLength = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x01};
    AddSegment(shortLength, 0xDA, 10);
    EXPECT_EQ(Scan(shortLength).scan, HeaderScan::Unsplittable);
}

}  // namespace
