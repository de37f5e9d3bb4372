// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/HotFolderFiles.h"

#include <dirent.h>
#include <string.h>
#include <sys/stat.h>

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <map>

#include "photo/PhotoFormat.h"
#include "photo/XmpSidecar.h"
#include "platform/FileTime.h"
#include "platform/PathText.h"

namespace {

std::string LowerStem(const std::string& name) {
    std::string stem = NameStem(name);
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return stem;
}

// RAW photos, and photos whose position goes into a sidecar where their file cannot take it.
bool MayUseSidecar(const ImageFile& image) {
    const PhotoFormat format = FormatOfName(image.path);
    return image.raw || format == PhotoFormat::Heif || format == PhotoFormat::Tiff;
}

// Gives each photo of `folder` that may use a sidecar its sidecar, chosen among the folder's
// names.
void AssignSidecars(const std::string& folder, std::vector<ImageFile>& images,
                    const std::vector<std::string>& names) {
    std::map<std::string, int> sidecarsPerStem;
    for (const ImageFile& image : images) {
        sidecarsPerStem[LowerStem(FileNameOf(image.path))] += MayUseSidecar(image) ? 1 : 0;
    }
    for (ImageFile& image : images) {
        if (MayUseSidecar(image)) {
            const std::string name = FileNameOf(image.path);
            const bool shared = sidecarsPerStem[LowerStem(name)] > 1;
            image.sidecar =
                JoinPath(folder, ChooseSidecarName(name, names, shared, image.sidecarExists));
        }
    }
}

}  // namespace

std::vector<ImageFile> ListHotFolderImages(const std::string& folder, bool withRaw,
                                           Status* listed) {
    std::vector<ImageFile> images;
    std::vector<std::string> names;
    Status unused;
    Status& status = listed != nullptr ? *listed : unused;
    status = Status::Ok();
    if (folder.empty()) {
        status = Status::Unreadable("no folder set");
        return images;
    }
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        status = Status::Unreadable(strerror(errno));
        return images;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        names.push_back(name);
        const bool raw = withRaw && IsRawName(name);
        if (FormatOfName(name) == PhotoFormat::Unknown && !raw) {
            continue;
        }
        const std::string path = JoinPath(folder, name);
        struct stat info {};
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        images.push_back({path, FileTimeCountFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec),
                          raw, std::string(), false});
    }
    closedir(dir);
    AssignSidecars(folder, images, names);
    return images;
}
