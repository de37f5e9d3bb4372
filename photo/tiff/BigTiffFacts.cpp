// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/tiff/BigTiffFacts.h"

#include <tiffio.h>

#include <memory>
#include <mutex>

const char kBigTiffSidecarReason[] = "a BigTIFF file, whose 64-bit offsets the edit does not write";

namespace {

using TiffFile = std::unique_ptr<TIFF, decltype(&TIFFClose)>;

// libtiff's messages go to standard error otherwise; a file it cannot read says so in its status.
void SilenceLibTiff() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandler(nullptr);
    });
}

bool TextOf(TIFF* tiff, uint32_t tag, std::string& text) {
    char* value = nullptr;
    if (TIFFGetField(tiff, tag, &value) != 1 || value == nullptr) {
        return false;
    }
    text = value;
    return true;
}

void ReadCaptureTags(TIFF* tiff, PhotoFacts& facts) {
    TextOf(tiff, EXIFTAG_DATETIMEDIGITIZED, facts.capture.dateText);
    const std::pair<uint32_t, const char*> offsets[] = {
        {EXIFTAG_OFFSETTIMEDIGITIZED, "Exif.Photo.OffsetTimeDigitized"},
        {EXIFTAG_OFFSETTIMEORIGINAL, "Exif.Photo.OffsetTimeOriginal"},
        {EXIFTAG_OFFSETTIME, "Exif.Photo.OffsetTime"}};
    for (const auto& [tag, key] : offsets) {
        if (TextOf(tiff, tag, facts.capture.offsetText)) {
            facts.capture.hasOffsetTag = true;
            facts.capture.offsetKey = key;
            return;
        }
    }
}

bool HasPosition(TIFF* tiff) {
    void* latitude = nullptr;
    void* longitude = nullptr;
    return TIFFGetField(tiff, GPSTAG_LATITUDE, &latitude) == 1 &&
           TIFFGetField(tiff, GPSTAG_LONGITUDE, &longitude) == 1;
}

}  // namespace

Status ReadBigTiffFacts(const std::string& path, uint64_t lastWriteTime, PhotoFacts& facts) {
    SilenceLibTiff();
    const TiffFile tiff(TIFFOpen(path.c_str(), "rm"), TIFFClose);
    if (tiff == nullptr) {
        return Status::Unreadable("cannot read this BigTIFF file");
    }
    facts.capture.lastWriteTime = lastWriteTime;
    toff_t exif = 0;
    toff_t gps = 0;
    const bool hasExif = TIFFGetField(tiff.get(), TIFFTAG_EXIFIFD, &exif) == 1;
    const bool hasGps = TIFFGetField(tiff.get(), TIFFTAG_GPSIFD, &gps) == 1;
    facts.hasExif = hasExif || hasGps;
    if (hasExif && TIFFReadEXIFDirectory(tiff.get(), exif) == 1) {
        ReadCaptureTags(tiff.get(), facts);
    }
    facts.hasPosition =
        hasGps && TIFFReadGPSDirectory(tiff.get(), gps) == 1 && HasPosition(tiff.get());
    return Status::Ok();
}
