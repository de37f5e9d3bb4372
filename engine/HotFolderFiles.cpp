// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/HotFolderFiles.h"

#include <dirent.h>
#include <string.h>
#include <sys/stat.h>

#include <strings.h>

#include <cerrno>

#include "platform/FileTime.h"
#include "platform/PathText.h"

namespace {

bool HasSuffix(const std::string& name, const char* suffix) {
    const size_t length = std::char_traits<char>::length(suffix);
    return name.size() > length && strcasecmp(name.c_str() + name.size() - length, suffix) == 0;
}

bool IsJpegName(const std::string& name) {
    return HasSuffix(name, ".jpg") || HasSuffix(name, ".jpeg");
}

}  // namespace

std::vector<ImageFile> ListHotFolderImages(const std::string& folder) {
    std::string problem;
    return ListHotFolderImages(folder, problem);
}

std::vector<ImageFile> ListHotFolderImages(const std::string& folder, std::string& problem) {
    std::vector<ImageFile> images;
    problem.clear();
    if (folder.empty()) {
        problem = "no folder set";
        return images;
    }
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        problem = strerror(errno);
        return images;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (!IsJpegName(name)) {
            continue;
        }
        const std::string path = JoinPath(folder, name);
        struct stat info {};
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        images.push_back({path, FileTimeCountFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec)});
    }
    closedir(dir);
    return images;
}
