// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/exif/TiffGpsUpdate.h"

#include <exiv2/exiv2.hpp>

#include <cstdint>
#include <optional>

namespace {

// The value of the first GPSAltitudeRef as Exiv2 reads it, when there is one.
std::optional<uint32_t> CurrentAltitudeRef(const Exiv2::Image& image) {
    const Exiv2::ExifData& exif = image.exifData();
    const auto ref = exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSAltitudeRef"));
    if (ref == exif.end() || ref->count() == 0) {
        return std::nullopt;
    }
    const long value = ref->toLong(0);
    if (value < 0 || value > static_cast<long>(UINT32_MAX)) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

TiffGpsUpdate PlanTiffGpsUpdate(const unsigned char* tiff, size_t size, const Exiv2::Image& image,
                                const MetadataListing& original, const GpsPosition& position) {
    TiffGpsUpdate update;
    if (const Status read = ReadTiffGpsLayout(tiff, size, update.layout); !read.ok()) {
        update.reason = read.message();
        return update;
    }
    const std::optional<std::vector<GpsEntry>> entries =
        GpsEntriesFor(position, CurrentAltitudeRef(image));
    if (!entries) {
        update.reason = "the position cannot be written as GPS tags";
        return update;
    }
    update.entries = *entries;
    if (HoldsGpsEntries(tiff, size, update.layout, update.entries) &&
        ExpectedGps(original.gps, update.entries) == original.gps) {
        update.outcome = TiffUpdateOutcome::AlreadyTagged;
        return update;
    }
    update.outcome = TiffUpdateOutcome::Write;
    if (update.layout.reusableFrom) {
        update.bases.push_back(*update.layout.reusableFrom);
    }
    update.bases.push_back(size);
    return update;
}
