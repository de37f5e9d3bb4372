// SPDX-License-Identifier: GPL-3.0-or-later
// A phone's location history (Google Takeout's Records.json and Semantic Location History, the
// phone's own Timeline export) as a track source: JSON files, streamed by the reader process,
// which tells the shapes apart by their content.
#include "track/TrackSource.h"
#include "track/gpx/GpxReader.h"

#include <strings.h>

namespace {

class HistoryTrackSource : public TrackSource {
public:
    const char* Format() const override { return "location history"; }

    bool TakesName(const std::string& name) const override {
        return name.size() > 5 && strcasecmp(name.c_str() + name.size() - 5, ".json") == 0;
    }

    std::vector<std::string> Extensions() const override { return {"json"}; }

    // An object that opens with one of the shapes' keys, or iOS's array of timed records.
    bool TakesContent(std::string_view head) const override {
        if (head.substr(0, 3) == "\xEF\xBB\xBF") {
            head.remove_prefix(3);
        }
        const size_t start = head.find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos || (head[start] != '{' && head[start] != '[')) {
            return false;
        }
        if (head[start] == '[') {
            return head.find("\"startTime\"") != std::string_view::npos;
        }
        for (const char* key :
             {"\"locations\"", "\"timelineObjects\"", "\"semanticSegments\"", "\"rawSignals\""}) {
            if (head.find(key) != std::string_view::npos) {
                return true;
            }
        }
        return false;
    }

    TrackFileReport Read(const std::string& path, TrackLog& log,
                         const TrackReadOptions& options) const override {
        return ReadConvertedFile(path, log, {"", "location-history", Format()}, options);
    }
};

const TrackSourceRegistration<HistoryTrackSource> registration;

}  // namespace
