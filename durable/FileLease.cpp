// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/FileLease.h"

#include <fcntl.h>
#include <signal.h>

#include <cerrno>

namespace {

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

FileLease TakeReadLease(int fd) {
    // A broken lease signals the process; the urgent-data signal is ignored unless handled.
    if (fcntl(fd, F_SETSIG, SIGURG) != 0) {
        return FileLease::Unsupported;
    }
    if (fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        return FileLease::Held;
    }
    return errno == EAGAIN || errno == EBUSY ? FileLease::InUse : FileLease::Unsupported;
}

bool IsLeaseIntact(int fd) {
    return fcntl(fd, F_GETLEASE) == F_RDLCK;
}

void ReleaseLease(int fd) {
    fcntl(fd, F_SETLEASE, F_UNLCK);
}

bool IsUnchanged(const std::string& target, const struct stat& before) {
    struct stat now {};
    return stat(target.c_str(), &now) == 0 && now.st_dev == before.st_dev &&
           now.st_ino == before.st_ino && now.st_size == before.st_size &&
           SameTime(now.st_mtim, before.st_mtim) && SameTime(now.st_ctim, before.st_ctim);
}

bool IsSameContent(const std::string& path, const struct stat& before) {
    struct stat now {};
    return lstat(path.c_str(), &now) == 0 && now.st_dev == before.st_dev &&
           now.st_ino == before.st_ino && now.st_size == before.st_size &&
           SameTime(now.st_mtim, before.st_mtim);
}
