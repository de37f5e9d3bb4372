// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a photo for tagging: the file (links followed), its state, and the bytes holding its
// metadata: a JPEG's header only, or the whole file for other formats and when a JPEG's header
// cannot be told apart.

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include <memory>

#include "durable/OpenOriginal.h"
#include "platform/Status.h"

struct FileBytes {
    std::unique_ptr<unsigned char[]> data;
    size_t size = 0;
};

// `tailOffset` is where the bytes after `head` begin.
struct PhotoSource : OpenOriginal {
    FileBytes head;
};

// How far past the start of scan the header reaches: the image library may look that far beyond.
constexpr size_t kHeaderMargin = 4096;

// Opens `path` and reads its header, keeping its access time where the process may. Fails when
// it cannot be opened or read, or is not a regular file.
Status OpenPhoto(const std::string& path, PhotoSource& photo);
