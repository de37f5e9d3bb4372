// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/FileIdentity.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "durable/TemporaryFile.h"

namespace {

constexpr mode_t kPermissionBits = 07777;
// Flags that a user sets on a file and that a new file does not take by itself. Immutable and
// append-only files are read-only and never get this far.
constexpr unsigned kCopiedFlags =
    FS_NODUMP_FL | FS_NOATIME_FL | FS_SYNC_FL | FS_NOCOW_FL | FS_COMPR_FL | FS_NOCOMP_FL;

bool NoFileFlags(int error) {
    return error == ENOTTY || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL;
}

// The names of a file's extended attributes; empty when the file system keeps none.
bool ListAttributes(int fd, std::vector<std::string>& names) {
    names.clear();
    std::vector<char> buffer;
    for (;;) {
        const ssize_t size = flistxattr(fd, nullptr, 0);
        if (size < 0) {
            return errno == ENOTSUP;
        }
        buffer.resize(static_cast<size_t>(size));
        const ssize_t got = flistxattr(fd, buffer.data(), buffer.size());
        if (got >= 0) {
            buffer.resize(static_cast<size_t>(got));
            break;
        }
        if (errno != ERANGE) {  // the list grew in between: ask again
            return false;
        }
    }
    for (size_t pos = 0; pos < buffer.size();) {
        const std::string name(buffer.data() + pos);
        pos += name.size() + 1;
        if (!name.empty()) {
            names.push_back(name);
        }
    }
    return true;
}

bool ReadAttribute(int fd, const std::string& name, std::vector<char>& value) {
    for (;;) {
        const ssize_t size = fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) {
            return false;
        }
        value.resize(static_cast<size_t>(size));
        const ssize_t got = fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE) {
            return false;
        }
    }
}

bool CopyOwner(const struct stat& info, int to, std::string& error, const WriteFaults* faults) {
    struct stat current {};
    if (fstat(to, &current) != 0) {
        error = std::string("cannot examine the temporary file: ") + std::strerror(errno);
        return false;
    }
    if (current.st_uid == info.st_uid && current.st_gid == info.st_gid) {
        return true;
    }
    if (!DurableStepAllowed(faults, "owner") || fchown(to, info.st_uid, info.st_gid) != 0) {
        error = "cannot keep its owner " + std::to_string(info.st_uid) + " and group " +
                std::to_string(info.st_gid) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool CopyAttributes(int from, int to, std::string& error, const WriteFaults* faults) {
    std::vector<std::string> wanted;
    std::vector<std::string> present;
    if (!ListAttributes(from, wanted) || !ListAttributes(to, present)) {
        error = std::string("cannot list its extended attributes: ") + std::strerror(errno);
        return false;
    }
    for (const std::string& name : present) {  // e.g. an ACL inherited from the folder
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            fremovexattr(to, name.c_str()) != 0) {
            error = "cannot drop the extended attribute " + name + ": " + std::strerror(errno);
            return false;
        }
    }
    std::vector<char> value;
    for (const std::string& name : wanted) {
        if (!ReadAttribute(from, name, value)) {
            error = "cannot read its extended attribute " + name + ": " + std::strerror(errno);
            return false;
        }
        if (!DurableStepAllowed(faults, "xattr") ||
            fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
            error = "cannot keep its extended attribute " + name + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool CopyMode(const struct stat& info, int to, std::string& error, const WriteFaults* faults) {
    struct stat result {};
    if (!DurableStepAllowed(faults, "chmod") || fchmod(to, info.st_mode & kPermissionBits) != 0 ||
        fstat(to, &result) != 0) {
        error = std::string("cannot keep its permissions: ") + std::strerror(errno);
        return false;
    }
    if ((result.st_mode & kPermissionBits) != (info.st_mode & kPermissionBits) ||
        result.st_uid != info.st_uid || result.st_gid != info.st_gid) {
        error = "cannot keep its owner, group and permissions together";
        return false;
    }
    return true;
}

}  // namespace

bool CopyFileFlags(int from, int to, std::string& error, const WriteFaults* faults) {
    int wanted = 0;
    if (ioctl(from, FS_IOC_GETFLAGS, &wanted) != 0) {
        if (NoFileFlags(errno)) {
            return true;
        }
        error = std::string("cannot read its file flags: ") + std::strerror(errno);
        return false;
    }
    int present = 0;
    if (ioctl(to, FS_IOC_GETFLAGS, &present) != 0) {
        present = 0;
    }
    const int flags = (present & ~static_cast<int>(kCopiedFlags)) | (wanted & kCopiedFlags);
    if (flags == present) {
        return true;
    }
    if (!DurableStepAllowed(faults, "flags") || ioctl(to, FS_IOC_SETFLAGS, &flags) != 0) {
        error = std::string("cannot keep its file flags: ") + std::strerror(errno);
        return false;
    }
    return true;
}

std::string ReplacementBlocker(const std::string& target, const struct stat& info) {
    if ((info.st_mode & 0222) == 0 || faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return "read-only";
    }
    if (info.st_nlink > 1) {
        return "it has " + std::to_string(info.st_nlink) +
               " hard links, and tagging would split them";
    }
    if (geteuid() != 0 && info.st_uid != geteuid()) {
        return "it belongs to user " + std::to_string(info.st_uid) +
               ", and only that user can tag it without changing its owner";
    }
    return std::string();
}

bool CopyIdentity(int from, const struct stat& info, int to, std::string& error,
                  const WriteFaults* faults) {
    // The owner first: changing it clears set-id bits and file capabilities, which follow.
    return CopyOwner(info, to, error, faults) && CopyAttributes(from, to, error, faults) &&
           CopyMode(info, to, error, faults);
}
