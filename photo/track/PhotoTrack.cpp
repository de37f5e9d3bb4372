// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/track/PhotoTrack.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "match/CaptureTime.h"
#include "photo/PhotoFacts.h"
#include "photo/PhotoFix.h"

std::optional<uint64_t> PhotoFixTime(const PhotoFix& fix, const CaptureFacts& capture,
                                     const CameraZone& zone) {
    if (fix.gpsTime) {
        return fix.gpsTime;
    }
    if (fix.captureText.empty()) {
        return std::nullopt;  // the file's modification time says nothing of where it was
    }
    CaptureFacts facts = capture;
    facts.dateText = fix.captureText;
    CameraClock clock;
    clock.usePhotoTimeZone = true;
    clock.followDaylightSaving = zone.followDaylightSaving;
    clock.zoneId = zone.zoneId;
    const std::optional<PhotoCapture> read = ReadCaptureTime(facts, clock, zone.biasInMinutes);
    if (!read) {
        return std::nullopt;
    }
    const int64_t utc = read->corrected + read->Bias() + read->subSecond;
    return utc > 0 ? std::optional<uint64_t>(static_cast<uint64_t>(utc)) : std::nullopt;
}

TrackFileReport ReadPhotoTrack(const std::string& folder, TrackLog& log,
                               const TrackReadOptions& options) {
    TrackFileReport report;
    report.format = "photos";
    std::vector<TrackPoint> points;
    for (const ImageFile& photo : ListHotFolderImages(folder, true)) {
        if (options.stop != nullptr && options.stop->load()) {
            report.status = Status::Stopped();
            return report;
        }
        PhotoFacts facts;
        if (!ReadPhotoFacts(photo, facts).ok() || !facts.fix) {
            continue;
        }
        const std::optional<uint64_t> time =
            PhotoFixTime(*facts.fix, facts.capture, options.cameraZone);
        if (!time) {
            continue;
        }
        TrackPoint point;
        point.latitude = facts.fix->position.latitude;
        point.longitude = facts.fix->position.longitude;
        point.elevation = facts.fix->position.elevation;
        point.time = CountToFileTime(*time);
        points.push_back(point);
    }
    std::stable_sort(points.begin(), points.end(), [](const TrackPoint& a, const TrackPoint& b) {
        return FileTimeToCount(a.time) < FileTimeToCount(b.time);
    });
    TrackLog own;
    for (const TrackPoint& point : points) {
        own.Append(point, PointKind::Track, 0);
    }
    log.AppendLog(std::move(own), folder, report.format);
    report.points = points.size();
    return report;
}
