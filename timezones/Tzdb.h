// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the system's time zone database (tzdata).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The database folder: $TZDIR when set and not empty, else /usr/share/zoneinfo.
std::string TzdbDirectory();

// The zone ids (third column) of zone.tab or zone1970.tab; empty when it cannot be read.
std::vector<std::string> ReadZoneTable(const std::string& path);

// Alias -> target from the "L" lines of tzdata.zi; empty when it cannot be read.
std::map<std::string, std::string> ReadZoneLinks(const std::string& path);

// The catalogue's ids: those of zone.tab (else zone1970.tab) and "UTC", sorted byte-wise, unique.
std::vector<std::string> CatalogueZoneIds(const std::string& directory);

// The zone id the system runs in (from TZ, /etc/localtime or /etc/timezone), never a path.
std::string SystemZoneId();

// The id among `catalogueIds` that names the same zone as `id`, through tzdata.zi links or
// symbolic links in `directory`; `id` itself when listed or when none does.
std::string CatalogueZoneIdFor(const std::string& id, const std::vector<std::string>& catalogueIds,
                               const std::string& directory);

// The zone's standard offset in seconds east of UTC in `year`: the smaller of its offsets on
// 1 January and 1 July. Empty when the zone is not known.
std::optional<int32_t> StandardOffsetSeconds(const std::string& id, int year);

// The same for the present year (UTC).
std::optional<int32_t> StandardOffsetSeconds(const std::string& id);
