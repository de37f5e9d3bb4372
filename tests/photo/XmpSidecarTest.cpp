// SPDX-License-Identifier: GPL-3.0-or-later
// Which sidecar a RAW photo's position goes into, and what its content becomes.
#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>

#include "RawFixtures.h"
#include "photo/XmpSidecar.h"
#include "photo/exif/GpsTags.h"

namespace {

GeoPosition Point(double latitude, double longitude, double elevation) {
    GeoPosition point;
    point.latitude = latitude;
    point.longitude = longitude;
    point.elevation = elevation;
    return point;
}

Exiv2::XmpData Decoded(const std::string& text) {
    Exiv2::XmpData xmp;
    EXPECT_EQ(Exiv2::XmpParser::decode(xmp, text), 0);
    return xmp;
}

std::string Property(const Exiv2::XmpData& xmp, const char* key) {
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    return it == xmp.end() ? "(none)" : it->toString();
}

TEST(RawNames, TheFormatsTheImageLibraryReadsInAnyCaseAndNothingElse) {
    for (const char* name : {"a.dng", "IMG_0001.CR2", "b.NeF", "c.arw", "d.raf", "e.rw2", "f.orf",
                             "g.pef", "h.3fr", "i.cr3", "j.X3F"}) {
        EXPECT_TRUE(IsRawName(name)) << name;
    }
    for (const char* name : {"a.jpg", "a.xmp", "dng", ".dng", "a.dng.xmp", "a.tif", "a.cr2x"}) {
        EXPECT_FALSE(IsRawName(name)) << name;
    }
}

TEST(SidecarChoice, AnEditorsSidecarIsFoundBeforeANewOneIsNamed) {
    bool exists = false;
    // darktable's NAME.EXT.xmp wins over NAME.xmp.
    EXPECT_EQ(
        ChooseSidecarName("IMG_1.CR2", {"IMG_1.CR2", "IMG_1.xmp", "IMG_1.CR2.xmp"}, false, exists),
        "IMG_1.CR2.xmp");
    EXPECT_TRUE(exists);
    EXPECT_EQ(ChooseSidecarName("IMG_1.CR2", {"IMG_1.CR2", "IMG_1.xmp"}, true, exists),
              "IMG_1.xmp");
    EXPECT_TRUE(exists);
    // Found in any letter case, in its own spelling.
    EXPECT_EQ(ChooseSidecarName("IMG_1.CR2", {"IMG_1.CR2", "img_1.XMP"}, false, exists),
              "img_1.XMP");
    EXPECT_TRUE(exists);
    EXPECT_EQ(ChooseSidecarName("IMG_1.CR2", {"IMG_1.CR2", "IMG_1.cr2.Xmp"}, false, exists),
              "IMG_1.cr2.Xmp");
    // None there: NAME.xmp, or NAME.EXT.xmp where another RAW photo shares NAME.
    EXPECT_EQ(ChooseSidecarName("IMG_1.CR2", {"IMG_1.CR2", "IMG_2.xmp"}, false, exists),
              "IMG_1.xmp");
    EXPECT_FALSE(exists);
    EXPECT_EQ(ChooseSidecarName("IMG_1.CR2", {"IMG_1.CR2", "IMG_1.DNG"}, true, exists),
              "IMG_1.CR2.xmp");
    EXPECT_FALSE(exists);
}

TEST(XmpCoordinates, AgreeWithTheExifWriteOfTheSamePoint) {
    // 48.137154: 48 degrees, 8 minutes, 13.75 seconds (FormatGpsCoordinate's hundredths).
    ASSERT_EQ(FormatGpsCoordinate(48.137154), "48/1 8/1 1375/100");
    EXPECT_EQ(XmpGpsCoordinate(48.137154, 'N', 'S'), "48,08.229167N");
    EXPECT_EQ(XmpGpsCoordinate(-11.5, 'E', 'W'), "11,30.000000W");
    EXPECT_EQ(XmpGpsCoordinate(-179.999999, 'E', 'W'), "179,59.999833W");
    // As the Exif reference tags: zero is not positive.
    EXPECT_EQ(XmpGpsCoordinate(0.0, 'N', 'S'), "0,00.000000S");
}

TEST(SidecarContent, ANewSidecarHoldsThePositionAndReadsBack) {
    const SidecarUpdate update = UpdateSidecar("", Point(48.137154, -11.575382, 519.6));
    ASSERT_EQ(update.change, SidecarChange::Written) << update.reason;
    EXPECT_EQ(update.text.rfind("<?xpacket", 0), 0u);
    const Exiv2::XmpData xmp = Decoded(update.text);
    EXPECT_EQ(Property(xmp, "Xmp.exif.GPSLatitude"), "48,08.229167N");
    EXPECT_EQ(Property(xmp, "Xmp.exif.GPSLongitude"), "11,34.522833W");
    EXPECT_EQ(Property(xmp, "Xmp.exif.GPSAltitude"), "519/1");
    EXPECT_EQ(Property(xmp, "Xmp.exif.GPSVersionID"), "2.0.0.0");
    EXPECT_EQ(Property(xmp, "Xmp.exif.GPSAltitudeRef"), "(none)");
}

TEST(SidecarContent, AltitudeFollowsTheExifRules) {
    // Below sea level: the magnitude, and the reference 1.
    const SidecarUpdate below = UpdateSidecar("", Point(10, 10, -27.9));
    ASSERT_EQ(below.change, SidecarChange::Written);
    EXPECT_EQ(Property(Decoded(below.text), "Xmp.exif.GPSAltitude"), "27/1");
    EXPECT_EQ(Property(Decoded(below.text), "Xmp.exif.GPSAltitudeRef"), "1");
    // Above again: a reference saying "below" is reset.
    const SidecarUpdate above = UpdateSidecar(below.text, Point(10, 10, 12));
    ASSERT_EQ(above.change, SidecarChange::Written);
    EXPECT_EQ(Property(Decoded(above.text), "Xmp.exif.GPSAltitudeRef"), "0");
    // No elevation: the altitude the sidecar holds stays.
    const SidecarUpdate none = UpdateSidecar(above.text, Point(11, 10, -9999));
    ASSERT_EQ(none.change, SidecarChange::Written);
    EXPECT_EQ(Property(Decoded(none.text), "Xmp.exif.GPSAltitude"), "12/1");
    EXPECT_EQ(Property(Decoded(none.text), "Xmp.exif.GPSLatitude"), "11,00.000000N");
}

TEST(SidecarContent, AnEditorsSidecarKeepsEverythingElse) {
    const SidecarUpdate update = UpdateSidecar(DarktableSidecar(), Point(48.1, 11.5, 500));
    ASSERT_EQ(update.change, SidecarChange::Written) << update.reason;
    const Exiv2::XmpData before = Decoded(DarktableSidecar());
    const Exiv2::XmpData after = Decoded(update.text);
    for (const Exiv2::Xmpdatum& datum : before) {
        EXPECT_EQ(Property(after, datum.key().c_str()), datum.toString()) << datum.key();
    }
    EXPECT_EQ(Property(after, "Xmp.xmp.Rating"), "4");
    EXPECT_EQ(Property(after, "Xmp.darktable.history[2]/darktable:operation"), "colorin");
    EXPECT_EQ(Property(after, "Xmp.exif.GPSLatitude"), "48,06.000000N");
}

TEST(SidecarContent, ASidecarHoldingThePositionIsNotRewritten) {
    const GeoPosition point = Point(48.137154, 11.575382, 519.6);
    const SidecarUpdate first = UpdateSidecar(DarktableSidecar(), point);
    ASSERT_EQ(first.change, SidecarChange::Written);
    EXPECT_EQ(UpdateSidecar(first.text, point).change, SidecarChange::AlreadyHeld);
    EXPECT_EQ(UpdateSidecar(first.text, Point(48.137154, 11.575382, 520.6)).change,
              SidecarChange::Written);
}

TEST(SidecarContent, ASidecarThatCannotBeParsedIsLeftAlone) {
    for (const char* text :
         {"<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF", "not XML at all", "\x89PNG\r\n"}) {
        const SidecarUpdate update = UpdateSidecar(text, Point(1, 2, 3));
        EXPECT_EQ(update.change, SidecarChange::Refused) << text;
        EXPECT_FALSE(update.reason.empty());
        EXPECT_TRUE(update.text.empty());
    }
}

}  // namespace
