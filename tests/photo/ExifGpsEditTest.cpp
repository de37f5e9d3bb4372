// SPDX-License-Identifier: GPL-3.0-or-later
// The GPS tag writer on headers made for each case: what it writes, what it keeps, when it
// writes over its own earlier edit, when it pads, and what it refuses.
#include "photo/jpeg/ExifGpsEdit.h"

#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>

#include <map>

#include "Exiv2Listing.h"
#include "JpegFixtures.h"
#include "ReferenceGpsWriter.h"
#include "TestSupport.h"
#include "TrackFixtures.h"
#include "photo/exif/ExifReadBack.h"
#include "photo/exif/TiffGpsEdit.h"

namespace {

const char kLat[] = "Exif.GPSInfo.GPSLatitude";
const char kAlt[] = "Exif.GPSInfo.GPSAltitude";
const char kAltRef[] = "Exif.GPSInfo.GPSAltitudeRef";

std::string PlainJpeg() {
    static const std::string bytes = [] {
        TempDir dir;
        WritePlainJpeg(dir.File("plain.jpg"));
        return ReadFileText(dir.File("plain.jpg"));
    }();
    return bytes;
}

// A small JPEG whose Exif data Exiv2 wrote in `order` with `tags`.
std::string JpegWithExif(const std::map<std::string, std::string>& tags,
                         Exiv2::ByteOrder order = Exiv2::littleEndian) {
    const std::string plain = PlainJpeg();
    auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(plain.data()),
                                           static_cast<long>(plain.size()));
    image->readMetadata();
    for (const auto& [key, value] : tags) {
        image->exifData()[key] = value;
    }
    image->setByteOrder(order);
    image->writeMetadata();
    return BytesInMemory(*image);
}

std::string Segment(unsigned char marker, const std::string& payload) {
    const size_t length = payload.size() + 2;
    return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xFF)} +
           payload;
}

std::string ExifSegment(const std::string& tiff) {
    return Segment(0xE1, std::string("Exif\0\0", 6) + tiff);
}

// A JPEG with `segments` after its start-of-image marker, then the plain JPEG's own.
std::string JpegWith(const std::string& segments) {
    return PlainJpeg().substr(0, 2) + segments + PlainJpeg().substr(2);
}

// Edits `head`; `exiv2Reads` is what Exiv2 read from the photo, when not `head` itself.
ExifEdit Edit(const std::string& head, const GeoPosition& point, size_t alignment = 0,
              const std::string& exiv2Reads = std::string()) {
    const std::string& read = exiv2Reads.empty() ? head : exiv2Reads;
    const auto original =
        ReadWithExiv2(reinterpret_cast<const unsigned char*>(read.data()), read.size());
    return EditExifGps(reinterpret_cast<const unsigned char*>(head.data()), head.size(), *original,
                       GpsPositionOf(point), alignment);
}

std::map<std::string, std::string> Tags(const std::string& bytes) {
    auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes.data()),
                                           static_cast<long>(bytes.size()));
    image->readMetadata();
    std::map<std::string, std::string> tags;
    for (const Exiv2::Exifdatum& datum : image->exifData()) {
        tags[datum.key()] = datum.toString();
    }
    return tags;
}

// The GPS tags as the Exiv2 writer sets them in the same photo.
std::multiset<std::string> ReferenceGps(const std::string& bytes, const GeoPosition& point) {
    return ListWithExiv2(RewriteWithExiv2(bytes, point)).gps;
}

size_t ExifSegmentSize(const std::string& jpeg) {
    const std::optional<ByteSpan> span = FirstExifSegment(jpeg);
    return span ? span->end - span->start : 0;
}

TEST(ExifGpsEdit, PhotoWithoutExifGetsASegmentAfterTheJfifSegments) {
    const std::string jfif = Segment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    const std::string jfxx = Segment(0xE0, std::string("JFXX\0\x13", 6));
    const std::string comment = Segment(0xFE, "a comment");
    const GeoPosition point = PointAt(48.137154, 11.575382, 519.6);
    for (const std::string& before : {jfif + jfxx + comment, comment, std::string()}) {
        const std::string photo = JpegWith(before + "stray");
        const ExifEdit edit = Edit(photo, point);
        ASSERT_EQ(edit.outcome, ExifEditOutcome::Edited) << edit.reason;
        const size_t at = before.empty() || before == comment ? 2 : 2 + jfif.size() + jfxx.size();
        const size_t added = edit.head.size() - photo.size();
        EXPECT_EQ(edit.head.substr(at, 4), "\xFF\xE1" + edit.head.substr(at + 2, 2));
        EXPECT_EQ(edit.head.substr(0, at) + edit.head.substr(at + added), photo);
        EXPECT_EQ(ListWithExiv2(edit.head).gps, ReferenceGps(photo, point));
        EXPECT_EQ(Tags(edit.head).count("Exif.Photo.DateTimeDigitized"), 0u);
    }
}

TEST(ExifGpsEdit, TaggingAgainWritesOverTheEarlierEditInsteadOfGrowing) {
    const std::string photo = JpegWithExif({{"Exif.Image.Make", "Fenrik"}}, Exiv2::bigEndian);
    for (const size_t alignment : {size_t{0}, size_t{4096}}) {
        std::string head = photo;
        size_t firstSize = 0;
        for (int run = 0; run < 5; ++run) {
            const GeoPosition point = PointAt(10.0 + run, -20.0 - run, 100.0 * run);
            const ExifEdit edit = Edit(head, point, alignment);
            ASSERT_EQ(edit.outcome, ExifEditOutcome::Edited) << edit.reason;
            EXPECT_EQ(ListWithExiv2(edit.head).gps, ReferenceGps(photo, point));
            EXPECT_EQ(ListWithExiv2(edit.head).other, ListWithExiv2(photo).other);
            firstSize = run == 0 ? edit.head.size() : firstSize;
            EXPECT_EQ(edit.head.size(), firstSize) << "run " << run;
            head = edit.head;
        }
    }
    // A photo padded where its blocks could be shared, then tagged where they cannot (copied
    // from btrfs to ext4, say), and back: it never grows past its first padded size.
    std::string head = Edit(photo, PointAt(1.0, 2.0, 3.0), 4096).head;
    const size_t padded = head.size();
    for (int run = 0; run < 4; ++run) {
        const GeoPosition point = PointAt(20.0 + run, 30.0 + run, 10.0 * run);
        const ExifEdit edit = Edit(head, point, run % 2 == 0 ? 0 : 4096);
        ASSERT_EQ(edit.outcome, ExifEditOutcome::Edited) << edit.reason;
        EXPECT_EQ(ListWithExiv2(edit.head).gps, ReferenceGps(photo, point));
        EXPECT_EQ(ListWithExiv2(edit.head).other, ListWithExiv2(photo).other);
        EXPECT_LE(edit.head.size(), padded) << "run " << run;
        head = edit.head;
    }
}

TEST(ExifGpsEdit, SamePositionAgainIsAlreadyTaggedAndAltitudeReferenceRulesDecideOtherwise) {
    const std::string photo = JpegWithExif({{"Exif.Image.Make", "Fenrik"}});
    const GeoPosition below = PointAt(1.5, 2.5, -12.7);
    const std::string tagged = Edit(photo, below).head;
    EXPECT_EQ(Edit(tagged, below).outcome, ExifEditOutcome::AlreadyTagged);
    EXPECT_EQ(Edit(tagged, PointAt(1.5, 2.5, kNoElevation)).outcome,
              ExifEditOutcome::AlreadyTagged);  // no elevation: the altitude is left alone
    EXPECT_EQ(Edit(tagged, PointAt(1.5, 2.5, -12.2)).outcome, ExifEditOutcome::AlreadyTagged);
    const ExifEdit above = Edit(tagged, PointAt(1.5, 2.5, 12.7));
    ASSERT_EQ(above.outcome, ExifEditOutcome::Edited);
    EXPECT_EQ(Tags(above.head).at(kAltRef), "0");
    EXPECT_EQ(Tags(above.head).at(kAlt), "12/1");
    EXPECT_EQ(Edit(above.head, PointAt(1.5, 2.5, 12.7)).outcome, ExifEditOutcome::AlreadyTagged);
    EXPECT_EQ(Edit(tagged, PointAt(1.5, 2.6, -12.7)).outcome, ExifEditOutcome::Edited);

    // Tags that another writer stored the same way count; the same position as other
    // rationals does not.
    std::map<std::string, std::string> tags = {{"Exif.GPSInfo.GPSVersionID", "2 0 0 0"},
                                               {"Exif.GPSInfo.GPSLatitudeRef", "N"},
                                               {kLat, "1/1 30/1 0/100"},
                                               {"Exif.GPSInfo.GPSLongitudeRef", "E"},
                                               {"Exif.GPSInfo.GPSLongitude", "2/1 30/1 0/100"}};
    EXPECT_EQ(Edit(JpegWithExif(tags), PointAt(1.5, 2.5, kNoElevation)).outcome,
              ExifEditOutcome::AlreadyTagged);
    tags[kLat] = "1/1 30/1 0/1";
    EXPECT_EQ(Edit(JpegWithExif(tags), PointAt(1.5, 2.5, kNoElevation)).outcome,
              ExifEditOutcome::Edited);
}

// Found by the fuzz target: an AltitudeRef of another type counts as 1 when Exiv2 reads its first
// value as 1, as the Exiv2 writer took it (an ASCII text's first value is its first byte).
TEST(ExifGpsEdit, AnAltitudeReferenceOfAnyTypeIsTakenAsTheExiv2WriterTakesIt) {
    const GeoPosition point = PointAt(1.5, 2.5, 12.7);
    for (const char* text : {"\x01", "1"}) {
        const std::string plain = PlainJpeg();
        auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(plain.data()),
                                               static_cast<long>(plain.size()));
        image->readMetadata();
        const Exiv2::AsciiValue ref(text);
        image->exifData().add(Exiv2::ExifKey(kAltRef), &ref);
        image->writeMetadata();
        const std::string photo = BytesInMemory(*image);
        const ExifEdit edit = Edit(photo, point);
        ASSERT_EQ(edit.outcome, ExifEditOutcome::Edited) << edit.reason;
        EXPECT_EQ(ListWithExiv2(edit.head).gps, ReferenceGps(photo, point)) << text;
        EXPECT_EQ(Tags(edit.head).at(kAltRef), text[0] == 1 ? "0" : "1");
    }
}

TEST(ExifGpsEdit, PaddingKeepsTheHeaderSizeModuloTheBlockWhereItFits) {
    const std::string photo = JpegWithExif({{"Exif.Image.Make", "Fenrik"}});
    const GeoPosition point = PointAt(48.137154, 11.575382, 519.6);
    const ExifEdit padded = Edit(photo, point, 4096);
    ASSERT_EQ(padded.outcome, ExifEditOutcome::Edited);
    EXPECT_TRUE(padded.aligned);
    EXPECT_EQ(padded.head.size() % 4096, photo.size() % 4096);
    EXPECT_EQ(ListWithExiv2(padded.head).other, ListWithExiv2(photo).other);
    EXPECT_FALSE(Edit(photo, point).aligned);

    // A comment that leaves room for the GPS tags but not for the padding.
    const std::string nearlyFull =
        JpegWithExif({{"Exif.Photo.UserComment", std::string(63000, 'c')}});
    const ExifEdit unpadded = Edit(nearlyFull, point, 4096);
    ASSERT_EQ(unpadded.outcome, ExifEditOutcome::Edited) << unpadded.reason;
    EXPECT_FALSE(unpadded.aligned);
    EXPECT_LE(ExifSegmentSize(unpadded.head), 65535u);

    // A comment that leaves 100 bytes of room: too little for the GPS tags.
    const auto withComment = [](size_t length) {
        return JpegWithExif({{"Exif.Photo.UserComment", std::string(length, 'c')}});
    };
    const size_t overhead = ExifSegmentSize(withComment(1000)) - 1000;
    const std::string full = withComment(2 + kMaxExifSegmentData - 100 - overhead);
    ASSERT_GT(ExifSegmentSize(full), kMaxExifSegmentData - 110);
    const ExifEdit refused = Edit(full, point, 4096);
    EXPECT_EQ(refused.outcome, ExifEditOutcome::Refused);
    EXPECT_EQ(refused.reason, "the GPS tags would make the Exif segment larger than 65,533 bytes");
}

// TIFF data: a little-endian header pointing at IFD0 at `ifd0`, then `rest`.
std::string Tiff(uint32_t ifd0, const std::string& rest) {
    return std::string("II*\0", 4) +
           std::string{static_cast<char>(ifd0), static_cast<char>(ifd0 >> 8), 0, 0} + rest;
}

// An IFD of `count` Make entries (inline "ab"), no next IFD.
std::string MakeIfd(size_t count) {
    std::string ifd{static_cast<char>(count), static_cast<char>(count >> 8)};
    for (size_t i = 0; i < count; ++i) {
        ifd += std::string(
            "\x0F\x01\x02\x00\x03\x00\x00\x00"
            "ab\0\0",
            12);
    }
    return ifd + std::string(4, '\0');
}

TEST(ExifGpsEdit, HeadersThatCannotBeEditedSoAreRefusedWithTheReason) {
    const GeoPosition point = PointAt(48.137154, 11.575382, 519.6);
    const std::string good = Tiff(8, MakeIfd(1));
    const std::map<std::string, std::string> cases = {
        {JpegWith(ExifSegment(good) + ExifSegment(good)), "the photo has two Exif segments"},
        {JpegWith(ExifSegment("MM\0+\0\0\0\x08" + MakeIfd(1))),
         "the Exif data has no valid TIFF header"},
        {JpegWith(ExifSegment(Tiff(200, MakeIfd(1)))), "IFD0 lies outside the Exif data"},
        {JpegWith(ExifSegment(Tiff(8, MakeIfd(3).substr(0, 20)))),
         "IFD0 lies outside the Exif data"},
        {JpegWith(Segment(0xE1, "Exif\0\xFF" + good)),
         "an APP1 segment begins with \"Exif\" but is not Exif data"},
        {JpegWith(ExifSegment("II*\0")), "the Exif segment is too short for a TIFF header"},
    };
    for (const auto& [photo, reason] : cases) {
        // Exiv2 cannot read some of them at all; they are refused before its reading counts.
        const ExifEdit edit = Edit(photo, point, 0, PlainJpeg());
        EXPECT_EQ(edit.outcome, ExifEditOutcome::Refused) << reason;
        EXPECT_EQ(edit.reason, reason);
        EXPECT_TRUE(edit.head.empty());
    }
}

TEST(ExifGpsEdit, AnEditThatExiv2ReadsDifferentlyIsRefused) {
    // Exiv2 reads no IFD with more than 256 entries: the new IFD0, and its GPS pointer, would
    // not be read.
    const std::string photo = JpegWith(ExifSegment(Tiff(8, MakeIfd(300))));
    const ExifEdit edit = Edit(photo, PointAt(48.137154, 11.575382, 519.6));
    EXPECT_EQ(edit.outcome, ExifEditOutcome::Refused);
    EXPECT_EQ(edit.reason.rfind("the edited Exif data does not read back as it should: ", 0), 0u)
        << edit.reason;
}

TEST(GpsEntries, ValuesAndTheAltitudeReferenceRules) {
    GpsPosition position = GpsPositionOf(PointAt(-33.8568, 151.2153, 58.9));
    EXPECT_EQ(position.latitude, "33/1 51/1 2448/100");
    EXPECT_EQ(position.latitudeRef, 'S');
    EXPECT_EQ(position.longitudeRef, 'E');
    EXPECT_EQ(*position.altitude, "58/1");
    auto entries = GpsEntriesFor(position, std::nullopt);
    ASSERT_TRUE(entries);
    std::vector<uint16_t> tags;
    for (const GpsEntry& entry : *entries) {
        tags.push_back(entry.tag);
    }
    EXPECT_EQ(tags, (std::vector<uint16_t>{0, 1, 2, 3, 4, 6}));
    EXPECT_EQ(entries->at(2).value,
              std::string("\0\0\0\x21\0\0\0\1\0\0\0\x33\0\0\0\1\0\0\x09\x90\0\0\0\x64", 24));
    EXPECT_EQ(GpsEntriesFor(position, 1u)->at(5).value, std::string(1, '\0'));  // reset to above
    EXPECT_EQ(GpsEntriesFor(position, 0u)->size(), 6u);
    EXPECT_EQ(GpsEntriesFor(GpsPositionOf(PointAt(1, 1, -0.5)), std::nullopt)->size(), 6u);  // 0 m
    EXPECT_EQ(GpsEntriesFor(GpsPositionOf(PointAt(1, 1, -1.5)), std::nullopt)->at(5).value,
              std::string(1, '\1'));
    EXPECT_EQ(GpsEntriesFor(GpsPositionOf(PointAt(1, 1, kNoElevation)), 1u)->size(), 5u);
    position.latitude = "-1/1 2/1 3/100";  // what a position off the globe would give
    EXPECT_FALSE(GpsEntriesFor(position, std::nullopt));
    EXPECT_FALSE(RationalBytes("1/1 2/1", 3));
    EXPECT_FALSE(RationalBytes("4294967296/1", 1));
    EXPECT_FALSE(RationalBytes("1/1 ", 1));
}

}  // namespace
