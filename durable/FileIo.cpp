// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/FileIo.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/UniqueFd.h"

namespace {

// Copies through user space, for file systems that cannot copy inside the kernel.
Status CopyThroughBuffer(int source, uint64_t offset, uint64_t length, int target,
                         const std::string& what) {
    std::vector<unsigned char> buffer(1 << 20);
    while (length > 0) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(length, buffer.size()));
        const ssize_t n = pread(source, buffer.data(), chunk, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Status::FromErrno(n == 0 ? ENODATA : errno, what);
        }
        Status written = WriteAll(target, buffer.data(), static_cast<size_t>(n), what);
        if (!written.ok()) {
            return written;
        }
        offset += static_cast<uint64_t>(n);
        length -= static_cast<uint64_t>(n);
    }
    return Status::Ok();
}

// Copies inside the kernel; falls back to a buffer where the file system cannot.
Status CopyRange(int source, uint64_t offset, uint64_t length, int target,
                 const std::string& what) {
    loff_t from = static_cast<loff_t>(offset);
    bool copiedAny = false;
    while (length > 0) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(length, 1u << 30));
        const ssize_t n = copy_file_range(source, &from, target, nullptr, chunk, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && !copiedAny &&
            (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
            return CopyThroughBuffer(source, offset, length, target, what);
        }
        if (n <= 0) {
            return Status::FromErrno(n == 0 ? ENODATA : errno, what);
        }
        copiedAny = true;
        length -= static_cast<uint64_t>(n);
    }
    return Status::Ok();
}

}  // namespace

Status WriteAll(int fd, const unsigned char* data, size_t size, const std::string& what) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Status::FromErrno(n == 0 ? ENOSPC : errno, what);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return Status::Ok();
}

bool CloneRange(int source, uint64_t offset, uint64_t length, int target, uint64_t at) {
    file_clone_range range{};
    range.src_fd = source;
    range.src_offset = offset;
    range.src_length = length;
    range.dest_offset = at;
    return ioctl(target, FICLONERANGE, &range) == 0 &&
           lseek(target, static_cast<off_t>(at + length), SEEK_SET) >= 0;
}

Status CopyOrClone(int source, uint64_t offset, uint64_t length, int target, uint64_t at,
                   const std::string& what) {
    if (offset % kCloneBlock != at % kCloneBlock) {
        return CopyRange(source, offset, length, target, what);
    }
    const uint64_t lead = std::min(length, (kCloneBlock - offset % kCloneBlock) % kCloneBlock);
    Status copied = CopyRange(source, offset, lead, target, what);
    if (!copied.ok()) {
        return copied;
    }
    offset += lead;
    at += lead;
    length -= lead;
    if (length == 0 || CloneRange(source, offset, length, target, at)) {
        return Status::Ok();
    }
    const uint64_t whole = length - length % kCloneBlock;
    if (whole > 0 && CloneRange(source, offset, whole, target, at)) {
        offset += whole;
        length -= whole;
    }
    return CopyRange(source, offset, length, target, what);
}

mode_t FileCreationMask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
        }
    }
    return 022;
}

bool SyncFolder(const std::string& folder) {
    const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Valid() && fsync(fd.Get()) == 0;
}
