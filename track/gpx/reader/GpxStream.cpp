// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/GpxStream.h"

#include <expat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <new>
#include <optional>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/NumberText.h"
#include "track/gpx/reader/GpxTime.h"
#include "track/gpx/reader/GpxWalk.h"

namespace {

bool IsPointName(const char* name) {
    return std::strcmp(name, "wpt") == 0 || std::strcmp(name, "trkpt") == 0 ||
           std::strcmp(name, "rtept") == 0;
}

bool IsSegmentName(const char* name) {
    return std::strcmp(name, "trkseg") == 0 || std::strcmp(name, "rte") == 0 ||
           std::strcmp(name, "trk") == 0;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Runs of white space as one space, none at either end: the text node's value.
std::string Condensed(const std::string& text) {
    std::string value;
    bool space = false;
    for (const char c : text) {
        if (IsBlank(c)) {
            space = !value.empty();
        } else {
            if (space) {
                value += ' ';
                space = false;
            }
            value += c;
        }
    }
    return value;
}

// A point being read: its attributes, and the first node of its first "ele" and "time".
struct PendingPoint {
    std::string name;
    std::optional<std::string> lat;
    std::optional<std::string> lon;
    bool eleSeen = false;  // its first "ele" child has begun
    std::optional<std::string> ele;
    bool timeSeen = false;
    std::optional<std::string> time;
    int32_t segment = 0;
    bool ended = false;
    std::string* trace = nullptr;  // where its values are traced, when tracing
};

// A line of the trace, in the order a walk of the whole tree would give it: each node from the
// first element among its siblings on, and a point's values right after its name.
struct TraceEntry {
    std::string text;
    bool ready = true;
};

// The first node inside a child being captured.
enum class Capture { None, Ele, Time };

}  // namespace

struct GpxStream::State {
    State(TrackLog& target, size_t depthLimit)
        : log(target), maxDepth(depthLimit), tracing(IsDebugOutputEnabled()) {}

    TrackLog& log;
    size_t maxDepth;
    bool tracing;
    std::deque<TraceEntry> traces;
    bool topElementSeen = false;  // the document's own first element has begun
    std::string siblingText;      // text after the first element child, traced as a node
    XML_Parser parser = nullptr;
    bool started = false;  // the byte-order mark has been looked for
    bool tooDeep = false;
    std::string problem;

    // One entry an open element: the segment in force inside it, and the point it is, if any.
    struct Open {
        int32_t segment = 0;
        PendingPoint* point = nullptr;
        bool elementSeen = false;  // an element child has begun
    };
    std::vector<Open> open;
    int32_t nextSegment = 1;
    // Points in order of their start tags; appended once they and all before them have ended.
    std::deque<PendingPoint> points;

    // The child of a point whose first node is being captured, and its depth.
    Capture capture = Capture::None;
    PendingPoint* capturePoint = nullptr;
    size_t captureDepth = 0;
    std::string text;  // text read so far as the first node
    bool inCdata = false;

    void Take(const std::string& value) {
        std::optional<std::string>& slot =
            capture == Capture::Ele ? capturePoint->ele : capturePoint->time;
        slot = value;
        capture = Capture::None;
    }
    // The text read since the last markup ends there: a node unless it is blank.
    void EndText() {
        if (capture != Capture::None && !inCdata && !text.empty()) {
            const std::string value = Condensed(text);
            text.clear();
            if (!value.empty()) {
                Take(value);
            }
        }
    }
    bool TracesChildren() const {
        return tracing && (open.empty() ? topElementSeen : open.back().elementSeen);
    }
    void TraceLine(const std::string& line) { traces.push_back({line + "\n", true}); }
    void EndSiblingText() {
        if (!siblingText.empty()) {
            const std::string value = Condensed(siblingText);
            siblingText.clear();
            if (!value.empty()) {
                TraceLine(value);
            }
        }
    }
    void FlushTraces() {
        while (!traces.empty() && traces.front().ready) {
            OutputDebugStringA(traces.front().text);
            traces.pop_front();
        }
    }
    // A node other than text begins inside the captured child.
    void Node(const std::string& value) {
        EndSiblingText();
        if (TracesChildren()) {
            TraceLine(value);
        }
        EndText();
        if (capture != Capture::None && open.size() == captureDepth) {
            Take(value);
        }
    }

    void Start(const char* name, const char** attributes) {
        if (open.size() >= maxDepth) {
            tooDeep = true;
            XML_StopParser(parser, XML_FALSE);
            return;
        }
        EndSiblingText();
        if (tracing) {
            bool& seen = open.empty() ? topElementSeen : open.back().elementSeen;
            seen = true;
            TraceLine(name);
        }
        EndText();
        if (capture != Capture::None && open.size() == captureDepth) {
            Take(name);
        }
        const size_t depth = open.size();  // of the element, the top ones 0
        Open element;
        element.segment = open.empty() ? 0 : open.back().segment;
        PendingPoint* parent = open.empty() ? nullptr : open.back().point;
        if (depth > 0 && IsPointName(name)) {
            PendingPoint point;
            point.name = name;
            point.segment = element.segment;
            for (const char** a = attributes; *a != nullptr; a += 2) {
                if (std::strcmp(a[0], "lat") == 0 && !point.lat) {
                    point.lat = a[1];
                } else if (std::strcmp(a[0], "lon") == 0 && !point.lon) {
                    point.lon = a[1];
                }
            }
            if (tracing) {
                traces.push_back({std::string(), false});
                point.trace = &traces.back().text;
            }
            points.push_back(std::move(point));
            element.point = &points.back();
        }
        if (depth > 0 && IsSegmentName(name)) {
            element.segment = nextSegment++;
        }
        open.push_back(element);
        if (parent != nullptr && capture == Capture::None) {
            const bool ele = std::strcmp(name, "ele") == 0 && !parent->eleSeen;
            const bool time = std::strcmp(name, "time") == 0 && !parent->timeSeen;
            if (ele || time) {
                (ele ? parent->eleSeen : parent->timeSeen) = true;
                capture = ele ? Capture::Ele : Capture::Time;
                capturePoint = parent;
                captureDepth = open.size();
                text.clear();
            }
        }
    }
    void End() {
        EndSiblingText();
        EndText();
        if (capture != Capture::None && open.size() == captureDepth) {
            capture = Capture::None;  // an empty child: no node
        }
        if (PendingPoint* point = open.back().point) {
            point->ended = true;
            TraceValues(*point);
        }
        open.pop_back();
        Flush(false);
        FlushTraces();
    }
    // The point's attributes and values, as they were read.
    void TraceValues(PendingPoint& point) {
        if (point.trace == nullptr) {
            return;
        }
        for (const std::optional<std::string>* value :
             {&point.lat, &point.lon, &point.ele, &point.time}) {
            if (*value) {
                *point.trace += **value + "\n";
            }
        }
        const auto entry = std::find_if(traces.begin(), traces.end(), [&](const TraceEntry& e) {
            return &e.text == point.trace;
        });
        if (entry != traces.end()) {
            entry->ready = true;
        }
        point.trace = nullptr;
    }
    void Characters(const char* data, int length) {
        if (TracesChildren() && !inCdata) {
            siblingText.append(data, static_cast<size_t>(length));
        }
        if (capture != Capture::None && open.size() == captureDepth) {
            text.append(data, static_cast<size_t>(length));
        }
    }
    void StartCdata() {
        EndSiblingText();
        EndText();
        inCdata = capture != Capture::None && open.size() == captureDepth;
        text.clear();
    }
    void EndCdata() {
        if (TracesChildren() && !inCdata) {
            TraceLine(siblingText);  // a CDATA node's text as it is
            siblingText.clear();
        }
        if (inCdata) {
            inCdata = false;
            Take(text);
            text.clear();
        }
    }

    // Appends the points that have ended and have none before them still open; all of them
    // when the document broke off.
    void Flush(bool all) {
        while (!points.empty() && (all || points.front().ended)) {
            Append(points.front());
            points.pop_front();
        }
    }
    void Append(const PendingPoint& pending) {
        if (!pending.lat || !pending.lon || !pending.time) {
            return;
        }
        TrackPoint point;
        point.latitude = CrtAtof(pending.lat->c_str());
        point.longitude = CrtAtof(pending.lon->c_str());
        if (pending.ele) {
            point.elevation = CrtAtof(pending.ele->c_str());
        }
        const std::optional<FILETIME> time = ParseGpxTime(pending.time->c_str());
        if (!time) {
            return;
        }
        point.time = *time;
        if (const char* reason = UnusablePointReason(point)) {
            OutputDebugStringA(std::string("Point discarded: ") + reason + "\n");
            return;
        }
        if (pending.name == "wpt") {
            log.Append(point, PointKind::Waypoint, kNoSegment);
        } else {
            log.Append(point, pending.name[0] == 't' ? PointKind::Track : PointKind::Route,
                       pending.segment);
        }
    }
};

GpxStream::GpxStream(TrackLog& log, size_t maxDepth)
    : m_State(std::make_unique<State>(log, maxDepth)) {
    State& state = *m_State;
    state.parser = XML_ParserCreate("ISO-8859-1");
    if (state.parser == nullptr) {
        throw std::bad_alloc();
    }
    XML_SetUserData(state.parser, &state);
    XML_SetElementHandler(
        state.parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            (*static_cast<State*>(data)).Start(name, attributes);
        },
        [](void* data, const XML_Char*) { (*static_cast<State*>(data)).End(); });
    XML_SetCharacterDataHandler(state.parser, [](void* data, const XML_Char* text, int length) {
        (*static_cast<State*>(data)).Characters(text, length);
    });
    XML_SetCdataSectionHandler(
        state.parser, [](void* data) { (*static_cast<State*>(data)).StartCdata(); },
        [](void* data) { (*static_cast<State*>(data)).EndCdata(); });
    XML_SetCommentHandler(state.parser, [](void* data, const XML_Char* text) {
        (*static_cast<State*>(data)).Node(text);
    });
    XML_SetProcessingInstructionHandler(
        state.parser, [](void* data, const XML_Char* target, const XML_Char* text) {
            (*static_cast<State*>(data))
                .Node(std::string("?") + target + (*text != '\0' ? " " : "") + text + "?");
        });
    // Entities a document declares itself are not expanded: such a document breaks off here, and
    // is read as a tree, which leaves them as they are written.
    XML_SetEntityDeclHandler(
        state.parser, [](void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                         const XML_Char*, const XML_Char*, const XML_Char*) {
            XML_StopParser((*static_cast<State*>(data)).parser, XML_FALSE);
        });
}

GpxStream::~GpxStream() {
    XML_ParserFree(m_State->parser);
}

bool GpxStream::Feed(const char* data, size_t size, bool last) {
    State& state = *m_State;
    if (!state.problem.empty() || state.tooDeep) {
        return false;
    }
    if (!state.started && (size >= 3 || last)) {
        state.started = true;
        if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
            data += 3;
            size -= 3;
        }
    }
    constexpr size_t kChunk = size_t{1} << 30;
    do {
        const size_t piece = std::min(size, kChunk);
        const bool final = last && piece == size;
        if (XML_Parse(state.parser, data, static_cast<int>(piece), final ? 1 : 0) !=
            XML_STATUS_OK) {
            if (!state.tooDeep) {
                state.problem = FormatC(
                    400, "could not be parsed: %s at line %lu, column %lu",
                    XML_ErrorString(XML_GetErrorCode(state.parser)),
                    static_cast<unsigned long>(XML_GetCurrentLineNumber(state.parser)),
                    static_cast<unsigned long>(XML_GetCurrentColumnNumber(state.parser) + 1));
            }
            state.EndText();
            state.Flush(true);
            return false;
        }
        data += piece;
        size -= piece;
    } while (size > 0);
    if (last) {
        state.Flush(true);
    }
    return true;
}

bool GpxStream::TooDeep() const {
    return m_State->tooDeep;
}

std::string GpxStream::Problem() const {
    return m_State->problem;
}
