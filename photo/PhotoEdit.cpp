// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/PhotoEdit.h"

#include "photo/EmbeddedExif.h"
#include "photo/PhotoSource.h"
#include "photo/heif/HeifExifEdit.h"
#include "photo/jpeg/ExifGpsEdit.h"
#include "photo/png/PngExifEdit.h"
#include "photo/tiff/TiffFileEdit.h"
#include "photo/webp/WebPExifEdit.h"

namespace {

using FileEdit = PhotoEdit (*)(const unsigned char*, size_t, const Exiv2::Image&,
                               const GpsPosition&);

// The edit of each format whose whole file is read.
FileEdit FileEditFor(PhotoFormat format) {
    switch (format) {
        case PhotoFormat::Tiff:
        case PhotoFormat::BigTiff:
            return EditTiffFileGps;
        case PhotoFormat::Heif:
            return EditHeifGps;
        case PhotoFormat::WebP:
            return EditWebPGps;
        case PhotoFormat::Png:
            return EditPngGps;
        default:
            return nullptr;
    }
}

// A JPEG: its new header, then the original from where its header ends.
PhotoEdit EditJpeg(const PhotoSource& photo, const Exiv2::Image& original,
                   const GpsPosition& position, size_t alignment) {
    ExifEdit edit =
        EditExifGps(photo.head.data.get(), photo.head.size, original, position, alignment);
    PhotoEdit result;
    result.reason = std::move(edit.reason);
    if (edit.outcome == ExifEditOutcome::AlreadyTagged) {
        result.outcome = PhotoEditOutcome::AlreadyTagged;
    } else if (edit.outcome == ExifEditOutcome::Edited) {
        result.outcome = PhotoEditOutcome::Edited;
        result.content = {GivenBytes(std::move(edit.head)),
                          OriginalRange(photo.tailOffset, photo.TailSize())};
    }
    return result;
}

}  // namespace

PhotoEdit EditPhotoGps(PhotoFormat format, const PhotoSource& photo, const Exiv2::Image& original,
                       const GpsPosition& position, size_t alignment) {
    if (format == PhotoFormat::Jpeg) {
        return EditJpeg(photo, original, position, alignment);
    }
    const FileEdit edit = FileEditFor(format);
    if (edit == nullptr) {
        return RefusedEdit(std::string("no edit writes a ") + FormatName(format) + " file");
    }
    return edit(photo.head.data.get(), photo.head.size, original, position);
}
