// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/FileIdentity.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "durable/WriteFaults.h"

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

Status CopyOwner(const struct stat& info, int to, const WriteFaults* faults) {
    struct stat current {};
    if (fstat(to, &current) != 0) {
        return Status::FromErrno(errno, "cannot examine the temporary file");
    }
    if (current.st_uid == info.st_uid && current.st_gid == info.st_gid) {
        return Status::Ok();
    }
    if (!DurableStepAllowed(faults, "owner") || fchown(to, info.st_uid, info.st_gid) != 0) {
        return Status::FromErrno(errno, "cannot keep its owner " + std::to_string(info.st_uid) +
                                            " and group " + std::to_string(info.st_gid));
    }
    return Status::Ok();
}

Status CopyAttributes(int from, int to, const WriteFaults* faults) {
    std::vector<std::string> wanted;
    std::vector<std::string> present;
    if (!ListAttributes(from, wanted) || !ListAttributes(to, present)) {
        return Status::FromErrno(errno, "cannot list its extended attributes");
    }
    for (const std::string& name : present) {  // e.g. an ACL inherited from the folder
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            fremovexattr(to, name.c_str()) != 0) {
            return Status::FromErrno(errno, "cannot drop the extended attribute " + name);
        }
    }
    std::vector<char> value;
    for (const std::string& name : wanted) {
        if (!ReadAttribute(from, name, value)) {
            return Status::FromErrno(errno, "cannot read its extended attribute " + name);
        }
        if (!DurableStepAllowed(faults, "xattr") ||
            fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
            return Status::FromErrno(errno, "cannot keep its extended attribute " + name);
        }
    }
    return Status::Ok();
}

Status CopyMode(const struct stat& info, int to, const WriteFaults* faults) {
    struct stat result {};
    if (!DurableStepAllowed(faults, "chmod") || fchmod(to, info.st_mode & kPermissionBits) != 0 ||
        fstat(to, &result) != 0) {
        return Status::FromErrno(errno, "cannot keep its permissions");
    }
    if ((result.st_mode & kPermissionBits) != (info.st_mode & kPermissionBits) ||
        result.st_uid != info.st_uid || result.st_gid != info.st_gid) {
        return Status::Failed("cannot keep its owner, group and permissions together");
    }
    return Status::Ok();
}

}  // namespace

Status CopyFileFlags(int from, int to, const WriteFaults* faults) {
    int wanted = 0;
    if (ioctl(from, FS_IOC_GETFLAGS, &wanted) != 0) {
        return NoFileFlags(errno) ? Status::Ok()
                                  : Status::FromErrno(errno, "cannot read its file flags");
    }
    int present = 0;
    if (ioctl(to, FS_IOC_GETFLAGS, &present) != 0) {
        present = 0;
    }
    const int flags = (present & ~static_cast<int>(kCopiedFlags)) | (wanted & kCopiedFlags);
    if (flags == present) {
        return Status::Ok();
    }
    if (!DurableStepAllowed(faults, "flags") || ioctl(to, FS_IOC_SETFLAGS, &flags) != 0) {
        return Status::FromErrno(errno, "cannot keep its file flags");
    }
    return Status::Ok();
}

Status ReplacementBlocker(const std::string& target, const struct stat& info) {
    if ((info.st_mode & 0222) == 0 || faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return Status::Refused("read-only");
    }
    if (info.st_nlink > 1) {
        return Status::Refused("it has " + std::to_string(info.st_nlink) +
                               " hard links, and tagging would split them");
    }
    if (geteuid() != 0 && info.st_uid != geteuid()) {
        return Status::Refused("it belongs to user " + std::to_string(info.st_uid) +
                               ", and only that user can tag it without changing its owner");
    }
    return Status::Ok();
}

Status CopyIdentity(int from, const struct stat& info, int to, const WriteFaults* faults) {
    // The owner first: changing it clears set-id bits and file capabilities, which follow.
    Status status = CopyOwner(info, to, faults);
    if (status.ok()) {
        status = CopyAttributes(from, to, faults);
    }
    return status.ok() ? CopyMode(info, to, faults) : status;
}
