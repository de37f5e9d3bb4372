// SPDX-License-Identifier: GPL-3.0-or-later
// Which kind of photo a file is, by its name and by its content; the text chunks of PNG files.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "photo/PhotoFormat.h"
#include "photo/WrittenContent.h"
#include "photo/png/PngText.h"

namespace {

const auto* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

PhotoFormat ContentOf(const std::string& sample) {
    const std::string bytes = ReadFileText(SamplePath("photo-formats/" + sample));
    return FormatOfContent(Bytes(bytes), bytes.size());
}

Status Check(const std::string& name, const std::string& bytes) {
    PhotoFormat format = PhotoFormat::Unknown;
    return CheckPhotoContent(name, Bytes(bytes), bytes.size(), format);
}

TEST(PhotoFormat, NamesPromiseTheirFormatInAnyLetterCase) {
    EXPECT_EQ(FormatOfName("a.JPG"), PhotoFormat::Jpeg);
    EXPECT_EQ(FormatOfName("a.Jpeg"), PhotoFormat::Jpeg);
    EXPECT_EQ(FormatOfName("a.TIF"), PhotoFormat::Tiff);
    EXPECT_EQ(FormatOfName("a.tiff"), PhotoFormat::Tiff);
    for (const char* heif : {"a.HEIC", "a.heif", "a.HIF", "a.Avif"}) {
        EXPECT_EQ(FormatOfName(heif), PhotoFormat::Heif) << heif;
    }
    EXPECT_EQ(FormatOfName("a.WebP"), PhotoFormat::WebP);
    EXPECT_EQ(FormatOfName("a.PNG"), PhotoFormat::Png);
    for (const char* other : {"a.cr3", "a.xmp", "png", ".jpgx", "a.jpg.txt", "a.gif"}) {
        EXPECT_EQ(FormatOfName(other), PhotoFormat::Unknown) << other;
    }
}

TEST(PhotoFormat, ContentTellsTheFormatWhateverTheName) {
    EXPECT_EQ(ContentOf("IMG_3578.heic"), PhotoFormat::Heif);
    EXPECT_EQ(ContentOf("Canon.HIF"), PhotoFormat::Heif);
    EXPECT_EQ(ContentOf("avif.avif"), PhotoFormat::Heif);
    EXPECT_EQ(ContentOf("cheers_1440x960.heic"), PhotoFormat::Heif);
    EXPECT_EQ(ContentOf("Canon-R6-pruned.CR3"), PhotoFormat::Unknown);  // a RAW brand
    EXPECT_EQ(ContentOf("Reagan.tiff"), PhotoFormat::Tiff);
    EXPECT_EQ(ContentOf("generated/tiff-le.tif"), PhotoFormat::Tiff);
    EXPECT_EQ(ContentOf("generated/bigtiff.tif"), PhotoFormat::BigTiff);
    EXPECT_EQ(ContentOf("HTC_Desire.webp"), PhotoFormat::WebP);
    EXPECT_EQ(ContentOf("1343_exif.png"), PhotoFormat::Png);
    EXPECT_EQ(FormatOfContent(Bytes("RIFF\0\0\0\0WAVE"), 12), PhotoFormat::Unknown);
    EXPECT_EQ(FormatOfContent(Bytes("\0\0\0\x10"
                                    "ftypqt  \0\0\0\0"),
                              16),
              PhotoFormat::Unknown);
}

TEST(PhotoFormat, AFileWhoseContentIsNotWhatItsNameSaysIsUnreadable) {
    const std::string png = ReadFileText(SamplePath("photo-formats/1343_exif.png"));
    const Status asJpeg = Check("photo.jpg", png);
    EXPECT_EQ(asJpeg.code(), StatusCode::Unreadable);
    EXPECT_EQ(asJpeg.message(), "its name says JPEG, but its content is a PNG file");
    EXPECT_EQ(Check("photo.webp", "not a picture").message(),
              "its content is not a WebP file (nor any other photo format this program writes)");
    EXPECT_TRUE(Check("photo.PNG", png).ok());
    const std::string big = ReadFileText(SamplePath("photo-formats/generated/bigtiff.tif"));
    EXPECT_TRUE(Check("scan.tif", big).ok());
    // A JPEG must run from its start through its segments to the start of scan.
    const std::string jpeg = ReadFileText(SamplePath("jpg/Canon_40D.jpg"));
    EXPECT_TRUE(Check("a.jpg", jpeg).ok());
    EXPECT_EQ(Check("a.jpg", jpeg.substr(0, 200)).code(), StatusCode::Unreadable);
    std::string stray = jpeg;
    stray.insert(2, "junk");  // stray bytes where a marker belongs
    EXPECT_EQ(Check("a.jpg", stray).code(), StatusCode::Unreadable);
    std::string brokenChain = jpeg;
    brokenChain[5] = '\x01';  // the APP segment's length runs into its data
    EXPECT_EQ(Check("a.jpg", brokenChain).code(), StatusCode::Unreadable);
}

TEST(WrittenContent, TheCleanupKnowsEveryFormatThatIsWritten) {
    for (const char* sample : {"IMG_3578.heic", "avif.avif", "Reagan.tiff", "HTC_Desire.webp",
                               "ReaganSmallPng.png", "generated/tiff-le.tif"}) {
        const std::string start = ReadFileText(SamplePath(std::string("photo-formats/") + sample));
        EXPECT_TRUE(BeginsAsWrittenPhoto(start.substr(0, 16))) << sample;
    }
    EXPECT_TRUE(BeginsAsWrittenPhoto(std::string("\xFF\xD8\xFF\xE0", 4)));
    EXPECT_TRUE(BeginsAsWrittenPhoto("<?xpacket begin"));
    EXPECT_FALSE(BeginsAsWrittenPhoto("RIFF\x10\0\0\0WAVEfmt "));
    EXPECT_FALSE(BeginsAsWrittenPhoto(
        ReadFileText(SamplePath("photo-formats/Canon-R6-pruned.CR3")).substr(0, 16)));
}

TEST(PngText, EachFormOfTextChunkIsWrittenBackAsItWasRead) {
    PngText text;
    text.keyword = "Raw profile type exif";
    text.text = WriteRawProfile("exif", std::string("Exif\0\0II*\0\x08\0\0\0", 14));
    for (const char* type : {"tEXt", "zTXt", "iTXt"}) {
        for (const bool compressed : {false, true}) {
            text.type = type;
            text.compressed = compressed && std::string(type) != "tEXt";
            text.iTxtTags = std::string(type) == "iTXt" ? std::string("en\0Exif\0", 8) : "";
            const std::string data = WritePngText(text);
            PngText read;
            ASSERT_TRUE(ReadPngText(type, Bytes(data), data.size(), read)) << type;
            EXPECT_EQ(read.keyword, text.keyword);
            EXPECT_EQ(read.text, text.text);
            EXPECT_EQ(read.iTxtTags, text.iTxtTags);
            EXPECT_EQ(WritePngText(read), data) << type;
        }
    }
    PngText read;
    EXPECT_FALSE(ReadPngText("zTXt", Bytes(std::string("k\0\0junk", 7)), 7, read));
    EXPECT_FALSE(ReadPngText("tEXt", Bytes("no keyword end"), 14, read));
}

TEST(PngText, RawProfilesReadAndWriteAsImageMagickLaysThemOut) {
    const std::string bytes(40, '\xAB');
    const std::string text = WriteRawProfile("exif", bytes);
    EXPECT_EQ(text.substr(0, 17), "\nexif\n      40\nab");
    EXPECT_EQ(text.find('\n', 15), 15 + 72u);  // 36 bytes a line
    EXPECT_EQ(text.back(), '\n');
    std::string name;
    std::string read;
    ASSERT_TRUE(ReadRawProfile(text, name, read));
    EXPECT_EQ(name, "exif");
    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(ReadRawProfile("\nexif\n      41\nabab\n", name, read));  // fewer bytes
    EXPECT_FALSE(ReadRawProfile("exif\n 2\nabab\n", name, read));
    EXPECT_FALSE(ReadRawProfile("\nexif\n  -1\nab\n", name, read));
}

}  // namespace
