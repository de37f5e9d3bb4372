// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What reading a photo's header tells a run, once: enough to place the photo again under other
// settings without reading it again.

#include <sys/stat.h>

#include "match/CaptureTime.h"
#include "photo/HotFolderFiles.h"
#include "platform/Status.h"

struct PhotoFacts {
    CaptureFacts capture;
    bool hasExif = false;             // false: the photo has no Exif data at all
    bool hasPosition = false;         // its Exif GPS tags hold a latitude and a longitude
    bool sidecarHasPosition = false;  // RAW: its existing sidecar holds one
    struct stat identity {};          // the file as it was when read
};

// Reads the facts of a listed photo: a JPEG's header or another photo's file through the image
// library, a RAW photo's metadata (the file is only read) and its sidecar. A photo that cannot
// be read gives its reason, with the image library's messages; one whose content is not what its
// name promises (CheckPhotoContent) gives StatusCode::Unreadable; a RAW photo the library cannot
// read, or from which it reads no Exif data, gives StatusCode::Unreadable. Never throws but
// std::bad_alloc.
Status ReadPhotoFacts(const ImageFile& photo, PhotoFacts& facts);

namespace Exiv2 {
class ExifData;
}

// Takes the facts of Exif data that the image library read from a photo last written at
// `lastWriteTime` (FILETIME count).
void ReadExifFacts(const Exiv2::ExifData& exif, uint64_t lastWriteTime, PhotoFacts& facts);

// True when `a` and `b` describe the same file with the same content: device, inode, size,
// modification and status-change time.
bool IsSameFileState(const struct stat& a, const struct stat& b);

// Initialises the image library for the program's use. Thread-safe; later calls do nothing.
void InitialiseImageLibrary();
