// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileHead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/UniqueFd.h"

std::string FileHead(const std::string& path, size_t bytes) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::string();
    }
    const UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    std::string head(bytes, '\0');
    const ssize_t n = fd.Valid() ? pread(fd.Get(), head.data(), head.size(), 0) : -1;
    head.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return head;
}
