// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/EmbeddedExif.h"

#include <exiv2/exiv2.hpp>

#include <optional>

#include "photo/exif/ExifReadBack.h"
#include "photo/exif/TiffGpsUpdate.h"

namespace {

// Keeps `edit` when Exiv2 reads its new file back as `original` with `written`.
PhotoEdit Checked(PhotoEdit edit, const unsigned char* file, size_t size,
                  const MetadataListing& original, const std::vector<GpsEntry>& written) {
    std::string difference;
    try {
        const std::string bytes = ContentBytes(edit.content, file, size);
        const auto image =
            ReadWithExiv2(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        difference = CompareReadBack(original, ListMetadata(*image), written);
    } catch (const std::exception& e) {
        difference = std::string("Exiv2 cannot read it: ") + e.what();
    }
    if (!difference.empty()) {
        return RefusedEdit("the edited Exif data does not read back as it should: " + difference);
    }
    return edit;
}

PhotoEdit Edited(NewContent content) {
    PhotoEdit edit;
    edit.outcome = PhotoEditOutcome::Edited;
    edit.content = std::move(content);
    return edit;
}

}  // namespace

PhotoEdit RefusedEdit(const std::string& reason) {
    PhotoEdit edit;
    edit.reason = reason;
    return edit;
}

PhotoEdit SidecarInstead(const std::string& reason) {
    PhotoEdit edit;
    edit.outcome = PhotoEditOutcome::UseSidecar;
    edit.reason = reason;
    return edit;
}

std::string ContentBytes(const NewContent& content, const unsigned char* file, size_t size) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(ContentSize(content)));
    for (const ContentPiece& piece : content) {
        if (!piece.fromOriginal) {
            bytes += piece.bytes;
        } else if (piece.offset <= size && piece.length <= size - piece.offset) {
            bytes.append(reinterpret_cast<const char*>(file) + piece.offset, piece.length);
        } else {
            throw std::out_of_range("a range beyond the original file");
        }
    }
    return bytes;
}

PhotoEdit EditEmbeddedTiff(const unsigned char* file, size_t size, const unsigned char* tiff,
                           size_t tiffSize, const Exiv2::Image& original,
                           const GpsPosition& position, bool zerosMayMatter,
                           const TiffWrapper& wrap) {
    const MetadataListing listing = ListMetadata(original);
    const TiffGpsUpdate update = PlanTiffGpsUpdate(tiff, tiffSize, original, listing, position);
    if (update.outcome == TiffUpdateOutcome::Refused) {
        return RefusedEdit(update.reason);
    }
    if (update.outcome == TiffUpdateOutcome::AlreadyTagged) {
        PhotoEdit edit;
        edit.outcome = PhotoEditOutcome::AlreadyTagged;
        return edit;
    }
    PhotoEdit edit;
    for (const size_t base : update.bases) {
        if (zerosMayMatter && base < tiffSize && update.layout.reusableEnd != tiffSize) {
            continue;  // the zeros after an earlier edit may be image data
        }
        const std::optional<std::string> newTiff =
            WriteGpsIfds(tiff, tiffSize, update.layout, update.entries, base);
        if (!newTiff) {
            return RefusedEdit("IFD0 or the GPS IFD has too many entries to add one");
        }
        edit = Checked(Edited(wrap(*newTiff, base)), file, size, listing, update.entries);
        if (edit.outcome == PhotoEditOutcome::Edited) {
            break;
        }
    }
    return edit;
}

PhotoEdit AddNewTiff(const unsigned char* file, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position,
                     const std::function<NewContent(const std::string& tiff)>& wrap) {
    const std::optional<std::vector<GpsEntry>> entries = GpsEntriesFor(position, std::nullopt);
    if (!entries) {
        return RefusedEdit("the position cannot be written as GPS tags");
    }
    return Checked(Edited(wrap(NewTiffWithGps(*entries))), file, size, ListMetadata(original),
                   *entries);
}
