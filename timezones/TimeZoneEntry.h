// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One zone of the time zone catalogue.

#include <cstdint>
#include <string>

struct TimeZoneEntry {
    int32_t Bias = 0;     // standard offset in minutes: UTC = local standard time + Bias
    std::string Display;  // the text shown to the user, at most 167 characters
    int32_t Index = 0;    // position in the catalogue, counted from 0
    std::string Std;      // standard-time name, at most 255 characters; identifies the zone
};

inline bool operator==(const TimeZoneEntry& a, const TimeZoneEntry& b) {
    return a.Bias == b.Bias && a.Display == b.Display && a.Index == b.Index && a.Std == b.Std;
}
