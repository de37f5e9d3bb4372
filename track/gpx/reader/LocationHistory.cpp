// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/LocationHistory.h"

#include <rapidjson/error/en.h>
#include <rapidjson/filereadstream.h>
#include <rapidjson/reader.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "platform/FileTime.h"
#include "track/gpx/reader/GpxTime.h"

namespace {

// Real histories nest fewer than ten levels.
constexpr size_t kMaxDepth = 64;

using Fields = std::vector<std::pair<std::string, std::string>>;

const std::string* Field(const Fields& fields, const char* key) {
    for (const auto& [name, value] : fields) {
        if (name == key) {
            return &value;
        }
    }
    return nullptr;
}

// A number in the C locale's form, the whole text.
std::optional<double> Number(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> FieldNumber(const Fields& fields, const char* key) {
    const std::string* text = Field(fields, key);
    return text != nullptr ? Number(*text) : std::nullopt;
}

struct Position {
    double latitude = 0.0;
    double longitude = 0.0;
};

std::optional<Position> E7Position(const Fields& fields, const char* latKey, const char* lngKey) {
    const std::optional<double> lat = FieldNumber(fields, latKey);
    const std::optional<double> lng = FieldNumber(fields, lngKey);
    if (!lat || !lng) {
        return std::nullopt;
    }
    return Position{*lat / 1e7, *lng / 1e7};
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// "48.1°, 11.5°" (the Android export) or "geo:48.1,11.5" (the iOS one).
std::optional<Position> TextPosition(const std::string* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    std::string_view rest = *text;
    if (rest.substr(0, 4) == "geo:") {
        rest.remove_prefix(4);
    }
    const size_t comma = rest.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view lat = Trimmed(rest.substr(0, comma));
    std::string_view lng = Trimmed(rest.substr(comma + 1));
    constexpr std::string_view kDegree = "\xC2\xB0";
    for (std::string_view* part : {&lat, &lng}) {
        if (part->size() >= kDegree.size() &&
            part->substr(part->size() - kDegree.size()) == kDegree) {
            part->remove_suffix(kDegree.size());
        }
    }
    const std::optional<double> latitude = Number(lat);
    const std::optional<double> longitude = Number(lng);
    if (!latitude || !longitude) {
        return std::nullopt;
    }
    return Position{*latitude, *longitude};
}

// A time text (ISO 8601 with its offset) or a count of milliseconds since 1970 as text; 0 when
// neither is valid.
uint64_t TimeOf(const std::string* text, const std::string* milliseconds) {
    if (text != nullptr) {
        const std::optional<FILETIME> time = ParseGpxTime(text->c_str());
        return time ? FileTimeToCount(*time) : 0;
    }
    if (milliseconds != nullptr) {
        int64_t ms = 0;
        const char* end = milliseconds->data() + milliseconds->size();
        const auto [at, error] = std::from_chars(milliseconds->data(), end, ms);
        if (error != std::errc() || at != end || ms <= 0 || ms > int64_t{1} << 50) {
            return 0;
        }
        return FileTimeCountFromUnix(ms / 1000, ms % 1000 * 1000000);
    }
    return 0;
}

uint64_t FieldTime(const Fields& fields, const char* key, const char* msKey) {
    return TimeOf(Field(fields, key), msKey != nullptr ? Field(fields, msKey) : nullptr);
}

struct Fix {
    Position position;
    uint64_t time = 0;
    double elevation = kNoElevation;
    double minutesFromStart = -1.0;  // iOS: the time is the start time plus these minutes
};

// The parts of the record being read, kept until the record ends.
struct Record {
    std::vector<Fix> path;       // raw path, timeline path
    std::vector<Fix> waypoints;  // a Takeout activity's waypoint path, without times
    std::optional<Position> visit;
    std::optional<Position> activityStart;
    std::optional<Position> activityEnd;
    uint64_t start = 0;
    uint64_t end = 0;
};

class HistoryHandler {
public:
    explicit HistoryHandler(const HistoryPointFn& point) : m_Point(point) {}

    bool Null() { return Scalar(std::string()); }
    bool Bool(bool value) { return Scalar(value ? "true" : "false"); }
    bool Int(int) { return Scalar(std::string()); }  // numbers arrive as RawNumber
    bool Uint(unsigned) { return Scalar(std::string()); }
    bool Int64(int64_t) { return Scalar(std::string()); }
    bool Uint64(uint64_t) { return Scalar(std::string()); }
    bool Double(double) { return Scalar(std::string()); }
    bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
        return Scalar(std::string(text, length));
    }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        return Scalar(std::string(text, length));
    }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        m_Key.assign(text, length);
        return true;
    }
    bool StartObject() { return Open(false); }
    bool StartArray() { return Open(true); }
    bool EndObject(rapidjson::SizeType) {
        Frame frame = std::move(m_Frames.back());
        m_Frames.pop_back();
        Closed(frame.path, frame.fields);
        return true;
    }
    bool EndArray(rapidjson::SizeType) {
        m_Frames.pop_back();
        return true;
    }

    bool TooDeep() const { return m_TooDeep; }
    bool Recognised() const { return m_Recognised; }

private:
    struct Frame {
        std::string path;  // keys from the root, "[]" for an element: "locations[]"
        bool array = false;
        Fields fields;  // an object's scalar members
    };

    std::string ChildPath() const {
        if (m_Frames.empty()) {
            return std::string();
        }
        const Frame& parent = m_Frames.back();
        if (parent.array) {
            return parent.path + "[]";
        }
        return parent.path.empty() ? m_Key : parent.path + "." + m_Key;
    }
    bool Scalar(std::string value) {
        if (!m_Frames.empty() && !m_Frames.back().array) {
            m_Frames.back().fields.emplace_back(m_Key, std::move(value));
        }
        return true;
    }
    bool Open(bool array) {
        if (m_Frames.size() >= kMaxDepth) {
            m_TooDeep = true;
            return false;
        }
        std::string path = ChildPath();
        if (m_Frames.size() == 1 && !m_Frames.front().array &&
            (path == "locations" || path == "timelineObjects" || path == "semanticSegments" ||
             path == "rawSignals")) {
            m_Recognised = true;
        }
        m_Frames.push_back(Frame{std::move(path), array, {}});
        return true;
    }

    void Emit(const Position& position, uint64_t time, double elevation, PointKind kind,
              int32_t segment) {
        if (time == 0 || !std::isfinite(position.latitude) || !std::isfinite(position.longitude) ||
            std::fabs(position.latitude) > 90.0 || std::fabs(position.longitude) > 180.0 ||
            !std::isfinite(elevation)) {
            return;
        }
        TrackPoint point;
        point.latitude = position.latitude;
        point.longitude = position.longitude;
        point.elevation = elevation;
        point.time = CountToFileTime(time);
        m_Point(point, kind, segment);
    }
    void EmitPath(const std::vector<Fix>& path) {
        if (path.empty()) {
            return;
        }
        const int32_t segment = m_NextSegment++;
        for (const Fix& fix : path) {
            Emit(fix.position, fix.time, fix.elevation, PointKind::Track, segment);
        }
    }
    void EmitVisit(const Position& position, uint64_t start, uint64_t end) {
        Emit(position, start, kNoElevation, PointKind::Waypoint, kNoSegment);
        if (end != start) {
            Emit(position, end, kNoElevation, PointKind::Waypoint, kNoSegment);
        }
    }
    // A path without times spread evenly over the time from `start` to `end`.
    void EmitSpread(std::vector<Fix> path, uint64_t start, uint64_t end) {
        if (path.empty() || start == 0 || end < start) {
            return;
        }
        const double step = path.size() > 1 ? static_cast<double>(end - start) /
                                                  static_cast<double>(path.size() - 1)
                                            : 0.0;
        for (size_t i = 0; i < path.size(); ++i) {
            path[i].time =
                start + static_cast<uint64_t>(std::llround(step * static_cast<double>(i)));
        }
        EmitPath(path);
    }
    int32_t RawSignalsSegment() {
        if (m_RawSignalsSegment < 0) {
            m_RawSignalsSegment = m_NextSegment++;
        }
        return m_RawSignalsSegment;
    }

    // An object has been read whole: what it stands for, by where it is.
    void Closed(const std::string& path, const Fields& fields) {
        if (path == "locations[]") {  // Records.json
            if (m_RecordsSegment < 0) {
                m_RecordsSegment = m_NextSegment++;
            }
            if (const std::optional<Position> at =
                    E7Position(fields, "latitudeE7", "longitudeE7")) {
                Emit(*at, FieldTime(fields, "timestamp", "timestampMs"),
                     FieldNumber(fields, "altitude").value_or(kNoElevation), PointKind::Track,
                     m_RecordsSegment);
            }
        } else if (path == "timelineObjects[].activitySegment.simplifiedRawPath.points[]") {
            if (const std::optional<Position> at = E7Position(fields, "latE7", "lngE7")) {
                m_Record.path.push_back(
                    {*at, FieldTime(fields, "timestamp", "timestampMs"), kNoElevation, -1.0});
            }
        } else if (path == "timelineObjects[].activitySegment.waypointPath.waypoints[]") {
            if (const std::optional<Position> at = E7Position(fields, "latE7", "lngE7")) {
                m_Record.waypoints.push_back({*at, 0, kNoElevation, -1.0});
            }
        } else if (path == "timelineObjects[].activitySegment.duration" ||
                   path == "timelineObjects[].placeVisit.duration") {
            m_Record.start = FieldTime(fields, "startTimestamp", "startTimestampMs");
            m_Record.end = FieldTime(fields, "endTimestamp", "endTimestampMs");
        } else if (path == "timelineObjects[].placeVisit.location") {
            m_Record.visit = E7Position(fields, "latitudeE7", "longitudeE7");
        } else if (path == "timelineObjects[].placeVisit") {
            const std::optional<Position> centre = E7Position(fields, "centerLatE7", "centerLngE7");
            if (centre || m_Record.visit) {
                EmitVisit(centre ? *centre : *m_Record.visit, m_Record.start, m_Record.end);
            }
            m_Record = Record();
        } else if (path == "timelineObjects[].activitySegment") {
            if (!m_Record.path.empty()) {
                EmitPath(m_Record.path);
            } else {
                EmitSpread(m_Record.waypoints, m_Record.start, m_Record.end);
            }
            m_Record = Record();
        } else if (path == "timelineObjects[]") {
            m_Record = Record();
        } else if (path == "semanticSegments[].timelinePath[]") {  // the Android export
            if (const std::optional<Position> at = TextPosition(Field(fields, "point"))) {
                m_Record.path.push_back(
                    {*at, FieldTime(fields, "time", nullptr), kNoElevation, -1.0});
            }
        } else if (path == "semanticSegments[].visit.topCandidate.placeLocation") {
            m_Record.visit = TextPosition(Field(fields, "latLng"));
        } else if (path == "semanticSegments[]") {
            EmitPath(m_Record.path);
            if (m_Record.visit) {
                EmitVisit(*m_Record.visit, FieldTime(fields, "startTime", nullptr),
                          FieldTime(fields, "endTime", nullptr));
            }
            m_Record = Record();
        } else if (path == "rawSignals[].position") {
            if (const std::optional<Position> at = TextPosition(Field(fields, "LatLng"))) {
                Emit(*at, FieldTime(fields, "timestamp", nullptr),
                     FieldNumber(fields, "altitudeMeters").value_or(kNoElevation), PointKind::Track,
                     RawSignalsSegment());
            }
        } else if (path == "[].timelinePath[]") {  // the iOS export
            const std::optional<Position> at = TextPosition(Field(fields, "point"));
            const std::optional<double> minutes =
                FieldNumber(fields, "durationMinutesOffsetFromStartTime");
            if (at && minutes && *minutes >= 0.0 && *minutes < 1e7) {
                m_Record.path.push_back({*at, 0, kNoElevation, *minutes});
            }
        } else if (path == "[].visit.topCandidate") {
            m_Record.visit = TextPosition(Field(fields, "placeLocation"));
        } else if (path == "[].activity") {
            m_Record.activityStart = TextPosition(Field(fields, "start"));
            m_Record.activityEnd = TextPosition(Field(fields, "end"));
        } else if (path == "[]") {
            ClosedIosRecord(fields);
        }
    }
    void ClosedIosRecord(const Fields& fields) {
        const uint64_t start = FieldTime(fields, "startTime", nullptr);
        const uint64_t end = FieldTime(fields, "endTime", nullptr);
        if (start != 0) {
            m_Recognised = true;
            for (Fix& fix : m_Record.path) {
                fix.time = start + static_cast<uint64_t>(
                                       std::llround(fix.minutesFromStart *
                                                    static_cast<double>(kFileTimeUnitsPerMinute)));
            }
            EmitPath(m_Record.path);
            if (m_Record.visit) {
                EmitVisit(*m_Record.visit, start, end);
            }
            if (m_Record.path.empty() && m_Record.activityStart && m_Record.activityEnd) {
                EmitPath({{*m_Record.activityStart, start, kNoElevation, -1.0},
                          {*m_Record.activityEnd, end, kNoElevation, -1.0}});
            }
        }
        m_Record = Record();
    }

    const HistoryPointFn& m_Point;
    std::vector<Frame> m_Frames;
    std::string m_Key;
    Record m_Record;
    int32_t m_NextSegment = 0;
    int32_t m_RecordsSegment = -1;
    int32_t m_RawSignalsSegment = -1;
    bool m_TooDeep = false;
    bool m_Recognised = false;
};

}  // namespace

std::string ReadLocationHistory(int fd, const HistoryPointFn& point) {
    std::FILE* file = fdopen(dup(fd), "rb");
    if (file == nullptr) {
        return "could not be parsed: the file cannot be read";
    }
    char buffer[1 << 16];
    rapidjson::FileReadStream stream(file, buffer, sizeof buffer);
    HistoryHandler handler(point);
    rapidjson::Reader reader;
    const rapidjson::ParseResult result =
        reader.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag |
                     rapidjson::kParseValidateEncodingFlag>(stream, handler);
    std::fclose(file);
    if (handler.TooDeep()) {
        return "too deeply nested";
    }
    if (result.IsError()) {
        return std::string("could not be parsed: ") + rapidjson::GetParseError_En(result.Code()) +
               " at byte " + std::to_string(result.Offset());
    }
    return handler.Recognised() ? std::string() : "not a location history";
}
