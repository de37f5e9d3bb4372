// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a position into a JPEG header's GPS tags so that nothing else changes.

#include <cstddef>
#include <string>

#include "photo/exif/GpsTags.h"

namespace Exiv2 {
class Image;
}

// The most data an Exif segment can carry.
constexpr size_t kMaxExifSegmentData = 65533;

enum class ExifEditOutcome {
    Edited,         // `head` is the new header
    AlreadyTagged,  // the GPS tags already hold exactly what would be written
    Refused,        // the header cannot be edited so; `reason` says why
};

struct ExifEdit {
    ExifEditOutcome outcome = ExifEditOutcome::Refused;
    std::string reason;
    std::string head;
    // The size changed by a multiple of the alignment asked for.
    bool aligned = false;
};

// Edits `size` bytes of a JPEG header (`original`: what Exiv2 read from them) so that its GPS IFD
// holds `position` and nothing else Exiv2 reads changes. `alignment` above 0 keeps the size
// congruent modulo it where padding fits. Refuses, with a reason free of Exiv2's messages, what
// cannot be edited so, a segment over kMaxExifSegmentData, and a result CompareReadBack rejects.
ExifEdit EditExifGps(const unsigned char* head, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position, size_t alignment);
