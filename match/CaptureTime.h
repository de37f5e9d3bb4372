// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A photo's capture time as matching uses it, from what its header says.

#include <cstdint>
#include <optional>
#include <string>

#include "match/CameraClock.h"
#include "platform/FileTime.h"

// What a photo's header says about when it was taken.
struct CaptureFacts {
    std::string dateText;  // Exif DateTimeDigitized as stored; empty when absent
    bool hasOffsetTag = false;
    std::string offsetKey;  // the offset tag that belongs to it, when hasOffsetTag
    std::string offsetText;
    uint64_t lastWriteTime = 0;  // FILETIME count of the file's last modification
};

// The capture time on the camera's corrected clock, and the offset that turns it into UTC.
struct PhotoCapture {
    int64_t corrected = 0;  // FILETIME count
    CaptureOffset offset;
    // 100-ns units to add to `corrected` for UTC: minus the offset.
    int64_t Bias() const { return -int64_t{offset.offsetSeconds} * kFileTimeUnitsPerSecond; }
};

// The capture time of a photo: its date less the clock correction, read with its own offset
// (when the clock takes it and it is well formed), or the zone's; without a date, the file's
// last-write time read with the bias. Nothing when the date is not a valid one.
std::optional<PhotoCapture> ReadCaptureTime(const CaptureFacts& facts, const CameraClock& clock,
                                            int32_t biasInMinutes);

// True when the clock takes photo offsets and the photo's offset tag is neither well formed
// nor Exif's "unknown" (blanks and colons): it is ignored, and the run says so.
bool HasMalformedOffset(const CaptureFacts& facts, const CameraClock& clock);
