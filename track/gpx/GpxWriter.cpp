// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/GpxWriter.h"

#include "platform/FileTime.h"
#include "platform/NumberText.h"

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string TimeText(uint64_t utc) {
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(CountToFileTime(utc), &st)) {
        return std::string();
    }
    std::string text = FormatC(64, "%04u-%02u-%02uT%02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
                               st.wHour, st.wMinute, st.wSecond);
    const uint64_t fraction = utc % kFileTimeUnitsPerSecond;
    if (fraction != 0) {
        text += FormatC(16, ".%07llu", static_cast<unsigned long long>(fraction));
        text.erase(text.find_last_not_of('0') + 1);
    }
    return text + "Z";
}

}  // namespace

std::string GpxWaypointsDocument(const std::vector<NamedWaypoint>& waypoints) {
    std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Fenrik\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    for (const NamedWaypoint& waypoint : waypoints) {
        document += FormatC(100, "  <wpt lat=\"%.7f\" lon=\"%.7f\">", waypoint.position.latitude,
                            waypoint.position.longitude);
        if (HasElevation(waypoint.position.elevation)) {
            document += FormatC(64, "<ele>%.2f</ele>", waypoint.position.elevation);
        }
        if (waypoint.utc != 0) {
            document += "<time>" + TimeText(waypoint.utc) + "</time>";
        }
        document += "<name>" + Escaped(waypoint.name) + "</name></wpt>\n";
    }
    return document + "</gpx>\n";
}
