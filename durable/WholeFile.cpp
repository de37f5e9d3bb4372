// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/WholeFile.h"

#include <sys/stat.h>

#include <cerrno>

#include "durable/FileIo.h"
#include "durable/TemporaryFile.h"
#include "platform/PathText.h"

namespace {

// Only a file is replaced: a folder, a link or anything else of that name is swapped back.
Status OnlyAFile(const std::string& path, const std::string& displaced) {
    struct stat info {};
    if (lstat(displaced.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return Status::Refused(path + " is not a file");
    }
    return Status::Ok();
}

}  // namespace

Status WriteWholeFile(const std::string& path, const std::string& content) {
    TemporaryFile file;
    Status written = file.Create(FolderOf(path));
    if (written.ok()) {
        written =
            file.Append(reinterpret_cast<const unsigned char*>(content.data()), content.size());
    }
    if (written.ok()) {
        if (fchmod(file.Fd(), 0666 & ~FileCreationMask()) != 0) {
            written = Status::FromErrno(errno, "cannot set the permissions of " + path);
        }
    }
    if (written.ok()) {
        written = file.Sync();
    }
    if (written.ok()) {
        written = file.Replace(
            path, [&path](const std::string& displaced) { return OnlyAFile(path, displaced); });
    }
    if (written.ok() && !SyncFolder(FolderOf(path))) {
        written = Status::FromErrno(errno, "cannot flush the folder of " + path);
    }
    return written;
}
