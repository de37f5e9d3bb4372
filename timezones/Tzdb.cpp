// SPDX-License-Identifier: GPL-3.0-or-later
#include "timezones/Tzdb.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Links lead to a zone in one step in tzdata.zi; a few more are allowed for other layouts.
constexpr int kMaxLinkSteps = 8;

// The id below the database folder of a path into it; `id` itself when it is no such path.
std::string ZoneIdFromPath(const std::string& id) {
    if (id.empty() || id[0] != '/') {
        return id;
    }
    const std::string marker = "zoneinfo/";
    const std::string::size_type at = id.rfind(marker);
    if (at == std::string::npos) {
        return id;
    }
    std::string rest = id.substr(at + marker.size());
    for (const char* variant : {"posix/", "right/"}) {
        if (rest.rfind(variant, 0) == 0) {
            rest.erase(0, std::char_traits<char>::length(variant));
        }
    }
    return rest;
}

// The zone that `id` finally names: links of tzdata.zi first, then symbolic links in the folder.
std::string ResolveZone(const std::string& id, const std::map<std::string, std::string>& links,
                        const std::string& directory) {
    std::string current = id;
    for (int step = 0; step < kMaxLinkSteps; ++step) {
        const auto link = links.find(current);
        if (link == links.end()) {
            break;
        }
        current = link->second;
    }
    if (current != id) {
        return current;
    }
    std::error_code error;
    const fs::path base = fs::canonical(directory, error);
    const fs::path target = error ? fs::path() : fs::canonical(fs::path(directory) / id, error);
    if (error) {
        return id;
    }
    const fs::path relative = target.lexically_relative(base);
    if (relative.empty() || *relative.begin() == "..") {
        return id;
    }
    return relative.generic_string();
}

}  // namespace

std::string TzdbDirectory() {
    const char* tzdir = std::getenv("TZDIR");
    return tzdir != nullptr && tzdir[0] != '\0' ? tzdir : "/usr/share/zoneinfo";
}

std::vector<std::string> ReadZoneTable(const std::string& path) {
    std::vector<std::string> ids;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream columns(line);
        std::string countries;
        std::string coordinates;
        std::string id;
        if (std::getline(columns, countries, '\t') && std::getline(columns, coordinates, '\t') &&
            std::getline(columns, id, '\t') && !id.empty()) {
            ids.push_back(id);
        }
    }
    return ids;
}

std::map<std::string, std::string> ReadZoneLinks(const std::string& path) {
    std::map<std::string, std::string> links;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        std::string target;
        std::string alias;
        if (words >> kind >> target >> alias && kind == "L") {
            links[alias] = target;
        }
    }
    return links;
}

std::vector<std::string> CatalogueZoneIds(const std::string& directory) {
    std::vector<std::string> ids = ReadZoneTable(directory + "/zone.tab");
    if (ids.empty()) {
        ids = ReadZoneTable(directory + "/zone1970.tab");
    }
    ids.push_back("UTC");
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::string SystemZoneId() {
    return ZoneIdFromPath(QTimeZone::systemTimeZoneId().toStdString());
}

std::string CatalogueZoneIdFor(const std::string& id, const std::vector<std::string>& catalogueIds,
                               const std::string& directory) {
    if (std::find(catalogueIds.begin(), catalogueIds.end(), id) != catalogueIds.end()) {
        return id;
    }
    const std::map<std::string, std::string> links = ReadZoneLinks(directory + "/tzdata.zi");
    const std::string zone = ResolveZone(id, links, directory);
    for (const std::string& listed : catalogueIds) {
        if (listed == zone || ResolveZone(listed, links, directory) == zone) {
            return listed;
        }
    }
    return id;
}

std::optional<int32_t> StandardOffsetSeconds(const std::string& id, int year) {
    const QTimeZone zone(QByteArray::fromStdString(id));
    if (!zone.isValid()) {
        return std::nullopt;
    }
    const QTime noon(12, 0);
    const int january = zone.offsetFromUtc(QDateTime(QDate(year, 1, 1), noon, Qt::UTC));
    const int july = zone.offsetFromUtc(QDateTime(QDate(year, 7, 1), noon, Qt::UTC));
    return std::min(january, july);
}

std::optional<int32_t> StandardOffsetSeconds(const std::string& id) {
    return StandardOffsetSeconds(id, QDateTime::currentDateTimeUtc().date().year());
}
