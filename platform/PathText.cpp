// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathText.h"

std::string JoinPath(const std::string& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    path += kPathSeparator;
    path += name;
    return path;
}

std::string FolderOf(const std::string& path) {
    const auto separator = path.find_last_of(kPathSeparator);
    return separator == std::string::npos ? "."
           : separator == 0               ? std::string(1, kPathSeparator)
                                          : path.substr(0, separator);
}

std::string FileNameOf(const std::string& path) {
    return path.substr(path.find_last_of(kPathSeparator) + 1);
}
