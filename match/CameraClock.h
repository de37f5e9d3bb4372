// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a run knows about the camera's clock, and how a photo's capture time is turned into the
// moment it was taken: the clock correction first, then the offset from UTC, which is the photo's
// own (Exif OffsetTime tags), or the configured zone's standard offset, or the zone's full rules
// (summer time) at the photo's local date and time.

#include <cstdint>
#include <optional>
#include <string>

#include "match/ClockCorrectionText.h"

// The run's settings for reading capture times; a copy is handed to the run.
struct CameraClock {
    bool usePhotoTimeZone = true;       // a photo's own offset, when it records one, wins
    bool followDaylightSaving = false;  // the configured zone's rules instead of its bias
    int64_t correctionSeconds = 0;      // positive: the camera clock was ahead of the true time
    std::string zoneId;                 // the configured zone's IANA name; may be empty
};

// Where the offset a photo was matched with came from.
enum class OffsetSource {
    Zone,       // the configured zone's standard offset (the bias)
    ZoneRules,  // the configured zone's rules at the photo's local time
    Photo,      // the photo's own offset tag
    FileTime,   // no Exif capture time: the file's modification time, read with the bias
};

// The offset one photo is read with.
struct CaptureOffset {
    int32_t offsetSeconds = 0;  // east of Greenwich positive: UTC = corrected capture - offset
    OffsetSource source = OffsetSource::Zone;
    bool summerTime = false;  // ZoneRules only: the offset is the zone's summer time
};

// The offset of an Exif offset text "+HH:MM" or "-HH:MM" (HH 00..14, MM 00..59, nothing
// around it), in seconds east of Greenwich. Empty for anything else, the Exif "unknown" form of
// blanks included.
std::optional<int32_t> ParseExifOffset(const std::string& text);

// The offset a photo whose camera reading is `localSeconds` (seconds since 1970-01-01 on the
// camera's corrected clock) is read with, given its own offset (empty when it records none or
// that setting is off), the clock and the configured bias (UTC = local standard time + bias).
// With summer time asked for but a zone the system does not know, the bias is used.
CaptureOffset ChooseOffset(const CameraClock& clock, int32_t biasInMinutes,
                           std::optional<int32_t> photoOffset, int64_t localSeconds);

// "+02:00", "-09:30", "+00:00".
std::string OffsetText(int32_t offsetSeconds);

// How the log names an offset: "+02:00 from the photo", "Europe/Berlin +01:00",
// "Europe/Berlin +02:00 with summer time"; without a zone name the offset alone ("+01:00"); for a
// file's modification time "+01:00 (file modification time)".
std::string OffsetLabel(const CaptureOffset& offset, const std::string& zoneId);

// The seconds since 1970-01-01 of a FILETIME count (rounded down to the second).
int64_t UnixSecondsOfCount(int64_t count);

// The log's line for a tagged photo: the offset it was read with and where that came from, the
// clock correction, and how far the matched point lies from the corrected capture time, e.g.
// "Capture time read at +02:00 from the photo, clock correction none; the matched point is
// 40 s later". `pointMinusCaptureSeconds` is the point's time less the capture's, both UTC.
std::string MatchedTimeLine(const CaptureOffset& offset, const CameraClock& clock,
                            int64_t pointMinusCaptureSeconds);
