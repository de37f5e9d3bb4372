// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a position into a photo's file so that nothing but its GPS tags changes, whatever the
// format: the one place that picks the format's own edit (the JPEG header's Exif segment, a
// TIFF file, a HEIF file's Exif item, a WebP or PNG chunk).

#include <cstddef>
#include <string>

#include "durable/NewContent.h"
#include "photo/PhotoFormat.h"
#include "photo/exif/GpsTags.h"

namespace Exiv2 {
class Image;
}
struct PhotoSource;

enum class PhotoEditOutcome {
    Edited,         // `content` makes the new file
    AlreadyTagged,  // the GPS tags already hold exactly what would be written
    Refused,        // the photo cannot be edited so; `reason` says why
    UseSidecar,     // the file's structure does not let the edit in; `reason` says why
};

struct PhotoEdit {
    PhotoEditOutcome outcome = PhotoEditOutcome::Refused;
    std::string reason;
    NewContent content;  // Edited: given bytes and ranges of the original file
};

// Edits `photo` (whose bytes from its start are a JPEG's header, or all of another format's
// file; `original` is what Exiv2 read from them) of the `format` its content has so that its GPS
// tags hold `position` and nothing else that Exiv2 reads changes. A JPEG keeps its header's size
// congruent modulo `alignment` where it can (EditExifGps). Every edit is read back through Exiv2
// before it is returned.
PhotoEdit EditPhotoGps(PhotoFormat format, const PhotoSource& photo, const Exiv2::Image& original,
                       const GpsPosition& position, size_t alignment);
