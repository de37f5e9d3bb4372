// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Photos with GPS positions as a track: a point each, one segment in time order; only ever read.

#include <cstdint>
#include <optional>
#include <string>

#include "match/CaptureTime.h"
#include "photo/PhotoFix.h"
#include "track/TrackLog.h"
#include "track/TrackSource.h"

// A photo's UTC time for the track: its GPS date and time stamp when it has both, else its
// capture time (DateTimeOriginal, else DateTimeDigitized) with its own offset, else with the
// camera's zone. Nothing when none of them is a valid time.
std::optional<uint64_t> PhotoFixTime(const PhotoFix& fix, const CaptureFacts& capture,
                                     const CameraZone& zone);

// Appends the points of the photos (of every format the hot folders take, RAW included) directly
// in `folder` with a usable position as one origin of format "photos"; the report's points count
// them. Photos that cannot be read, or carry no position or time, are passed over silently.
TrackFileReport ReadPhotoTrack(const std::string& folder, TrackLog& log,
                               const TrackReadOptions& options);
