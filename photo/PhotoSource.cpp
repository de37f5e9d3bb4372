// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/PhotoSource.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "photo/jpeg/JpegLayout.h"

namespace {

// A small photo's header fits in the first step, so its image data is never read; larger
// headers (those with previews) take more steps.
constexpr size_t kFirstReadStep = 16 * 1024;
constexpr size_t kReadStep = 64 * 1024;

// Reads up to `size` bytes at `offset`; fewer only at the end of the file.
bool ReadAt(int fd, unsigned char* data, size_t size, uint64_t offset, size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t n = pread(fd, data + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

// Makes room for at least `wanted` bytes in `head`, keeping the `used` ones.
void Reserve(FileBytes& head, size_t& capacity, size_t used, size_t wanted) {
    if (wanted <= capacity) {
        return;
    }
    std::unique_ptr<unsigned char[]> larger(new unsigned char[wanted]);
    if (used > 0) {
        std::memcpy(larger.get(), head.data.get(), used);
    }
    head.data = std::move(larger);
    capacity = wanted;
}

// Reads the header, a step at a time until the start of scan shows, or, when the file ends
// first or its header cannot be told apart, the whole file (also what it grew by meanwhile).
Status ReadHead(PhotoSource& photo) {
    const size_t fileSize = static_cast<size_t>(photo.info.st_size);
    size_t capacity = 0;
    size_t used = 0;
    bool whole = false;
    for (;;) {
        const size_t step = whole       ? std::max(capacity, kReadStep)
                            : used == 0 ? kFirstReadStep
                                        : kReadStep;
        // One byte more than the file holds, so that its end shows without another step.
        Reserve(photo.head, capacity, used, std::min(capacity + step, fileSize + 1));
        if (capacity == used) {
            Reserve(photo.head, capacity, used, capacity + step);
        }
        size_t got = 0;
        if (!ReadAt(photo.fd.Get(), photo.head.data.get() + used, capacity - used, used, got)) {
            return Status::FromErrno(errno, "cannot read " + photo.target);
        }
        used += got;
        photo.head.size = used;
        const bool atEnd = used < capacity;
        if (!whole) {
            const HeaderLayout layout = ScanJpegHeader(photo.head.data.get(), used);
            const size_t end = std::min(layout.end + kHeaderMargin, fileSize);
            if (layout.scan == HeaderScan::Found && end <= used) {
                photo.head.size = end;
                photo.tailOffset = end;
                return Status::Ok();
            }
            whole = layout.scan == HeaderScan::Unsplittable;
        }
        if (atEnd) {
            photo.tailOffset = used;
            return Status::Ok();
        }
    }
}

}  // namespace

Status OpenPhoto(const std::string& path, PhotoSource& photo) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
        return Status::FromErrno(errno, "cannot resolve " + path);
    }
    photo.target = resolved;
    // Reading a photo to tag it is no access of its owner's: its access time stays as it was,
    // where this process may keep it so (it owns the photo).
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    photo.fd.Reset(open(resolved, flags | O_NOATIME));
    if (!photo.fd.Valid() && errno == EPERM) {
        photo.fd.Reset(open(resolved, flags));
    }
    if (!photo.fd.Valid() || fstat(photo.fd.Get(), &photo.info) != 0) {
        return Status::FromErrno(errno, "cannot open " + path);
    }
    if (!S_ISREG(photo.info.st_mode)) {
        return Status::Unreadable("not a regular file");
    }
    return ReadHead(photo);
}
