// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zone source held in memory, in which any zone, and the current zone, can be made to fail.

#include <string>
#include <vector>

#include "timezones/ZoneSource.h"

class FakeZoneSource : public ZoneSource {
public:
    // Appends a zone named `name` that reads well.
    FakeZoneSource& AddZone(const std::string& name, int32_t bias, const std::string& display,
                            const std::string& standardName) {
        ZoneReading zone;
        zone.name = name;
        zone.entry.Bias = bias;
        zone.entry.Display = display;
        zone.entry.Std = standardName;
        zones.push_back(zone);
        return *this;
    }
    // Reading the first zone named `name` fails with `failure`.
    void FailZone(const std::string& name, const char* failure) {
        for (ZoneReading& zone : zones) {
            if (zone.name == name) {
                zone.failure = failure;
                return;
            }
        }
    }

    std::vector<ZoneReading> ReadZones() const override { return zones; }
    CurrentZoneReading ReadCurrentZone() const override { return current; }

    std::vector<ZoneReading> zones;
    CurrentZoneReading current;
};
