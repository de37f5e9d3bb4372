// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/TemporaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "durable/FileIo.h"
#include "durable/StaleTemporaries.h"
#include "durable/TemporaryName.h"

namespace {

const char kNotFlushed[] = "cannot flush the temporary file";

// An unnamed file in `folder`, or -1 where the file system cannot make one.
int CreateUnnamed(const std::string& folder, const WriteFaults* faults) {
    if (!DurableStepAllowed(faults, "unnamed")) {
        return -1;
    }
    return open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

// A new hidden file with a temporary name in `folder`; `path` receives its path.
int CreateNamed(const std::string& folder, std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + "/" + RandomTemporaryName();
        const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Gives the unnamed file `fd` a temporary name in `folder`.
bool LinkUnnamed(int fd, const std::string& folder, std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + "/" + RandomTemporaryName();
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno == ENOENT) {  // no /proc: naming by descriptor needs the privilege instead
            if (linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) {
                return true;
            }
        }
        if (errno != EEXIST) {
            break;
        }
    }
    path.clear();
    return false;
}

bool IsNoSwap(int error) {
    return error == ENOENT || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

}  // namespace

TemporaryFile::~TemporaryFile() {
    Discard();
}

TemporaryFile& TemporaryFile::operator=(TemporaryFile&& other) noexcept {
    if (this != &other) {
        Discard();
        m_Fd = std::move(other.m_Fd);
        m_Folder = std::move(other.m_Folder);
        m_Path = std::move(other.m_Path);
        m_HoldsDisplaced = other.m_HoldsDisplaced;
        m_Size = other.m_Size;
        m_Faults = other.m_Faults;
        other.m_Path.clear();  // the moved-from object must not remove the file on its way out
    }
    return *this;
}

void TemporaryFile::Discard() {
    if (!m_Path.empty()) {
        unlink(m_Path.c_str());
        m_Path.clear();
    }
    m_HoldsDisplaced = false;
    m_Fd.Reset();
}

Status TemporaryFile::Create(const std::string& folder, const WriteFaults* faults) {
    Discard();
    m_Folder = folder;
    m_Size = 0;
    m_Faults = faults;
    int fd = CreateUnnamed(folder, faults);
    if (fd < 0 && DurableStepAllowed(m_Faults, "create")) {
        fd = CreateNamed(folder, m_Path);
        if (fd < 0) {
            m_Path.clear();
        }
    }
    if (fd < 0) {
        return Status::FromErrno(errno, "cannot create a temporary file in " + folder);
    }
    m_Fd.Reset(fd);
    LockAsOurs(fd);  // a new file no other program has yet: it cannot be locked already
    return Status::Ok();
}

Status TemporaryFile::Append(const unsigned char* data, size_t size) {
    const char what[] = "cannot write the temporary file";
    if (!DurableStepAllowed(m_Faults, "write")) {
        return Status::FromErrno(errno, what);
    }
    Status written = WriteAll(m_Fd.Get(), data, size, what);
    m_Size += written.ok() ? size : 0;
    return written;
}

Status TemporaryFile::AppendFrom(int source, uint64_t offset, uint64_t length) {
    const char what[] = "cannot copy the image data into the temporary file";
    if (!DurableStepAllowed(m_Faults, "copy")) {
        return Status::FromErrno(errno, what);
    }
    Status copied = CopyOrClone(source, offset, length, m_Fd.Get(), m_Size, what);
    m_Size += copied.ok() ? length : 0;
    return copied;
}

void TemporaryFile::StartWriteback() const {
    sync_file_range(m_Fd.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

Status TemporaryFile::Sync() const {
    Status may = MaySync();
    if (may.ok() && fsync(m_Fd.Get()) != 0) {
        return Status::FromErrno(errno, kNotFlushed);
    }
    return may;
}

Status TemporaryFile::MaySync() const {
    if (!DurableStepAllowed(m_Faults, "sync")) {
        return Status::FromErrno(errno, kNotFlushed);
    }
    return Status::Ok();
}

bool TemporaryFile::SyncFileSystem() const {
    return DurableStepAllowed(m_Faults, "syncfs") && syncfs(m_Fd.Get()) == 0;
}

Status TemporaryFile::EnsureNamed() {
    if (m_Path.empty() &&
        (!DurableStepAllowed(m_Faults, "link") || !LinkUnnamed(m_Fd.Get(), m_Folder, m_Path))) {
        return Status::FromErrno(errno, "cannot name the temporary file");
    }
    return Status::Ok();
}

Status TemporaryFile::Replace(const std::string& target, const Recheck& recheck,
                              bool keepDisplaced) {
    Status named = EnsureNamed();
    if (!named.ok()) {
        return named;
    }
    if (!DurableStepAllowed(m_Faults, "rename")) {
        return Status::FromErrno(errno, "cannot replace " + target);
    }
    // Swapped, the displaced file keeps a name until it is known that no other program opened
    // it meanwhile: its writes are never lost in a file that has already gone.
    if (renameat2(AT_FDCWD, m_Path.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        Status kept = !DurableStepAllowed(m_Faults, "recheck")
                          ? Status::Refused("the replaced file changed")
                      : recheck ? recheck(m_Path)
                                : Status::Ok();
        if (!kept.ok()) {
            SwapBack(target);
            return kept;
        }
        if (keepDisplaced) {
            m_HoldsDisplaced = true;  // m_Path now names the displaced file
            m_Fd.Reset();
            return Status::Ok();
        }
        unlink(m_Path.c_str());  // the displaced file's temporary name
    } else {
        // No target to swap with, or a file system that cannot swap: checked, then renamed.
        if (!IsNoSwap(errno)) {
            return Status::FromErrno(errno, "cannot replace " + target);
        }
        Status kept = recheck ? recheck(target) : Status::Ok();
        if (!kept.ok()) {
            return kept;
        }
        if (rename(m_Path.c_str(), target.c_str()) != 0) {
            return Status::FromErrno(errno, "cannot replace " + target);
        }
    }
    m_Path.clear();
    m_Fd.Reset();
    return Status::Ok();
}

Status TemporaryFile::PlaceNew(const std::string& target) {
    Status named = EnsureNamed();
    if (!named.ok()) {
        return named;
    }
    // A link, unlike a rename, fails where the name is taken.
    if (!DurableStepAllowed(m_Faults, "rename") ||
        linkat(AT_FDCWD, m_Path.c_str(), AT_FDCWD, target.c_str(), 0) != 0) {
        return errno == EEXIST ? Status::Refused(
                                     "a file of that name appeared meanwhile; the next run will "
                                     "tag it")
                               : Status::FromErrno(errno, "cannot create " + target);
    }
    unlink(m_Path.c_str());
    m_Path.clear();
    m_Fd.Reset();
    return Status::Ok();
}

Status TemporaryFile::Settle(const std::string& target, const Recheck& recheck) {
    if (!m_HoldsDisplaced) {
        return Status::Ok();
    }
    Status kept = !DurableStepAllowed(m_Faults, "settle")
                      ? Status::Refused("the replaced file changed")
                  : recheck ? recheck(m_Path)
                            : Status::Ok();
    if (!kept.ok()) {
        SwapBack(target);  // the new file has the temporary name again, and goes with it
    }
    Discard();
    return kept;
}

void TemporaryFile::SwapBack(const std::string& target) {
    if (renameat2(AT_FDCWD, m_Path.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        return;  // the new file has its temporary name again, and goes with it
    }
    // Cannot happen on a file system that just swapped them; should it, the displaced file
    // takes its name back over the new one.
    if (rename(m_Path.c_str(), target.c_str()) == 0) {
        m_Path.clear();
    }
}
