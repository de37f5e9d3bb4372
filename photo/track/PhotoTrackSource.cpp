// SPDX-License-Identifier: GPL-3.0-or-later
// Folders of photos that carry positions as a track source. It takes no file: only a folder
// given as the track path, or one directly in a folder of tracks, is read for its photos.
#include "photo/track/PhotoTrack.h"
#include "track/TrackSource.h"

namespace {

class PhotoTrackSource : public TrackSource {
public:
    const char* Format() const override { return "photos"; }
    bool TakesName(const std::string&) const override { return false; }
    std::vector<std::string> Extensions() const override { return {}; }
    bool TakesContent(std::string_view) const override { return false; }

    TrackFileReport Read(const std::string& path, TrackLog& log,
                         const TrackReadOptions& options) const override {
        return ReadPhotoTrack(path, log, options);
    }

    bool ReadsFolders() const override { return true; }
    TrackFileReport ReadFolder(const std::string& folder, TrackLog& log,
                               const TrackReadOptions& options) const override {
        return ReadPhotoTrack(folder, log, options);
    }
};

const TrackSourceRegistration<PhotoTrackSource> registration;

}  // namespace
