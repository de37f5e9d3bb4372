// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/PhotoFacts.h"

#include <exiv2/exiv2.hpp>

#include <fstream>
#include <mutex>
#include <sstream>

#include "photo/ExifDate.h"
#include "photo/PhotoFormat.h"
#include "photo/PhotoSource.h"
#include "photo/XmpSidecar.h"
#include "photo/exif/Exiv2Messages.h"
#include "photo/tiff/BigTiffFacts.h"

void ReadExifFacts(const Exiv2::ExifData& exif, uint64_t lastWriteTime, PhotoFacts& facts) {
    facts.hasExif = exif.count() > 0;
    facts.hasPosition = HasRecordedPosition(exif);
    facts.fix = facts.hasPosition ? ReadPhotoFix(exif) : std::nullopt;
    facts.capture.dateText = ReadDateTimeDigitized(exif);
    facts.capture.lastWriteTime = lastWriteTime;
    facts.capture.subSecondText = ReadSubSecondText(exif);
    if (const std::optional<OffsetTag> tag = ReadOffsetTag(exif)) {
        facts.capture.hasOffsetTag = true;
        facts.capture.offsetKey = tag->key;
        facts.capture.offsetText = tag->text;
    }
}

bool IsSameFileState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

namespace {

// A photo that is written in its file: its content must be what its name promises.
Status ReadPhotoFileFacts(const ImageFile& photo, PhotoFacts& facts) {
    PhotoSource source;
    Status opened = OpenPhoto(photo.path, source);
    if (!opened.ok()) {
        return opened;
    }
    PhotoFormat format = PhotoFormat::Unknown;
    Status content =
        CheckPhotoContent(photo.path, source.head.data.get(), source.head.size, format);
    if (!content.ok()) {
        return content;
    }
    facts.identity = source.info;
    if (format == PhotoFormat::BigTiff) {
        return ReadBigTiffFacts(source.target, photo.lastWriteTime, facts);
    }
    Exiv2::Image::AutoPtr image =
        Exiv2::ImageFactory::open(source.head.data.get(), static_cast<long>(source.head.size));
    image->readMetadata();
    ReadExifFacts(image->exifData(), photo.lastWriteTime, facts);
    return Status::Ok();
}

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

Status ReadRawFacts(const ImageFile& raw, PhotoFacts& facts) {
    Exiv2::Image::AutoPtr image;
    try {
        // Opened by path, the file is only ever read: nothing here writes its metadata back.
        image = Exiv2::ImageFactory::open(raw.path);
        // No photo is a video, and the library's QuickTime reader never returns from some broken
        // files (a CR3 whose first box is not "ftyp", say).
        if (image->mimeType().rfind("video/", 0) == 0) {
            return Status::Unreadable(
                "cannot read this RAW photo: the image library takes it for " + image->mimeType());
        }
        image->readMetadata();
    } catch (const std::exception& e) {
        return Status::Unreadable(std::string("cannot read this RAW photo: ") + e.what());
    }
    // Every RAW format the library reads keeps Exif data, the camera's make at least. None
    // means the library took the file for something else: its
    // capture time is unknown, and the file's modification time must not stand in for it.
    if (image->exifData().empty()) {
        return Status::Unreadable(
            "cannot read this RAW photo: the image library finds no Exif data in it (it reads "
            "it as " +
            image->mimeType() + ")");
    }
    stat(raw.path.c_str(), &facts.identity);
    ReadExifFacts(image->exifData(), raw.lastWriteTime, facts);
    facts.sidecarHasPosition = raw.sidecarExists && SidecarHasPosition(FileText(raw.sidecar));
    return Status::Ok();
}

}  // namespace

void InitialiseImageLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::XmpParser::initialize();
        Exiv2::enableBMFF(true);  // HEIF, AVIF and CR3
        RouteExiv2Messages();
    });
}

Status ReadPhotoFacts(const ImageFile& photo, PhotoFacts& facts) {
    InitialiseImageLibrary();
    Exiv2MessageCapture messages;
    try {
        return photo.raw ? ReadRawFacts(photo, facts) : ReadPhotoFileFacts(photo, facts);
    } catch (const std::exception& e) {
        return Status::Failed(messages.Explain(e.what()));
    } catch (...) {
        return Status::Failed(messages.Explain("unknown error"));
    }
}
