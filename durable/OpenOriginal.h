// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file that is to be replaced, as it was opened for reading.

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/UniqueFd.h"

struct OpenOriginal {
    UniqueFd fd;              // open for reading
    std::string target;       // the file's own path: symbolic links resolved
    struct stat info {};      // as found when opened, before anything was read
    uint64_t tailOffset = 0;  // where the bytes kept as they are begin
    // Bytes of the file from `tailOffset`, as large as the file was when opened.
    uint64_t TailSize() const {
        const uint64_t size = static_cast<uint64_t>(info.st_size);
        return size > tailOffset ? size - tailOffset : 0;
    }
};
