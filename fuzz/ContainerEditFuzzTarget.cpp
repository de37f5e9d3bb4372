// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for one container's GPS tag writer, chosen at build time by FENRIK_FUZZ_FORMAT
// (Heif, Tiff, WebP or Png): any bytes, taken as a whole file, must be refused, sent to a
// sidecar, or give a new file of the same format that Exiv2 reads back with every datum as
// before and the GPS tags as meant. The writer checks the read-back itself; this target checks it
// again in its own way, from Exiv2's texts.
#include <exiv2/exiv2.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "Exiv2Listing.h"
#include "GpsExpectation.h"
#include "photo/EmbeddedExif.h"
#include "photo/PhotoFormat.h"
#include "photo/exif/ExifReadBack.h"
#include "photo/exif/Exiv2Messages.h"
#include "photo/heif/HeifExifEdit.h"
#include "photo/png/PngExifEdit.h"
#include "photo/tiff/TiffFileEdit.h"
#include "photo/webp/WebPExifEdit.h"
#include "platform/DebugOutput.h"

namespace {

constexpr PhotoFormat kFormat = PhotoFormat::FENRIK_FUZZ_FORMAT;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s GPS tag writer broken: %s\n", FormatName(kFormat), what);
        std::abort();
    }
}

void InitialiseOnce() {
    static const bool done = [] {
        Exiv2::XmpParser::initialize();
        Exiv2::enableBMFF(true);
        RouteExiv2Messages();
        SetDebugSink([](const std::string&) {});
        return true;
    }();
    (void)done;
}

PhotoEdit Edit(const uint8_t* data, size_t size, const Exiv2::Image& original,
               const GpsPosition& position) {
    switch (kFormat) {
        case PhotoFormat::Heif:
            return EditHeifGps(data, size, original, position);
        case PhotoFormat::Tiff:
            return EditTiffFileGps(data, size, original, position);
        case PhotoFormat::WebP:
            return EditWebPGps(data, size, original, position);
        default:
            return EditPngGps(data, size, original, position);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InitialiseOnce();
    if (FormatOfContent(data, size) != kFormat) {
        return 0;  // the program hands a file to this writer only when its content is the format
    }
    std::unique_ptr<Exiv2::Image> original;
    Exiv2Listing was;
    if (!fuzz::ReadAndList(data, size, original, was)) {
        return 0;
    }
    const GpsPosition position = GpsPositionOf(fuzz::PointFor(size));
    Exiv2MessageCapture quiet;
    const PhotoEdit edit = Edit(data, size, *original, position);
    const std::multiset<std::string> gps =
        fuzz::ExpectedGpsLines(was.gps, position, fuzz::AltitudeRefIsOne(*original));
    if (edit.outcome == PhotoEditOutcome::AlreadyTagged) {
        Require(gps == was.gps, "a photo taken for tagged that is not");
    }
    if (edit.outcome != PhotoEditOutcome::Edited) {
        return 0;
    }
    std::string after;
    try {
        after = ContentBytes(edit.content, data, size);
    } catch (const std::exception&) {
        Require(false, "the new file names bytes the original does not hold");
    }
    Require(FormatOfContent(reinterpret_cast<const unsigned char*>(after.data()), after.size()) ==
                FormatOfContent(data, size),
            "the new file is not of the original's format");
    Exiv2Listing is;
    try {
        is = ListWithExiv2(after);
    } catch (const std::exception&) {
        Require(false, "Exiv2 cannot read the edited file");
    }
    Require(is.other == was.other, "metadata other than GPS changed");
    Require(is.gps == gps, "the GPS tags do not read back as meant");
    return 0;
}
