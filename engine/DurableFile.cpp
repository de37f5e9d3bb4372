#include "engine/DurableFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

namespace {

std::mutex g_HookMutex;
DurableWriteFaultHook g_Hook;

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
int CreateUnnamed(const std::string& folder) {
    if (!DurableStepAllowed("unnamed")) {
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

bool IsStale(int folderFd, const char* name, const timespec& olderThan) {
    struct stat info {};
    if (fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    return info.st_ctim.tv_sec < olderThan.tv_sec ||
           (info.st_ctim.tv_sec == olderThan.tv_sec && info.st_ctim.tv_nsec < olderThan.tv_nsec);
}

}  // namespace

void SetDurableWriteFaultHook(DurableWriteFaultHook hook) {
    std::lock_guard<std::mutex> lock(g_HookMutex);
    g_Hook = std::move(hook);
}

bool DurableStepAllowed(const char* step) {
    std::lock_guard<std::mutex> lock(g_HookMutex);
    return !g_Hook || g_Hook(step);
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
        m_Size = other.m_Size;
        other.m_Path.clear();  // the moved-from object must not remove the file on its way out
    }
    return *this;
}

void TemporaryFile::Discard() {
    if (!m_Path.empty()) {
        unlink(m_Path.c_str());
        m_Path.clear();
    }
    m_Fd.Reset();
}

bool TemporaryFile::Create(const std::string& folder, std::string& error) {
    Discard();
    m_Folder = folder;
    m_Size = 0;
    int fd = CreateUnnamed(folder);
    if (fd < 0 && DurableStepAllowed("create")) {
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
    if (!DurableStepAllowed("write") || !WriteAll(m_Fd.Get(), data, size)) {
        error = SystemError("cannot write the temporary file");
        return false;
    }
    m_Size += size;
    return true;
}

bool TemporaryFile::AppendFrom(int source, uint64_t offset, uint64_t length, std::string& error) {
    if (!DurableStepAllowed("copy") || !CopyRange(source, offset, length, m_Fd.Get())) {
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
    if (!DurableStepAllowed("sync") || fsync(m_Fd.Get()) != 0) {
        error = SystemError("cannot flush the temporary file");
        return false;
    }
    return true;
}

bool TemporaryFile::Replace(const std::string& target, std::string& error) {
    if (m_Path.empty() &&
        (!DurableStepAllowed("link") || !LinkUnnamed(m_Fd.Get(), m_Folder, m_Path))) {
        error = SystemError("cannot name the temporary file");
        return false;
    }
    if (!DurableStepAllowed("rename") || rename(m_Path.c_str(), target.c_str()) != 0) {
        error = SystemError("cannot replace " + target);
        return false;
    }
    m_Path.clear();
    m_Fd.Reset();
    return true;
}

bool IsTemporaryName(const std::string& name) {
    if (name.empty() || name[0] != '.' || name.size() < kTemporaryMarkLength + kRandomLength) {
        return false;
    }
    const size_t mark = name.size() - kRandomLength - kTemporaryMarkLength;
    return name.compare(mark, kTemporaryMarkLength, kTemporaryMark) == 0 &&
           IsRandomPart(name, mark + kTemporaryMarkLength) &&
           (mark == 0 || mark >= 2);  // ".fenrik-XXXXXX" or "." NAME ".fenrik-XXXXXX"
}

int RemoveStaleTemporaries(const std::string& folder, const timespec& olderThan) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        if (IsTemporaryName(entry->d_name) && IsStale(dirfd(dir), entry->d_name, olderThan) &&
            unlinkat(dirfd(dir), entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    closedir(dir);
    return removed;
}

bool SyncFolder(const std::string& folder) {
    const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Valid() && fsync(fd.Get()) == 0;
}
