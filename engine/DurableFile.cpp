#include "engine/DurableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

std::mutex g_HookMutex;
DurableWriteFaultHook g_Hook;

// False when the test hook fails this step.
bool StepAllowed(const char* step) {
    std::lock_guard<std::mutex> lock(g_HookMutex);
    return !g_Hook || g_Hook(step);
}

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path of the file itself: symbolic links resolved, so that the link stays a link.
bool ResolveTarget(const std::string& path, std::string& target, std::string& error) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
        error = SystemError("cannot resolve " + path);
        return false;
    }
    target = resolved;
    return true;
}

bool WriteAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Writes, flushes and sets the mode of the open temporary file.
bool FillTemporary(int fd, const unsigned char* data, size_t size, mode_t mode,
                   std::string& error) {
    if (!StepAllowed("write") || !WriteAll(fd, data, size)) {
        error = SystemError("cannot write the temporary file");
        return false;
    }
    if (!StepAllowed("sync") || fsync(fd) != 0) {
        error = SystemError("cannot flush the temporary file");
        return false;
    }
    if (!StepAllowed("chmod") || fchmod(fd, mode) != 0) {
        error = SystemError("cannot set the temporary file's permissions");
        return false;
    }
    return true;
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

void SetDurableWriteFaultHook(DurableWriteFaultHook hook) {
    std::lock_guard<std::mutex> lock(g_HookMutex);
    g_Hook = std::move(hook);
}

bool ReadWholeFile(const std::string& path, FileBytes& content, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = SystemError("cannot open " + path);
        return false;
    }
    struct stat info {};
    // One byte more than the file holds, so that the end shows without growing the buffer.
    size_t capacity = (fstat(fd, &info) == 0 && info.st_size > 0 ? info.st_size : 0) + size_t{1};
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[capacity]);
    size_t used = 0;
    for (;;) {
        if (used == capacity) {  // the file grew while being read
            std::unique_ptr<unsigned char[]> larger(new unsigned char[capacity * 2]);
            std::memcpy(larger.get(), buffer.get(), used);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const ssize_t n = read(fd, buffer.get() + used, capacity - used);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = SystemError("cannot read " + path);
            close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<size_t>(n);
    }
    close(fd);
    content.data = std::move(buffer);
    content.size = used;
    return true;
}

bool ReplaceFileDurably(const std::string& path, const unsigned char* data, size_t size,
                        std::string& error) {
    std::string target;
    if (!ResolveTarget(path, target, error)) {
        return false;
    }
    struct stat original {};
    if (stat(target.c_str(), &original) != 0) {
        error = SystemError("cannot examine " + target);
        return false;
    }
    const std::string folder = FolderOf(target);
    std::string temporary = folder + "/." + NameOf(target) + ".fenrik-XXXXXX";
    const int fd = StepAllowed("create") ? mkostemp(temporary.data(), O_CLOEXEC) : -1;
    if (fd < 0) {
        error = SystemError("cannot create a temporary file in " + folder);
        return false;
    }
    const bool filled = FillTemporary(fd, data, size, original.st_mode & 07777, error);
    const bool closed = close(fd) == 0;
    if (filled && !closed) {
        error = SystemError("cannot close the temporary file");
    }
    if (!filled || !closed || !StepAllowed("rename") ||
        rename(temporary.c_str(), target.c_str()) != 0) {
        if (filled && closed) {
            error = SystemError("cannot replace " + target);
        }
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}
