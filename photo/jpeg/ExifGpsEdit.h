// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a position into a JPEG header's GPS tags so that nothing else changes: only the Exif
// segment is rewritten, by an append-only edit of its TIFF data (TiffGpsEdit), and the result
// is read back through Exiv2 before it is used.

#include <cstddef>
#include <string>

#include "photo/exif/GpsTags.h"

namespace Exiv2 {
class Image;
}

// The most data an Exif segment can carry: its 16-bit length counts itself too.
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
    // The new header is longer or shorter than the original by a multiple of the alignment
    // asked for: zeros after the TIFF data, inside the Exif segment, make it so where they fit.
    bool aligned = false;
};

// Edits `size` bytes of a JPEG header (everything before the image data, or more; `original`
// is what Exiv2 read from the same bytes) so that its GPS IFD holds `position`, as GpsEntriesFor
// gives it, and nothing else that Exiv2 reads changes.
// - A header with an Exif segment: TiffGpsEdit's edit, over the data an earlier edit appended
//   where it recognises some, else after all of it. Every byte outside the Exif segment and, on
//   an append, every byte of its TIFF data but the header's IFD0 offset stays as it was.
// - A header without one: a new Exif segment after the start-of-image marker and the APP0
//   segments right after it, its TIFF data an IFD0 with only the GPS pointer and the GPS IFD.
// - `alignment` above 0: the new header's size is made congruent to `size` modulo `alignment`
//   where the padding fits into the segment.
// Refuses, with the reason: a header whose segments or Exif structure cannot be edited so (see
// LocateExifSegment, ReadTiffGpsLayout), a position that cannot be written, an Exif segment
// that would carry more than kMaxExifSegmentData bytes, and a result that Exiv2 does not read
// back with every datum as before and the GPS IFD as ExpectedGps (see CompareReadBack), or
// cannot read at all. Exiv2's own messages are not part of the reason (see Exiv2Messages.h).
ExifEdit EditExifGps(const unsigned char* head, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position, size_t alignment);
