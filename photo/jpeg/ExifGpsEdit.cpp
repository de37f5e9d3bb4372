// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/jpeg/ExifGpsEdit.h"

#include <exiv2/exiv2.hpp>

#include <cstdint>
#include <optional>
#include <vector>

#include "photo/exif/ExifReadBack.h"
#include "photo/exif/TiffGpsUpdate.h"
#include "photo/jpeg/ExifSegment.h"

namespace {

const char kExifSegmentStart[] = "\xFF\xE1";
const char kExifId[] = "Exif\0\0";              // six bytes
constexpr size_t kSegmentOverhead = 2 + 2 + 6;  // marker, length, "Exif\0\0"

ExifEdit Refusal(const std::string& reason) {
    ExifEdit edit;
    edit.reason = reason;
    return edit;
}

// Zero bytes that make a header of `newSize` congruent to one of `oldSize` modulo `alignment`.
size_t PaddingFor(size_t oldSize, size_t newSize, size_t alignment) {
    const size_t misalignment = (newSize % alignment + alignment - oldSize % alignment) % alignment;
    return misalignment == 0 ? 0 : alignment - misalignment;
}

// The header with the Exif segment at `place` (or none) replaced by one holding `tiff`.
ExifEdit Assemble(const unsigned char* head, size_t size, const ExifSegmentPlace& place,
                  const std::string& tiff, size_t alignment) {
    const size_t data = 6 + tiff.size();
    if (data > kMaxExifSegmentData) {
        return Refusal("the GPS tags would make the Exif segment larger than 65,533 bytes");
    }
    const size_t unpadded = size - (place.end - place.start) + kSegmentOverhead + tiff.size();
    size_t padding = alignment > 0 ? PaddingFor(size, unpadded, alignment) : 0;
    if (data + padding > kMaxExifSegmentData) {
        padding = 0;
    }
    ExifEdit edit;
    edit.outcome = ExifEditOutcome::Edited;
    edit.aligned = alignment > 0 && PaddingFor(size, unpadded + padding, alignment) == 0;
    const size_t length = 2 + data + padding;
    std::string& out = edit.head;
    out.reserve(unpadded + padding);
    out.append(reinterpret_cast<const char*>(head), place.start);
    out.append(kExifSegmentStart, 2);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(length & 0xFF);
    out.append(kExifId, 6);
    out += tiff;
    out.append(padding, '\0');
    out.append(reinterpret_cast<const char*>(head) + place.end, size - place.end);
    return edit;
}

// Keeps `edit` when Exiv2 reads it back as `original` with `written`; refuses it otherwise.
ExifEdit Checked(ExifEdit edit, const MetadataListing& original,
                 const std::vector<GpsEntry>& written) {
    if (edit.outcome != ExifEditOutcome::Edited) {
        return edit;
    }
    std::string difference;
    try {
        const auto image = ReadWithExiv2(reinterpret_cast<const unsigned char*>(edit.head.data()),
                                         edit.head.size());
        difference = CompareReadBack(original, ListMetadata(*image), written);
    } catch (const std::exception& e) {
        difference = std::string("Exiv2 cannot read it: ") + e.what();
    }
    if (!difference.empty()) {
        return Refusal("the edited Exif data does not read back as it should: " + difference);
    }
    return edit;
}

ExifEdit NewExifSegment(const unsigned char* head, size_t size, const ExifSegmentPlace& place,
                        const MetadataListing& original, const GpsPosition& position,
                        size_t alignment) {
    const std::optional<std::vector<GpsEntry>> entries = GpsEntriesFor(position, std::nullopt);
    if (!entries) {
        return Refusal("the position cannot be written as GPS tags");
    }
    return Checked(Assemble(head, size, place, NewTiffWithGps(*entries), alignment), original,
                   *entries);
}

ExifEdit EditedExifSegment(const unsigned char* head, size_t size, const ExifSegmentPlace& place,
                           const Exiv2::Image& image, const MetadataListing& original,
                           const GpsPosition& position, size_t alignment) {
    const unsigned char* tiff = head + place.tiffStart;
    const size_t tiffSize = place.end - place.tiffStart;
    const TiffGpsUpdate update = PlanTiffGpsUpdate(tiff, tiffSize, image, original, position);
    if (update.outcome == TiffUpdateOutcome::Refused) {
        return Refusal(update.reason);
    }
    if (update.outcome == TiffUpdateOutcome::AlreadyTagged) {
        ExifEdit edit;
        edit.outcome = ExifEditOutcome::AlreadyTagged;
        return edit;
    }
    // Over what an earlier edit appended, when there is such; should that not read back right,
    // after everything.
    ExifEdit edit;
    for (const size_t base : update.bases) {
        const std::optional<std::string> newTiff =
            WriteGpsIfds(tiff, tiffSize, update.layout, update.entries, base);
        if (!newTiff) {
            return Refusal("IFD0 or the GPS IFD has too many entries to add one");
        }
        edit = Checked(Assemble(head, size, place, *newTiff, alignment), original, update.entries);
        if (edit.outcome == ExifEditOutcome::Edited) {
            break;
        }
    }
    return edit;
}

}  // namespace

ExifEdit EditExifGps(const unsigned char* head, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position, size_t alignment) {
    const ExifSegmentPlace place = LocateExifSegment(head, size);
    if (!place.problem.empty()) {
        return Refusal(place.problem);
    }
    const MetadataListing listing = ListMetadata(original);
    if (!place.found) {
        return NewExifSegment(head, size, place, listing, position, alignment);
    }
    return EditedExifSegment(head, size, place, original, listing, position, alignment);
}
