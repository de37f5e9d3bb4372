// SPDX-License-Identifier: GPL-3.0-or-later
// GPX as a track source: files named *.gpx, or that begin as an XML document, read through the
// GPX reader process. It is also the fallback for files no source recognises: its reader then
// says why the file cannot be read.
#include <strings.h>

#include "track/TrackSource.h"
#include "track/gpx/GpxReader.h"

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

class GpxTrackSource : public TrackSource {
public:
    const char* Format() const override { return "GPX"; }

    bool TakesName(const std::string& name) const override {
        return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".gpx") == 0;
    }

    std::vector<std::string> Extensions() const override { return {"gpx"}; }

    bool TakesContent(std::string_view head) const override {
        if (StartsWith(head, "\xEF\xBB\xBF")) {
            head.remove_prefix(3);
        }
        if (StartsWith(head, "\xFF\xFE") || StartsWith(head, "\xFE\xFF")) {
            return true;  // UTF-16, which the reader converts
        }
        const size_t start = head.find_first_not_of(" \t\r\n");
        return start != std::string_view::npos &&
               (StartsWith(head.substr(start), "<?xml") || StartsWith(head.substr(start), "<gpx"));
    }

    bool IsFallback() const override { return true; }

    TrackFileReport Read(const std::string& path, TrackLog& log,
                         const TrackReadOptions& options) const override {
        return ReadGpxFile(path, log, options);
    }

    std::vector<TrackFileReport> ReadFiles(const std::vector<std::string>& paths, TrackLog& log,
                                           const TrackReadOptions& options) const override {
        return ReadGpxFiles(paths, log, options);
    }
};

const TrackSourceRegistration<GpxTrackSource> registration;

}  // namespace
