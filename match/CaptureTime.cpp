// SPDX-License-Identifier: GPL-3.0-or-later
#include "match/CaptureTime.h"

#include "match/ExifDateTime.h"

namespace {

std::optional<int32_t> PhotoOffset(const CaptureFacts& facts, const CameraClock& clock) {
    if (!clock.usePhotoTimeZone || !facts.hasOffsetTag) {
        return std::nullopt;
    }
    return ParseExifOffset(facts.offsetText);
}

}  // namespace

std::optional<PhotoCapture> ReadCaptureTime(const CaptureFacts& facts, const CameraClock& clock,
                                            int32_t biasInMinutes) {
    PhotoCapture capture;
    if (facts.dateText.empty()) {
        // The file system's time, not the camera's: matched as it always was.
        capture.corrected = static_cast<int64_t>(facts.lastWriteTime);
        capture.offset.offsetSeconds = -biasInMinutes * 60;
        capture.offset.source = OffsetSource::FileTime;
        return capture;
    }
    const std::optional<uint64_t> parsed = ParseExifDateTime(facts.dateText);
    if (!parsed) {
        return std::nullopt;
    }
    capture.corrected =
        static_cast<int64_t>(*parsed) - clock.correctionSeconds * kFileTimeUnitsPerSecond;
    capture.offset = ChooseOffset(clock, biasInMinutes, PhotoOffset(facts, clock),
                                  UnixSecondsOfCount(capture.corrected));
    capture.subSecond = SubSecondUnits(facts.subSecondText);
    return capture;
}

int64_t SubSecondUnits(const std::string& text) {
    const size_t start = text.find_first_not_of(' ');
    int64_t units = 0;
    int64_t scale = kFileTimeUnitsPerSecond;
    for (size_t i = start; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (scale > 1) {
            scale /= 10;
            units += (text[i] - '0') * scale;
        }
    }
    return units;
}

bool HasMalformedOffset(const CaptureFacts& facts, const CameraClock& clock) {
    return clock.usePhotoTimeZone && facts.hasOffsetTag && !ParseExifOffset(facts.offsetText) &&
           facts.offsetText.find_first_not_of(" :") != std::string::npos;
}
