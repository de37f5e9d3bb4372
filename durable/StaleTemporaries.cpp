// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/StaleTemporaries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "durable/TemporaryName.h"
#include "platform/UniqueFd.h"

namespace {

constexpr size_t kContentStart = 16;

bool IsOlder(const struct stat& info, const timespec& limit) {
    return info.st_ctim.tv_sec < limit.tv_sec ||
           (info.st_ctim.tv_sec == limit.tv_sec && info.st_ctim.tv_nsec < limit.tv_nsec);
}

// Removes `name` when it is stale: the lock taken here keeps a live run from taking it back
// until it is gone, and a live run's own lock makes this fail.
bool RemoveIfStale(int folderFd, const char* name, const timespec& olderThan,
                   const ContentCheck& isOurs) {
    const UniqueFd fd(openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info {};
    if (!fd.Valid() || fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        !IsOlder(info, olderThan) || flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    char start[kContentStart] = {};
    const ssize_t n = pread(fd.Get(), start, sizeof start, 0);
    if (n < 0 || (n > 0 && !isOurs(std::string_view(start, static_cast<size_t>(n))))) {
        return false;
    }
    return unlinkat(folderFd, name, 0) == 0;
}

}  // namespace

bool LockAsOurs(int fd, bool exclusive) {
    return flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
}

int RemoveStaleTemporaries(const std::string& folder, const timespec& olderThan,
                           const ContentCheck& isOurs) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        if (IsTemporaryName(entry->d_name) &&
            RemoveIfStale(dirfd(dir), entry->d_name, olderThan, isOurs)) {
            ++removed;
        }
    }
    closedir(dir);
    return removed;
}
