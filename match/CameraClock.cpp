// SPDX-License-Identifier: GPL-3.0-or-later
#include "match/CameraClock.h"

#include <cstdlib>

#include "platform/FileTime.h"
#include "platform/NumberText.h"
#include "timezones/LocalTimeInZone.h"

namespace {

constexpr int64_t kUnixEpochSeconds = 11644473600;  // 1601-01-01 to 1970-01-01

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

uint64_t Magnitude(int64_t value) {
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

}  // namespace

std::optional<int32_t> ParseExifOffset(const std::string& text) {
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':' ||
        !IsDigit(text[1]) || !IsDigit(text[2]) || !IsDigit(text[4]) || !IsDigit(text[5])) {
        return std::nullopt;
    }
    const int hours = (text[1] - '0') * 10 + (text[2] - '0');
    const int minutes = (text[4] - '0') * 10 + (text[5] - '0');
    if (hours > 14 || minutes > 59 || (hours == 14 && minutes > 0)) {
        return std::nullopt;
    }
    const int32_t seconds = (hours * 60 + minutes) * 60;
    return text[0] == '-' ? -seconds : seconds;
}

CaptureOffset ChooseOffset(const CameraClock& clock, int32_t biasInMinutes,
                           std::optional<int32_t> photoOffset, int64_t localSeconds) {
    CaptureOffset chosen;
    if (clock.usePhotoTimeZone && photoOffset) {
        chosen.offsetSeconds = *photoOffset;
        chosen.source = OffsetSource::Photo;
        return chosen;
    }
    if (clock.followDaylightSaving) {
        if (const std::optional<ZoneOffset> zone = OffsetAtLocalTime(clock.zoneId, localSeconds)) {
            chosen.offsetSeconds = zone->offsetSeconds;
            chosen.source = OffsetSource::ZoneRules;
            chosen.summerTime = zone->summerTime;
            return chosen;
        }
    }
    chosen.offsetSeconds = -biasInMinutes * 60;
    return chosen;
}

std::string OffsetText(int32_t offsetSeconds) {
    const uint64_t minutes = Magnitude(offsetSeconds) / 60;
    return FormatC(16, "%c%02u:%02u", offsetSeconds < 0 ? '-' : '+',
                   static_cast<unsigned>(minutes / 60), static_cast<unsigned>(minutes % 60));
}

std::string OffsetLabel(const CaptureOffset& offset, const std::string& zoneId) {
    const std::string text = OffsetText(offset.offsetSeconds);
    const std::string named = zoneId.empty() ? text : zoneId + " " + text;
    switch (offset.source) {
        case OffsetSource::Photo:
            return text + " from the photo";
        case OffsetSource::ZoneRules:
            return offset.summerTime ? named + " with summer time" : named;
        case OffsetSource::FileTime:
            return text + " (file modification time)";
        case OffsetSource::Zone:
        default:
            return named;
    }
}

int64_t UnixSecondsOfCount(int64_t count) {
    int64_t seconds = count / kFileTimeUnitsPerSecond;
    if (count % kFileTimeUnitsPerSecond < 0) {
        --seconds;
    }
    return seconds - kUnixEpochSeconds;
}

std::string MatchedTimeLine(const CaptureOffset& offset, const CameraClock& clock,
                            int64_t pointMinusCaptureSeconds) {
    std::string distance;
    if (pointMinusCaptureSeconds == 0) {
        distance = "at the same second";
    } else {
        distance = DurationText(pointMinusCaptureSeconds) +
                   (pointMinusCaptureSeconds > 0 ? " later" : " earlier");
    }
    return CaptureTimeLine(offset, clock, "the matched point is " + distance);
}

std::string CaptureTimeLine(const CaptureOffset& offset, const CameraClock& clock,
                            const std::string& tail) {
    const std::string correction = offset.source == OffsetSource::FileTime
                                       ? std::string("not applied")
                                       : CorrectionText(clock.correctionSeconds);
    return "Capture time read at " + OffsetLabel(offset, clock.zoneId) + ", clock correction " +
           correction + "; " + tail;
}
