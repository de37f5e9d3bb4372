// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the points of a GPX document with TinyXML, which is unsafe on hostile input: only in the
// GPX reader process, never in the program itself.

#include <cstdint>
#include <cstdio>
#include <string>

#include "track/TrackLog.h"

class TiXmlDocument;
class TiXmlNode;
class TiXmlElement;

// Parses `file` (from its start, twice on an XML error) into the empty `document`, which the
// caller releases, and appends its points to `log`, those before an XML error included. Returns
// the empty text, or "could not be parsed: <what TinyXML found> at line L, column C".
std::string ReadGpxDocument(std::FILE* file, TiXmlDocument& document, TrackLog& log);

// The segment of the points below and the next segment's number. Each "trkseg" and "rte" is a
// segment, and so is a "trk" for points outside its "trkseg"s; other points are in segment 0.
struct GpxWalkState {
    int32_t segment = 0;
    int32_t nextSegment = 1;
};

// Visits the children of `node` depth first, tracing each and reading points with ReadTrackPoint.
void WalkGpxNode(TiXmlNode* node, TrackLog& log, GpxWalkState& state);

// Why a point cannot be used, or nullptr when it can: a coordinate or elevation that is not a
// finite number, or a position that lies off the globe.
const char* UnusablePointReason(const TrackPoint& point);

// Appends a "wpt" (no segment), "trkpt" or "rtept" (of `segment`). Dropped silently without
// "lat", "lon" or a usable "time"; with a trace for a number that is not finite or a position off
// the globe. An empty "ele" gives no elevation; numbers are read as atof in the C locale.
void ReadTrackPoint(TiXmlElement* element, TrackLog& log, int32_t segment);
