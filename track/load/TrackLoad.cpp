// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/load/TrackLoad.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/FileHead.h"
#include "platform/Log.h"
#include "platform/PathText.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const TrackSource* SourceTakingName(const std::string& name) {
    for (const auto& source : TrackSources()) {
        if (source->TakesName(name)) {
            return source.get();
        }
    }
    return nullptr;
}

void AddToKind(const std::string& format, size_t files, TrackLoadReport& report) {
    auto kind = std::find_if(report.kinds.begin(), report.kinds.end(),
                             [&](const TrackKindCount& count) { return count.format == format; });
    if (kind == report.kinds.end()) {
        kind = report.kinds.insert(kind, TrackKindCount{format, 0});
    }
    kind->files += files;
}

// The names directly in `folder` that `wanted` takes with what stat says of them (links
// followed), sorted byte-wise; none when the folder cannot be read.
template <typename Wanted>
std::vector<std::string> NamesIn(const std::string& folder, Wanted wanted) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info {};
        if (stat(JoinPath(folder, name).c_str(), &info) == 0 && wanted(name, info)) {
            names.push_back(name);
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The folders directly in `folder`, hidden ones left out.
std::vector<std::string> FolderNamesIn(const std::string& folder) {
    return NamesIn(folder, [](const std::string& name, const struct stat& info) {
        return name[0] != '.' && S_ISDIR(info.st_mode);
    });
}

void Count(const std::string& name, const TrackFileReport& file, const TrackSource& source,
           TrackLoadReport& report) {
    if (file.status.code() == StatusCode::Stopped) {
        report.status = file.status;
        return;
    }
    report.points += file.points;
    ++report.files;
    AddToKind(file.format.empty() ? source.Format() : file.format, 1, report);
    if (!file.status.ok()) {
        ++report.failedFiles;
        if (report.status.ok()) {
            report.status = Status(file.status.code(), name + ": " + file.status.message());
        }
    }
}

TrackLoadReport LoadTrackFolder(const std::string& folder, TrackLog& log,
                                const TrackReadOptions& options) {
    TrackLoadReport report;
    const std::vector<std::string> names = TrackFileNamesIn(folder);
    // Consecutive files of one format are handed to their source together.
    for (size_t first = 0; first < names.size() && report.status.code() != StatusCode::Stopped;) {
        const TrackSource* source = SourceTakingName(names[first]);
        std::vector<std::string> paths;
        size_t end = first;
        for (; end < names.size() && SourceTakingName(names[end]) == source; ++end) {
            paths.push_back(JoinPath(folder, names[end]));
        }
        const std::vector<TrackFileReport> files = source->ReadFiles(paths, log, options);
        for (size_t i = 0; i < files.size(); ++i) {
            Count(names[first + i], files[i], *source, report);
        }
        first = end;
    }
    // Photos that carry positions: the folder's own, then each folder directly in it.
    std::vector<std::string> folders = {folder};
    for (const std::string& name : FolderNamesIn(folder)) {
        folders.push_back(JoinPath(folder, name));
    }
    for (const auto& source : TrackSources()) {
        for (size_t i = 0; source->ReadsFolders() && i < folders.size(); ++i) {
            if (report.status.code() == StatusCode::Stopped) {
                return report;
            }
            const TrackFileReport photos = source->ReadFolder(folders[i], log, options);
            if (photos.status.code() == StatusCode::Stopped) {
                report.status = photos.status;
            } else if (photos.points > 0) {
                report.points += photos.points;
                AddToKind(photos.format, photos.points, report);
            }
        }
    }
    if (names.empty() && report.points == 0 && report.status.ok()) {
        report.status = Status::Unreadable("no GPX files in the folder");
        Log::Instance().WriteAndTrace(Error, "GPX file " + folder + ": " + report.status.message());
    }
    return report;
}

}  // namespace

const TrackSource& TrackSourceFor(const std::string& path) {
    if (const TrackSource* source = SourceTakingName(FileNameOf(path))) {
        return *source;
    }
    const std::string head = FileHead(path);
    for (const auto& source : TrackSources()) {
        if (!head.empty() && source->TakesContent(head)) {
            return *source;
        }
    }
    const auto fallback = std::find_if(TrackSources().begin(), TrackSources().end(),
                                       [](const auto& source) { return source->IsFallback(); });
    return **fallback;
}

std::vector<std::string> TrackFileNamesIn(const std::string& folder) {
    return NamesIn(folder, [](const std::string& name, const struct stat& info) {
        return S_ISREG(info.st_mode) && SourceTakingName(name) != nullptr;
    });
}

TrackLoadReport LoadTrackLog(const std::string& path, TrackLog& log,
                             const TrackReadOptions& options) {
    if (path.empty()) {
        TrackLoadReport report;
        report.status = Status::Unreadable("no GPX file chosen");
        return report;
    }
    if (IsFolder(path)) {
        return LoadTrackFolder(path, log, options);
    }
    const TrackFileReport file = TrackSourceFor(path).Read(path, log, options);
    TrackLoadReport report;
    report.points = file.points;
    report.status = file.status;
    report.format = file.format;
    return report;
}

std::vector<std::string> TrackFileExtensions() {
    std::vector<std::string> extensions;
    for (const auto& source : TrackSources()) {
        const std::vector<std::string> own = source->Extensions();
        extensions.insert(source->IsFallback() ? extensions.begin() : extensions.end(), own.begin(),
                          own.end());
    }
    return extensions;
}
