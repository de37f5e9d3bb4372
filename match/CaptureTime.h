// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A photo's capture time as matching uses it, from what its header says.

#include <cstdint>
#include <optional>
#include <string>

#include "match/CameraClock.h"
#include "platform/FileTime.h"

struct CaptureFacts {
    std::string dateText;  // Exif DateTimeDigitized as stored; empty when absent
    bool hasOffsetTag = false;
    std::string offsetKey;  // the offset tag that belongs to it, when hasOffsetTag
    std::string offsetText;
    uint64_t lastWriteTime = 0;  // FILETIME count of the file's last modification
};

struct PhotoCapture {
    int64_t corrected = 0;  // FILETIME count
    CaptureOffset offset;
    // 100-ns units to add to `corrected` for UTC.
    int64_t Bias() const { return -int64_t{offset.offsetSeconds} * kFileTimeUnitsPerSecond; }
};

// The date less the correction, with its own offset or the zone's; without a date, the file's
// last-write time with the bias. Nothing for an invalid date.
std::optional<PhotoCapture> ReadCaptureTime(const CaptureFacts& facts, const CameraClock& clock,
                                            int32_t biasInMinutes);

// True when a photo offset would be used but the tag is neither well formed nor "unknown".
bool HasMalformedOffset(const CaptureFacts& facts, const CameraClock& clock);
