// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a photo for tagging: the file itself (symbolic links followed), its state when
// opened, and the bytes its metadata lives in. Only a JPEG's header is read, the segments
// before its compressed image data; any other file, and a JPEG whose header cannot be told
// apart, is read whole.

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include <memory>

#include "durable/OpenOriginal.h"
#include "platform/Status.h"

// The bytes of a whole file, or of its beginning.
struct FileBytes {
    std::unique_ptr<unsigned char[]> data;
    size_t size = 0;
};

// An opened photo: the file (OpenOriginal) and the bytes from its start, the header or the
// whole file; `tailOffset` is where the bytes after `head` begin.
struct PhotoSource : OpenOriginal {
    FileBytes head;
};

// How far past the start of scan the header reaches: the image library may look a little
// beyond a segment's end, and everything it looks at must be in the header.
constexpr size_t kHeaderMargin = 4096;

// Opens the file at `path` and reads its header, or all of it, leaving its access time as it
// was where the process may (it owns the file, or has the privilege). Fails when it cannot be
// opened, is not a regular file, or cannot be read.
Status OpenPhoto(const std::string& path, PhotoSource& photo);
