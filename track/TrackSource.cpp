// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/TrackSource.h"

namespace {

std::vector<std::unique_ptr<TrackSource>>& Registry() {
    static std::vector<std::unique_ptr<TrackSource>> sources;
    return sources;
}

}  // namespace

std::vector<TrackFileReport> TrackSource::ReadFiles(const std::vector<std::string>& paths,
                                                    TrackLog& log,
                                                    const TrackReadOptions& options) const {
    std::vector<TrackFileReport> reports;
    for (const std::string& path : paths) {
        reports.push_back(Read(path, log, options));
        if (reports.back().status.code() == StatusCode::Stopped) {
            break;
        }
    }
    return reports;
}

TrackFileReport TrackSource::ReadFolder(const std::string&, TrackLog&,
                                        const TrackReadOptions&) const {
    return TrackFileReport();
}

void RegisterTrackSource(std::unique_ptr<TrackSource> source) {
    Registry().push_back(std::move(source));
}

const std::vector<std::unique_ptr<TrackSource>>& TrackSources() {
    return Registry();
}
