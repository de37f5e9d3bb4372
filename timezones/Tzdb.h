// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the system's time zone database (tzdata): which zones it lists, how aliases map to
// them, which zone the system runs in, and a zone's standard offset.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The database folder: $TZDIR when set and not empty, else /usr/share/zoneinfo.
std::string TzdbDirectory();

// The zone ids of a zone table (zone.tab or zone1970.tab): the third tab-separated column of
// every line that is not a comment. Empty when the file cannot be read.
std::vector<std::string> ReadZoneTable(const std::string& path);

// The links of a compiled-source file (tzdata.zi): alias -> target, from its
// "L <target> <alias>" lines. Empty when the file cannot be read.
std::map<std::string, std::string> ReadZoneLinks(const std::string& path);

// The ids of the zones that the catalogue lists: one per zone of zone.tab in `directory` (or of
// zone1970.tab when zone.tab cannot be read), plus "UTC"; sorted byte-wise, each once.
std::vector<std::string> CatalogueZoneIds(const std::string& directory);

// The zone id that the system runs in, as configured (TZ, /etc/localtime, /etc/timezone). A path
// into the database (":/usr/share/zoneinfo/Europe/Berlin") is reduced to the id below it.
std::string SystemZoneId();

// The id among `catalogueIds` that names the same zone as `id`: `id` itself when listed; else the
// first listed id that leads to the same zone through the links of tzdata.zi in `directory` or
// through symbolic links there ("Asia/Calcutta" -> "Asia/Kolkata", "Etc/UTC" -> "UTC"); else
// `id` unchanged.
std::string CatalogueZoneIdFor(const std::string& id, const std::vector<std::string>& catalogueIds,
                               const std::string& directory);

// The zone's standard offset from UTC in seconds (positive east of Greenwich) under the rules of
// `year`: its offset outside daylight-saving time, which is the smaller of its offsets on
// 1 January and 1 July. That holds in both hemispheres, and also where tzdata calls the summer
// offset "standard" and the winter one "daylight" (Europe/Dublin). Empty when the zone is not
// known.
std::optional<int32_t> StandardOffsetSeconds(const std::string& id, int year);

// The same under the rules of the present year (UTC).
std::optional<int32_t> StandardOffsetSeconds(const std::string& id);
