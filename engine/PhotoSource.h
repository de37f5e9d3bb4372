// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a photo for tagging: the file itself (symbolic links followed), its state when
// opened, and the bytes its metadata lives in. Only a JPEG's header is read, the segments
// before its compressed image data; a file whose header cannot be told apart is read whole.

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include <memory>

#include "platform/UniqueFd.h"

// The bytes of a whole file, or of its beginning.
struct FileBytes {
    std::unique_ptr<unsigned char[]> data;
    size_t size = 0;
};

struct PhotoSource {
    UniqueFd fd;              // open for reading
    std::string target;       // the file's own path: symbolic links resolved
    struct stat info {};      // as found when opened, before anything was read
    FileBytes head;           // the bytes from the start: the header, or the whole file
    uint64_t tailOffset = 0;  // where the bytes after `head` begin; the file's size when whole
    // Bytes of the file after the header, as large as the file was when opened.
    uint64_t TailSize() const {
        const uint64_t size = static_cast<uint64_t>(info.st_size);
        return size > tailOffset ? size - tailOffset : 0;
    }
};

// How far past the start of scan the header reaches: the image library may look a little
// beyond a segment's end, and everything it looks at must be in the header.
constexpr size_t kHeaderMargin = 4096;

// Opens the file at `path` and reads its header, or all of it, leaving its access time as it
// was where the process may (it owns the file, or has the privilege). Returns false with an
// error text when it cannot be opened, is not a regular file, or cannot be read.
bool OpenPhoto(const std::string& path, PhotoSource& photo, std::string& error);

// A read lease on a photo open for reading: the kernel then tells whether any other program
// opens it for writing, or truncates it, before it is replaced (and makes such a writer wait
// until the lease is released). Programs that only read it, such as thumbnailers, leave the
// lease alone. A file open for writing in another program at the time, for example one still
// being copied, takes no lease.
enum class PhotoLease {
    Held,         // no other program has the photo open for writing
    InUse,        // another program has it open for writing: it must not be replaced now
    Unsupported,  // the file system keeps no leases; only IsUnchanged guards the photo
};
PhotoLease TakeReadLease(int fd);
// True while the lease taken on `fd` holds: no other program has opened the photo for writing
// since.
bool IsLeaseIntact(int fd);
// Releases the lease, letting a waiting opener go on.
void ReleaseLease(int fd);

// True when the file at `target` is still the one opened, unchanged: the same device,
// inode, size, modification time and status-change time.
bool IsUnchanged(const std::string& target, const struct stat& before);
// True when the file at `path` (not followed if it is a symbolic link) is the one opened, its
// content unchanged: the same device, inode, size and modification time. A rename changes a
// file's status-change time, so that is not compared.
bool IsSameContent(const std::string& path, const struct stat& before);
