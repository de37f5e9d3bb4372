// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What writing a position into a photo's Exif TIFF data takes, whatever holds the data: its
// layout, the GPS entries, and where the appended IFDs may go (TiffGpsEdit).

#include <cstddef>
#include <string>
#include <vector>

#include "photo/exif/ExifReadBack.h"
#include "photo/exif/GpsTags.h"
#include "photo/exif/TiffGpsEdit.h"

namespace Exiv2 {
class Image;
}

enum class TiffUpdateOutcome {
    Write,          // write `entries`, trying each of `bases` in turn
    AlreadyTagged,  // the GPS tags already hold exactly what would be written
    Refused,        // `reason` says why the data cannot be edited so
};

struct TiffGpsUpdate {
    TiffUpdateOutcome outcome = TiffUpdateOutcome::Refused;
    std::string reason;
    TiffGpsLayout layout;
    std::vector<GpsEntry> entries;
    // Where the new IFDs go (WriteGpsIfds' base): over an earlier edit's, when the data ends in
    // one, then after all of the data.
    std::vector<size_t> bases;
};

// Plans the edit of `size` bytes of TIFF data from which Exiv2 read `image` (`original` its
// listing) so that the GPS IFD holds `position`. Refuses data that ReadTiffGpsLayout refuses and
// a position that cannot be written.
TiffGpsUpdate PlanTiffGpsUpdate(const unsigned char* tiff, size_t size, const Exiv2::Image& image,
                                const MetadataListing& original, const GpsPosition& position);
