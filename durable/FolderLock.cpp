// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

Status FolderLock::Take(const std::string& folder) {
    m_Fd.Reset(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (m_Fd.Valid() && flock(m_Fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        m_Fd.Reset();
        return Status::Refused("another run is tagging it; the next run will tag it");
    }
    return Status::Ok();
}
