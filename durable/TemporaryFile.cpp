// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/TemporaryFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <linux/fs.h>
#include <strings.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

namespace {

const char kTemporaryMark[] = ".fenrik-";
constexpr size_t kTemporaryMarkLength = sizeof kTemporaryMark - 1;
constexpr size_t kRandomLength = 6;
const char kRandomLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool IsRandomPart(const std::string& text, size_t from) {
    return text.size() == from + kRandomLength &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), [](char c) {
               return std::strchr(kRandomLetters, c) != nullptr && c != '\0';
           });
}

std::string RandomTemporaryName() {
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kRandomLetters - 2);
    std::string name = kTemporaryMark;
    for (size_t i = 0; i < kRandomLength; ++i) {
        name += kRandomLetters[pick(random)];
    }
    return name;
}

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

bool WriteAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Copies through user space, for file systems that cannot copy inside the kernel.
bool CopyThroughBuffer(int source, uint64_t offset, uint64_t length, int target) {
    std::vector<unsigned char> buffer(1 << 20);
    while (length > 0) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(length, buffer.size()));
        const ssize_t n = pread(source, buffer.data(), chunk, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENODATA;
            }
            return false;
        }
        if (!WriteAll(target, buffer.data(), static_cast<size_t>(n))) {
            return false;
        }
        offset += static_cast<uint64_t>(n);
        length -= static_cast<uint64_t>(n);
    }
    return true;
}

// Copies inside the kernel; falls back to a buffer where the file system cannot.
bool CopyRange(int source, uint64_t offset, uint64_t length, int target) {
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
            return CopyThroughBuffer(source, offset, length, target);
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENODATA;
            }
            return false;
        }
        copiedAny = true;
        length -= static_cast<uint64_t>(n);
    }
    return true;
}

// Shares `length` bytes of `source` at `offset` with `target` at `at`, both on a block
// boundary; the length is whole blocks unless it runs to the source's end. Moves the target's
// file position past them. False where the file system cannot share blocks.
bool CloneRange(int source, uint64_t offset, uint64_t length, int target, uint64_t at) {
    file_clone_range range{};
    range.src_fd = source;
    range.src_offset = offset;
    range.src_length = length;
    range.dest_offset = at;
    return ioctl(target, FICLONERANGE, &range) == 0 &&
           lseek(target, static_cast<off_t>(at + length), SEEK_SET) >= 0;
}

// Appends `length` bytes of `source` at `offset` to `target`, whose size is `at`. Where both lie
// at the same place within a block, the blocks after the first boundary are shared, not
// copied: all of them, or the whole ones with the last part copied.
bool CopyOrClone(int source, uint64_t offset, uint64_t length, int target, uint64_t at) {
    if (offset % kCloneBlock != at % kCloneBlock) {
        return CopyRange(source, offset, length, target);
    }
    const uint64_t lead = std::min(length, (kCloneBlock - offset % kCloneBlock) % kCloneBlock);
    if (!CopyRange(source, offset, lead, target)) {
        return false;
    }
    offset += lead;
    at += lead;
    length -= lead;
    if (length == 0 || CloneRange(source, offset, length, target, at)) {
        return true;
    }
    const uint64_t whole = length - length % kCloneBlock;
    if (whole > 0 && CloneRange(source, offset, whole, target, at)) {
        offset += whole;
        length -= whole;
    }
    return CopyRange(source, offset, length, target);
}

bool IsStale(int folderFd, const char* name, const timespec& olderThan) {
    struct stat info {};
    if (fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    return info.st_ctim.tv_sec < olderThan.tv_sec ||
           (info.st_ctim.tv_sec == olderThan.tv_sec && info.st_ctim.tv_nsec < olderThan.tv_nsec);
}

// The photo NAME of an older-form temporary name, "." NAME ".fenrik-XXXXXX".
std::string OlderFormPhotoName(const std::string& name) {
    return name.substr(1, name.size() - 1 - kTemporaryMarkLength - kRandomLength);
}

bool IsPhotoName(const std::string& name) {
    const auto endsWith = [&name](const char* suffix) {
        const size_t n = std::strlen(suffix);
        return name.size() > n && strcasecmp(name.c_str() + name.size() - n, suffix) == 0;
    };
    return endsWith(".jpg") || endsWith(".jpeg") || endsWith(".xmp");
}

// True for a current-form name, and for an older-form one whose photo is in the folder.
bool HasItsPhoto(int folderFd, const std::string& name) {
    if (name.size() == kTemporaryMarkLength + kRandomLength) {
        return true;
    }
    struct stat info {};
    return fstatat(folderFd, OlderFormPhotoName(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(info.st_mode);
}

bool StartsWith(const char* data, ssize_t size, const char* prefix) {
    const size_t length = std::strlen(prefix);
    return size >= static_cast<ssize_t>(length) && std::memcmp(data, prefix, length) == 0;
}

// A killed run leaves a new file that is empty, that begins with the JPEG start-of-image
// marker, or that begins as an XMP sidecar; anything else under such a name is not ours.
bool BeginsAsOursOrEmpty(int folderFd, const char* name) {
    const UniqueFd fd(openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    char start[16] = {};
    if (!fd.Valid()) {
        return false;
    }
    const ssize_t n = pread(fd.Get(), start, sizeof start, 0);
    return n == 0 || StartsWith(start, n, "\xFF\xD8\xFF") || StartsWith(start, n, "<?xpacket") ||
           StartsWith(start, n, "<x:xmpmeta");
}

}  // namespace

void WriteFaults::SetHook(Hook hook) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Hook = std::move(hook);
}

bool WriteFaults::Allows(const char* step) const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return !m_Hook || m_Hook(step);
}

bool DurableStepAllowed(const WriteFaults* faults, const char* step) {
    return faults == nullptr || faults->Allows(step);
}

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

bool TemporaryFile::Create(const std::string& folder, std::string& error,
                           const WriteFaults* faults) {
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
        error = SystemError("cannot create a temporary file in " + folder);
        return false;
    }
    m_Fd.Reset(fd);
    return true;
}

bool TemporaryFile::Append(const unsigned char* data, size_t size, std::string& error) {
    if (!DurableStepAllowed(m_Faults, "write") || !WriteAll(m_Fd.Get(), data, size)) {
        error = SystemError("cannot write the temporary file");
        return false;
    }
    m_Size += size;
    return true;
}

bool TemporaryFile::AppendFrom(int source, uint64_t offset, uint64_t length, std::string& error) {
    if (!DurableStepAllowed(m_Faults, "copy") ||
        !CopyOrClone(source, offset, length, m_Fd.Get(), m_Size)) {
        error = SystemError("cannot copy the image data into the temporary file");
        return false;
    }
    m_Size += length;
    return true;
}

void TemporaryFile::StartWriteback() const {
    sync_file_range(m_Fd.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool TemporaryFile::Sync(std::string& error) const {
    if (!MaySync(error)) {
        return false;
    }
    if (fsync(m_Fd.Get()) != 0) {
        error = SystemError("cannot flush the temporary file");
        return false;
    }
    return true;
}

bool TemporaryFile::MaySync(std::string& error) const {
    if (!DurableStepAllowed(m_Faults, "sync")) {
        error = SystemError("cannot flush the temporary file");
        return false;
    }
    return true;
}

bool TemporaryFile::SyncFileSystem() const {
    return DurableStepAllowed(m_Faults, "syncfs") && syncfs(m_Fd.Get()) == 0;
}

bool TemporaryFile::EnsureNamed(std::string& error) {
    if (m_Path.empty() &&
        (!DurableStepAllowed(m_Faults, "link") || !LinkUnnamed(m_Fd.Get(), m_Folder, m_Path))) {
        error = SystemError("cannot name the temporary file");
        return false;
    }
    return true;
}

bool TemporaryFile::Replace(const std::string& target, const Recheck& recheck, std::string& error,
                            bool keepDisplaced) {
    if (!EnsureNamed(error)) {
        return false;
    }
    if (!DurableStepAllowed(m_Faults, "rename")) {
        error = SystemError("cannot replace " + target);
        return false;
    }
    // Swapped, the displaced file keeps a name until it is known that no other program opened
    // it meanwhile: its writes are never lost in a file that has already gone.
    if (renameat2(AT_FDCWD, m_Path.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        const std::string reason = !DurableStepAllowed(m_Faults, "recheck")
                                       ? "the replaced file changed"
                                   : recheck ? recheck(m_Path)
                                             : "";
        if (!reason.empty()) {
            SwapBack(target);
            error = reason;
            return false;
        }
        if (keepDisplaced) {
            m_HoldsDisplaced = true;  // m_Path now names the displaced file
            m_Fd.Reset();
            return true;
        }
        unlink(m_Path.c_str());  // the displaced file's temporary name
    } else {
        // No target to swap with, or a file system that cannot swap: checked, then renamed.
        if (errno != ENOENT && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            error = SystemError("cannot replace " + target);
            return false;
        }
        const std::string reason = recheck ? recheck(target) : "";
        if (!reason.empty()) {
            error = reason;
            return false;
        }
        if (rename(m_Path.c_str(), target.c_str()) != 0) {
            error = SystemError("cannot replace " + target);
            return false;
        }
    }
    m_Path.clear();
    m_Fd.Reset();
    return true;
}

bool TemporaryFile::PlaceNew(const std::string& target, std::string& error) {
    if (!EnsureNamed(error)) {
        return false;
    }
    // A link, unlike a rename, fails where the name is taken.
    if (!DurableStepAllowed(m_Faults, "rename") ||
        linkat(AT_FDCWD, m_Path.c_str(), AT_FDCWD, target.c_str(), 0) != 0) {
        error = errno == EEXIST ? "a file of that name appeared meanwhile; the next run will tag it"
                                : SystemError("cannot create " + target);
        return false;
    }
    unlink(m_Path.c_str());
    m_Path.clear();
    m_Fd.Reset();
    return true;
}

std::string TemporaryFile::Settle(const std::string& target, const Recheck& recheck) {
    if (!m_HoldsDisplaced) {
        return std::string();
    }
    const std::string reason = !DurableStepAllowed(m_Faults, "settle") ? "the replaced file changed"
                               : recheck                               ? recheck(m_Path)
                                                                       : "";
    if (!reason.empty()) {
        SwapBack(target);  // the new file has the temporary name again, and goes with it
    }
    Discard();
    return reason;
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

bool IsTemporaryName(const std::string& name) {
    if (name.empty() || name[0] != '.' || name.size() < kTemporaryMarkLength + kRandomLength) {
        return false;
    }
    const size_t mark = name.size() - kRandomLength - kTemporaryMarkLength;
    if (name.compare(mark, kTemporaryMarkLength, kTemporaryMark) != 0 ||
        !IsRandomPart(name, mark + kTemporaryMarkLength)) {
        return false;
    }
    return mark == 0 || IsPhotoName(OlderFormPhotoName(name));
}

int RemoveStaleTemporaries(const std::string& folder, const timespec& olderThan) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (IsTemporaryName(name) && HasItsPhoto(dirfd(dir), name) &&
            IsStale(dirfd(dir), entry->d_name, olderThan) &&
            BeginsAsOursOrEmpty(dirfd(dir), entry->d_name) &&
            unlinkat(dirfd(dir), entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    closedir(dir);
    return removed;
}

BlockSharing ProbeBlockSharing(const std::string& folder) {
    // Unnamed only: a named probe that a kill left behind would be no file of the user's, yet
    // not one that RemoveStaleTemporaries knows for ours.
    const UniqueFd probe(CreateUnnamed(folder, nullptr));
    const std::vector<unsigned char> block(kCloneBlock);
    if (!probe.Valid() || !WriteAll(probe.Get(), block.data(), block.size())) {
        return BlockSharing::Unknown;
    }
    if (CloneRange(probe.Get(), 0, kCloneBlock, probe.Get(), kCloneBlock)) {
        return BlockSharing::Shares;
    }
    return errno == EOPNOTSUPP || errno == ENOTTY || errno == ENOSYS ? BlockSharing::DoesNot
                                                                     : BlockSharing::Unknown;
}

bool SyncFolder(const std::string& folder) {
    const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Valid() && fsync(fd.Get()) == 0;
}
