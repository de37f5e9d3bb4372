// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/TrackSource.h"

namespace {

std::vector<std::unique_ptr<TrackSource>>& Registry() {
    static std::vector<std::unique_ptr<TrackSource>> sources;
    return sources;
}

}  // namespace

void RegisterTrackSource(std::unique_ptr<TrackSource> source) {
    Registry().push_back(std::move(source));
}

const std::vector<std::unique_ptr<TrackSource>>& TrackSources() {
    return Registry();
}
