// SPDX-License-Identifier: GPL-3.0-or-later
// The GPS tag writers of the containers: each changes only what its format needs to hold the new
// Exif data, keeps every other byte, and sends what it cannot address to a sidecar or refuses it.
#include <gtest/gtest.h>

#include <zlib.h>
#include <exiv2/exiv2.hpp>

#include <string>
#include <vector>

#include "Exiv2Listing.h"
#include "TestSupport.h"
#include "photo/EmbeddedExif.h"
#include "photo/PhotoFacts.h"
#include "photo/exif/ExifReadBack.h"
#include "photo/heif/HeifExifEdit.h"
#include "photo/png/PngExifEdit.h"
#include "photo/tiff/TiffFileEdit.h"
#include "photo/webp/WebPExifEdit.h"

namespace {

using Editor = PhotoEdit (*)(const unsigned char*, size_t, const Exiv2::Image&, const GpsPosition&);

const auto* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

std::string Sample(const std::string& name) {
    return ReadFileText(SamplePath("photo-formats/" + name));
}

GpsPosition Position(double latitude = 48.137154, double elevation = 519.6) {
    GeoPosition point;
    point.latitude = latitude;
    point.longitude = 11.575382;
    point.elevation = elevation;
    return GpsPositionOf(point);
}

PhotoEdit Edit(Editor editor, const std::string& file, const GpsPosition& position = Position()) {
    InitialiseImageLibrary();
    const auto image = ReadWithExiv2(Bytes(file), file.size());
    return editor(Bytes(file), file.size(), *image, position);
}

// The edited file, checked to read back with everything as before and a latitude.
std::string Edited(Editor editor, const std::string& file,
                   const GpsPosition& position = Position()) {
    const PhotoEdit edit = Edit(editor, file, position);
    EXPECT_EQ(edit.outcome, PhotoEditOutcome::Edited) << edit.reason;
    const std::string after = ContentBytes(edit.content, Bytes(file), file.size());
    const Exiv2Listing was = ListWithExiv2(file);
    const Exiv2Listing is = ListWithExiv2(after);
    EXPECT_TRUE(is.other == was.other);
    EXPECT_EQ(is.gps.count("Exif.GPSInfo.GPSLatitude 5 3 " + position.latitude), 1u);
    return after;
}

uint32_t Big32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(Bytes(bytes)[at]) << 24 | Bytes(bytes)[at + 1] << 16 |
           Bytes(bytes)[at + 2] << 8 | Bytes(bytes)[at + 3];
}

uint32_t Little32(const std::string& bytes, size_t at) {
    return Bytes(bytes)[at] | Bytes(bytes)[at + 1] << 8 | Bytes(bytes)[at + 2] << 16 |
           static_cast<uint32_t>(Bytes(bytes)[at + 3]) << 24;
}

std::string Big(uint64_t value, size_t bytes) {
    std::string out;
    for (size_t i = bytes; i > 0; --i) {
        out += static_cast<char>(value >> (8 * (i - 1)) & 0xFF);
    }
    return out;
}

std::string Box(const std::string& type, const std::string& payload) {
    return Big(8 + payload.size(), 4) + type + payload;
}

// A HEIF file with one Exif item in `extents` extents whose offset fields have `offsetSize`
// bytes, or `construction` other than the file.
std::string HeifWithExifItem(unsigned offsetSize, int extents, unsigned construction = 0) {
    const std::string tiff("II*\0\x08\0\0\0\0\0\0\0\0\0", 14);
    const std::string item = Big(0, 4) + tiff;
    const std::string infe = Box("infe", std::string("\x02\0\0\0\0\x01\0\0Exif\0", 13));
    const std::string iinf = Box("iinf", std::string("\0\0\0\0\0\x01", 6) + infe);
    const size_t ilocSize = 8 + 4 + 2 + 2 + 2 + 2 + 2 + 2 + extents * (offsetSize + 4);
    const size_t metaSize = 8 + 4 + iinf.size() + ilocSize;
    const std::string ftyp = Box("ftyp", std::string("heic\0\0\0\0mif1heic", 16));
    const size_t data = ftyp.size() + metaSize + 8;
    std::string iloc = std::string("\x01\0\0\0", 4) + static_cast<char>(offsetSize << 4 | 4) +
                       '\0' + Big(1, 2) + Big(1, 2) + Big(construction, 2) + Big(0, 2) +
                       Big(extents, 2);
    for (int n = 0; n < extents; ++n) {
        iloc += Big(data, offsetSize) + Big(extents == 1 ? item.size() : 2, 4);
    }
    const std::string meta = Box("meta", std::string(4, '\0') + iinf + Box("iloc", iloc));
    return ftyp + meta + Box("mdat", item);
}

// The chunks of a PNG file after its signature, each whole.
std::vector<std::string> PngChunks(const std::string& png) {
    std::vector<std::string> chunks;
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t size = 12 + Big32(png, at);
        chunks.push_back(png.substr(at, size));
        at += size;
    }
    return chunks;
}

bool CrcHolds(const std::string& chunk) {
    const uLong crc = crc32(0, Bytes(chunk) + 4, static_cast<uInt>(chunk.size() - 8));
    return crc == Big32(chunk, chunk.size() - 4);
}

TEST(TiffFileEdit, EachByteOrderKeepsEveryByteButTheFirstIfdOffsetAndAppends) {
    for (const char* name : {"generated/tiff-le.tif", "generated/tiff-be.tif", "Reagan.tiff"}) {
        const std::string before = Sample(name);
        const std::string after = Edited(EditTiffFileGps, before);
        EXPECT_EQ(after.substr(0, 4), before.substr(0, 4)) << name;
        EXPECT_TRUE(after.compare(8, before.size() - 8, before, 8) == 0) << name;
        // Tagged again elsewhere: the earlier edit's IFDs are written over.
        const std::string again = Edited(EditTiffFileGps, after, Position(-33.8568));
        EXPECT_EQ(again.size(), after.size()) << name;
    }
}

TEST(TiffFileEdit, ZerosAfterAnEarlierEditAreKeptAndABigTiffGetsASidecar) {
    const std::string first = Edited(EditTiffFileGps, Sample("generated/tiff-le.tif"));
    const std::string padded = first + std::string(100, '\0');  // image data of a black strip?
    const std::string again = Edited(EditTiffFileGps, padded, Position(-33.8568));
    EXPECT_GT(again.size(), padded.size());
    EXPECT_TRUE(again.compare(8, padded.size() - 8, padded, 8) == 0);
    const std::string bigTiff = Sample("generated/bigtiff.tif");
    const auto image = ReadWithExiv2(Bytes(first), first.size());  // Exiv2 reads no BigTIFF
    const PhotoEdit big = EditTiffFileGps(Bytes(bigTiff), bigTiff.size(), *image, Position());
    EXPECT_EQ(big.outcome, PhotoEditOutcome::UseSidecar);
    EXPECT_NE(big.reason.find("BigTIFF"), std::string::npos);
}

TEST(HeifExifEdit, TheExifItemMovesIntoANewMdatAndOnlyItsLocationChanges) {
    for (const char* name : {"avif.avif", "IMG_3578.heic", "Canon.HIF"}) {
        const std::string before = Sample(name);
        const std::string after = Edited(EditHeifGps, before);
        size_t first = 0;
        size_t last = 0;
        for (size_t at = 0; at < before.size(); ++at) {
            if (before[at] != after[at]) {
                first = first == 0 ? at : first;
                last = at;
            }
        }
        EXPECT_LE(last - first, 8u) << name;  // the extent's offset and length fields
        EXPECT_EQ(after.substr(before.size() + 4, 4), "mdat") << name;
        EXPECT_EQ(Big32(after, before.size()), after.size() - before.size()) << name;
        const std::string again = Edited(EditHeifGps, after, Position(-33.8568));
        EXPECT_EQ(again.size(), after.size()) << name << ": the earlier mdat is written over";
    }
}

TEST(HeifExifEdit, WhatTheEditCannotAddressGetsASidecarWithTheReason) {
    const std::string avif = Sample("avif.avif");
    InitialiseImageLibrary();
    const auto image = ReadWithExiv2(Bytes(avif), avif.size());
    const auto reason = [&image](const std::string& file) {
        const PhotoEdit edit = EditHeifGps(Bytes(file), file.size(), *image, Position());
        EXPECT_EQ(edit.outcome, PhotoEditOutcome::UseSidecar) << edit.reason;
        return edit.reason;
    };
    EXPECT_EQ(reason(Sample("cheers_1440x960.heic")), "the file holds no Exif item");
    std::string twoItems = avif;
    twoItems.replace(twoItems.find("av01"), 4, "Exif");
    EXPECT_EQ(reason(twoItems), "the file holds several Exif items");
    std::string elsewhere = avif;
    elsewhere[147 + 16 + 14 + 2 + 1] = 1;  // the Exif item's data reference: another file
    EXPECT_EQ(reason(elsewhere), "its Exif data lies in another file");
    std::string toTheEnd = avif;
    toTheEnd.replace(400, 4, std::string(4, '\0'));  // the mdat runs to the end of the file
    EXPECT_NE(reason(toTheEnd).find("runs to the end of the file"), std::string::npos);
    EXPECT_NE(reason(avif + "x").find("cut short"), std::string::npos);
    EXPECT_EQ(reason(HeifWithExifItem(4, 2)), "its Exif data lies in several pieces");
    EXPECT_EQ(reason(HeifWithExifItem(4, 1, 1)),
              "its Exif data is kept inside the metadata (idat)");
    EXPECT_EQ(reason(HeifWithExifItem(4, 1, 2)), "its Exif data is built from other items");
    EXPECT_EQ(reason(HeifWithExifItem(0, 1)),
              "the location fields of its Exif item are too small for the new offset or length");
}

TEST(WebPExifEdit, ASimpleFileGetsAVp8xMadeFromItsImageHeaderAndAnExifChunkAfterTheImage) {
    for (const char* name : {"generated/lossy-noexif.webp", "generated/lossless-alpha.webp"}) {
        const std::string before = Sample(name);
        const std::string after = Edited(EditWebPGps, before);
        EXPECT_EQ(Little32(after, 4), after.size() - 8) << name;
        EXPECT_EQ(after.substr(12, 8), std::string("VP8X\x0A\0\0\0", 8)) << name;
        const bool alpha = std::string(name).find("alpha") != std::string::npos;
        EXPECT_EQ(after[20], alpha ? '\x18' : '\x08') << name;
        EXPECT_EQ(after.substr(24, 6), std::string("\x0F\0\0\x0F\0\0", 6)) << name;  // 16x16
        EXPECT_EQ(after.substr(30, before.size() - 12), before.substr(12)) << name;
        EXPECT_EQ(after.substr(30 + before.size() - 12, 4), "EXIF") << name;
    }
}

TEST(WebPExifEdit, AnExifChunkIsReplacedInPlaceWithEveryOtherChunkAsItWas) {
    for (const char* name :
         {"generated/lossy.webp", "generated/animated.webp", "HTC_Desire.webp"}) {
        const std::string before = Sample(name);
        const std::string after = Edited(EditWebPGps, before);
        const size_t exif = before.find("EXIF");
        ASSERT_NE(exif, std::string::npos);
        EXPECT_EQ(after.substr(8, exif - 8), before.substr(8, exif - 8)) << name;
        EXPECT_EQ(Little32(after, 4), after.size() - 8) << name;
    }
    const std::string lossy = Sample("generated/lossy.webp");
    const auto image = ReadWithExiv2(Bytes(lossy), lossy.size());
    std::string wrongSize = lossy;
    wrongSize[4] = static_cast<char>(wrongSize[4] + 2);
    EXPECT_EQ(EditWebPGps(Bytes(wrongSize), wrongSize.size(), *image, Position()).reason,
              "the RIFF size is not the file's");
    std::string notRiff = lossy;
    notRiff[2] = 'V';  // "RIVF": never written as the RIFF file it is not
    EXPECT_EQ(EditWebPGps(Bytes(notRiff), notRiff.size(), *image, Position()).reason,
              "not a WebP file");
    const size_t exif = lossy.find("EXIF");
    std::string twoExif = lossy + lossy.substr(exif);
    twoExif.replace(4, 4, std::string("\0\0\0\0", 4));
    const uint32_t riff = static_cast<uint32_t>(twoExif.size() - 8);
    twoExif.replace(
        4, 4,
        std::string{static_cast<char>(riff & 0xFF), static_cast<char>(riff >> 8), '\0', '\0'});
    EXPECT_EQ(EditWebPGps(Bytes(twoExif), twoExif.size(), *image, Position()).reason,
              "the file has two EXIF chunks");
}

TEST(PngExifEdit, AnExifChunkGoesBeforeTheImageDataOrInPlaceOfTheOldOne) {
    const std::string plain = Sample("generated/png-noexif.png");
    const std::vector<std::string> was = PngChunks(plain);
    std::vector<std::string> is = PngChunks(Edited(EditPngGps, plain));
    ASSERT_EQ(is.size(), was.size() + 1);
    size_t idat = 0;
    while (was[idat].substr(4, 4) != "IDAT") {
        ++idat;
    }
    EXPECT_EQ(is[idat].substr(4, 4), "eXIf");
    EXPECT_TRUE(CrcHolds(is[idat]));
    is.erase(is.begin() + static_cast<ptrdiff_t>(idat));
    EXPECT_EQ(is, was);
    for (const char* name : {"generated/png-exif.png", "1343_exif.png"}) {
        const std::vector<std::string> before = PngChunks(Sample(name));
        const std::vector<std::string> after = PngChunks(Edited(EditPngGps, Sample(name)));
        ASSERT_EQ(after.size(), before.size()) << name;
        for (size_t n = 0; n < before.size(); ++n) {
            EXPECT_EQ(after[n] == before[n], before[n].substr(4, 4) != "eXIf") << name << n;
            EXPECT_TRUE(CrcHolds(after[n])) << name << n;
        }
    }
}

TEST(PngExifEdit, ARawProfileTextChunkIsWrittenAgainWithTheEditAndNoExifChunkAdded) {
    const std::string before = Sample("ReaganSmallPng.png");
    const std::vector<std::string> was = PngChunks(before);
    const std::vector<std::string> is = PngChunks(Edited(EditPngGps, before));
    ASSERT_EQ(is.size(), was.size());
    for (size_t n = 0; n < was.size(); ++n) {
        const bool profile = was[n].compare(8, 21, "Raw profile type exif") == 0;
        EXPECT_EQ(is[n] == was[n], !profile) << n;
        EXPECT_EQ(is[n].substr(4, 25), was[n].substr(4, 25)) << n;  // type and keyword
        EXPECT_TRUE(CrcHolds(is[n])) << n;
    }
}

TEST(PngExifEdit, BrokenStructureAndTwoExifRecordsAreRefused) {
    const std::string png = Sample("generated/png-exif.png");
    const auto reason = [](const std::string& file) { return Edit(EditPngGps, file).reason; };
    EXPECT_EQ(reason(png + "trailer"), "bytes follow the PNG's end");
    const std::vector<std::string> chunks = PngChunks(png);
    std::string twice = png.substr(0, 8);
    for (const std::string& chunk : chunks) {
        twice += chunk.substr(4, 4) == "eXIf" ? chunk + chunk : chunk;
    }
    EXPECT_EQ(reason(twice), "the file holds two Exif records");
    std::string badCrc = png;
    const size_t exif = badCrc.find("eXIf");
    badCrc[exif + 4 + Big32(badCrc, exif - 4)] ^= 1;
    EXPECT_EQ(reason(badCrc), "the CRC of the chunk that holds its Exif data is wrong");
}

}  // namespace
