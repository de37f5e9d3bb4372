// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What reading a photo's header once tells a run, enough to place it again under other settings.

#include <sys/stat.h>

#include <optional>

#include "match/CaptureTime.h"
#include "photo/HotFolderFiles.h"
#include "photo/PhotoFix.h"
#include "platform/Status.h"

struct PhotoFacts {
    CaptureFacts capture;
    bool hasExif = false;             // false: the photo has no Exif data at all
    bool hasPosition = false;         // its Exif GPS tags hold a latitude and a longitude
    bool sidecarHasPosition = false;  // RAW: its existing sidecar holds one
    std::optional<PhotoFix> fix;      // the position its GPS tags hold, when they hold a usable one
    struct stat identity {};          // the file as it was when read
};

// Reads a listed photo's facts (a RAW photo's and its sidecar's too). An unreadable photo gives
// its reason with the image library's messages; a photo whose content is not what its name
// promises (CheckPhotoContent) and a RAW photo without Exif data are Unreadable. Throws only
// std::bad_alloc.
Status ReadPhotoFacts(const ImageFile& photo, PhotoFacts& facts);

namespace Exiv2 {
class ExifData;
}

// The facts of Exif data read from a photo last written at `lastWriteTime` (FILETIME count).
void ReadExifFacts(const Exiv2::ExifData& exif, uint64_t lastWriteTime, PhotoFacts& facts);

// Same device, inode, size, modification and status-change time.
bool IsSameFileState(const struct stat& a, const struct stat& b);

// Thread-safe; later calls do nothing.
void InitialiseImageLibrary();
