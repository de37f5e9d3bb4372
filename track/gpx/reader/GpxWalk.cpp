// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/GpxWalk.h"

#include <tinyxml.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "platform/DebugOutput.h"
#include "platform/NumberText.h"
#include "track/gpx/reader/GpxTime.h"

namespace {

void Trace(const char* text) {
    if (IsDebugOutputEnabled()) {
        OutputDebugStringA(std::string(text != nullptr ? text : "") + "\n");
    }
}

bool IsPointElementName(const char* name) {
    return std::strcmp(name, "wpt") == 0 || std::strcmp(name, "trkpt") == 0 ||
           std::strcmp(name, "rtept") == 0;
}

bool IsSegmentElementName(const char* name) {
    return std::strcmp(name, "trkseg") == 0 || std::strcmp(name, "rte") == 0 ||
           std::strcmp(name, "trk") == 0;
}

// The text of the first child node of the named child element, or nullptr when the element
// or its content is missing.
const char* ChildText(TiXmlElement* element, const char* name) {
    TiXmlElement* child = element->FirstChildElement(name);
    if (child == nullptr) {
        return nullptr;
    }
    TiXmlNode* content = child->FirstChild();
    return content != nullptr ? content->Value() : nullptr;
}

std::string ParseErrorText(const TiXmlDocument& document) {
    return FormatC(400, "could not be parsed: %s at line %d, column %d", document.ErrorDesc(),
                   document.ErrorRow(), document.ErrorCol());
}

}  // namespace

const char* UnusablePointReason(const TrackPoint& point) {
    if (!std::isfinite(point.latitude) || !std::isfinite(point.longitude)) {
        return "a coordinate is not a finite number";
    }
    if (!std::isfinite(point.elevation)) {
        return "the elevation is not a finite number";
    }
    if (point.latitude < -90.0 || point.latitude > 90.0) {
        return "the latitude lies outside -90..90";
    }
    if (point.longitude < -180.0 || point.longitude > 180.0) {
        return "the longitude lies outside -180..180";
    }
    return nullptr;
}

std::string ReadGpxDocument(std::FILE* file, TiXmlDocument& document, TrackLog& log) {
    // Keeping every node's line and column costs TinyXML a walk over each character, and only an
    // error's message needs them: the document is read without them, and only a document with
    // an error is read again, with them, to say where the error lies.
    const int tabSize = document.TabSize();
    document.SetTabSize(0);
    document.LoadFile(file, TIXML_ENCODING_UNKNOWN);
    if (document.Error()) {
        document.SetTabSize(tabSize);
        document.LoadFile(file, TIXML_ENCODING_UNKNOWN);  // from the start, into a cleared document
    }
    GpxWalkState state;
    for (TiXmlNode* node = document.FirstChildElement(); node != nullptr;
         node = node->NextSibling()) {
        Trace(node->Value());
        WalkGpxNode(node, log, state);
    }
    return document.Error() ? ParseErrorText(document) : std::string();
}

void WalkGpxNode(TiXmlNode* node, TrackLog& log, GpxWalkState& state) {
    for (TiXmlNode* child = node->FirstChildElement(); child != nullptr;
         child = child->NextSibling()) {
        Trace(child->Value());
        TiXmlElement* element = child->ToElement();
        if (element != nullptr && IsPointElementName(element->Value())) {
            ReadTrackPoint(element, log, state.segment);
        }
        const int32_t outer = state.segment;
        if (element != nullptr && IsSegmentElementName(element->Value())) {
            state.segment = state.nextSegment++;
        }
        WalkGpxNode(child, log, state);
        state.segment = outer;
    }
}

void ReadTrackPoint(TiXmlElement* element, TrackLog& log, int32_t segment) {
    TrackPoint point;
    const char* lat = element->Attribute("lat");
    if (lat != nullptr) {
        point.latitude = CrtAtof(lat);
        Trace(lat);
    }
    const char* lon = element->Attribute("lon");
    if (lon != nullptr) {
        point.longitude = CrtAtof(lon);
        Trace(lon);
    }
    const char* ele = ChildText(element, "ele");
    if (ele != nullptr) {
        point.elevation = CrtAtof(ele);
        Trace(ele);
    }
    const char* timeText = ChildText(element, "time");
    std::optional<FILETIME> time;
    if (timeText != nullptr) {
        Trace(timeText);
        time = ParseGpxTime(timeText);
    }
    if (lat == nullptr || lon == nullptr || !time) {
        return;
    }
    point.time = *time;
    if (const char* reason = UnusablePointReason(point)) {
        OutputDebugStringA(std::string("Point discarded: ") + reason + "\n");
        return;
    }
    const char* name = element->Value();
    if (std::strcmp(name, "wpt") == 0) {
        log.Append(point, PointKind::Waypoint, kNoSegment);
    } else {
        log.Append(point, name[0] == 't' ? PointKind::Track : PointKind::Route, segment);
    }
}
