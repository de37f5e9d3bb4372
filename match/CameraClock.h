// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The camera's clock, and how a capture time becomes UTC: the correction first, then the photo's
// own offset, the configured zone's standard offset, or the zone's rules at that local time.

#include <cstdint>
#include <optional>
#include <string>

#include "match/ClockCorrectionText.h"

// The run's settings for reading capture times.
struct CameraClock {
    bool usePhotoTimeZone = true;       // a photo's own offset, when it records one, wins
    bool followDaylightSaving = false;  // the configured zone's rules instead of its bias
    int64_t correctionSeconds = 0;      // positive: the camera clock was ahead of the true time
    std::string zoneId;                 // the configured zone's IANA name; may be empty
};

enum class OffsetSource {
    Zone,       // the configured zone's standard offset (the bias)
    ZoneRules,  // the configured zone's rules at the photo's local time
    Photo,      // the photo's own offset tag
    FileTime,   // no Exif capture time: the file's modification time, read with the bias
};

struct CaptureOffset {
    int32_t offsetSeconds = 0;  // east of Greenwich positive: UTC = corrected capture - offset
    OffsetSource source = OffsetSource::Zone;
    bool summerTime = false;  // ZoneRules only: the offset is the zone's summer time
};

// Seconds east of Greenwich of exactly "+HH:MM" or "-HH:MM" (HH 00..14, MM 00..59); empty for
// anything else, Exif's blank "unknown" included.
std::optional<int32_t> ParseExifOffset(const std::string& text);

// The offset for a photo read `localSeconds` after 1970-01-01 on the corrected clock, given its
// own offset (empty: none or not used) and the bias; an unknown zone falls back to the bias.
CaptureOffset ChooseOffset(const CameraClock& clock, int32_t biasInMinutes,
                           std::optional<int32_t> photoOffset, int64_t localSeconds);

// "+02:00", "-09:30".
std::string OffsetText(int32_t offsetSeconds);

// "+02:00 from the photo", "Europe/Berlin +02:00 with summer time", "+01:00" without a zone
// name, "+01:00 (file modification time)".
std::string OffsetLabel(const CaptureOffset& offset, const std::string& zoneId);

// Seconds since 1970-01-01 of a FILETIME count, rounded down.
int64_t UnixSecondsOfCount(int64_t count);

// The log's line for a tagged photo, e.g. "Capture time read at +02:00 from the photo, clock
// correction none; the matched point is 40 s later" (point less capture, UTC).
std::string MatchedTimeLine(const CaptureOffset& offset, const CameraClock& clock,
                            int64_t pointMinusCaptureSeconds);
