// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the GPS tag writer: any bytes, taken as a photo's header, must either be
// refused or give a header that differs from them in one Exif segment only, whose TIFF data
// keeps every byte before its new IFD0, and that Exiv2 reads back with every datum as before
// and the GPS tags as meant. The writer checks the read-back itself; this target checks it
// again in its own way, from Exiv2's texts.
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "Exiv2Listing.h"
#include "GpsExpectation.h"
#include "photo/exif/ExifReadBack.h"
#include "photo/exif/Exiv2Messages.h"
#include "photo/exif/GpsTags.h"
#include "photo/jpeg/ExifGpsEdit.h"
#include "platform/DebugOutput.h"

namespace {

using namespace fuzz;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "GPS tag writer broken: %s\n", what);
        std::abort();
    }
}

void InitialiseOnce() {
    static const bool done = [] {
        Exiv2::XmpParser::initialize();
        RouteExiv2Messages();
        SetDebugSink([](const std::string&) {});
        return true;
    }();
    (void)done;
}

// The new header is the old one with one Exif segment put in, or put in place of the old one;
// the new TIFF data keeps every byte of the old one before its new IFD0.
void CheckOnlyTheExifSegmentChanged(const std::string& before, const std::string& after) {
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    for (size_t start = std::min(prefix, after.size());; --start) {
        const std::optional<ByteSpan> now = ExifSegmentAt(after, start);
        const std::optional<ByteSpan> old = ExifSegmentAt(before, start);
        const size_t oldEnd = old ? old->end : start;
        if (now && now->end <= after.size() && oldEnd <= before.size() &&
            after.compare(now->end, std::string::npos, before, oldEnd) == 0) {
            Require(after.compare(0, start, before, 0, start) == 0, "bytes before it changed");
            if (old) {
                const std::string oldTiff = before.substr(start + 10, oldEnd - start - 10);
                const std::string newTiff = after.substr(start + 10, now->end - start - 10);
                const size_t ifd0 =
                    Exiv2::getULong(reinterpret_cast<const Exiv2::byte*>(newTiff.data() + 4),
                                    newTiff[0] == 'M' ? Exiv2::bigEndian : Exiv2::littleEndian);
                const size_t kept = std::min<size_t>(ifd0, oldTiff.size());
                Require(ifd0 >= 8 && newTiff.compare(8, kept - 8, oldTiff, 8, kept - 8) == 0,
                        "TIFF data before the new IFD0 changed");
            }
            return;
        }
        Require(start > 0, "the header changed outside one Exif segment");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InitialiseOnce();
    const std::string before(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<Exiv2::Image> original;
    Exiv2Listing was;
    if (!ReadAndList(data, size, original, was)) {
        return 0;
    }
    const GpsPosition position = GpsPositionOf(PointFor(size));
    const size_t alignment = size % 2 == 0 ? 4096 : 0;
    Exiv2MessageCapture quiet;
    const ExifEdit edit = EditExifGps(data, size, *original, position, alignment);
    const std::multiset<std::string> gps =
        ExpectedGpsLines(was.gps, position, AltitudeRefIsOne(*original));
    if (edit.outcome == ExifEditOutcome::AlreadyTagged) {
        Require(gps == was.gps, "a photo taken for tagged that is not");
    }
    if (edit.outcome != ExifEditOutcome::Edited) {
        return 0;
    }
    Require(!edit.aligned || edit.head.size() % alignment == size % alignment,
            "a header said to be aligned is not");
    CheckOnlyTheExifSegmentChanged(before, edit.head);
    Exiv2Listing is;
    try {
        is = ListWithExiv2(edit.head);
    } catch (const std::exception&) {
        Require(false, "Exiv2 cannot read the edited header");
    }
    Require(is.other == was.other, "metadata other than GPS changed");
    Require(is.gps == gps, "the GPS tags do not read back as meant");
    return 0;
}
