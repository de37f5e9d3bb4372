// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a GPX document's points with TinyXML, unsafe on hostile input: reader process only.

#include <cstdint>
#include <cstdio>
#include <string>

#include "track/TrackLog.h"

class TiXmlDocument;
class TiXmlNode;
class TiXmlElement;

// Parses `file` into the empty `document` (the caller releases it), appending its points to `log`,
// those before an XML error too. Returns "", or "could not be parsed: <...> at line L, column C".
std::string ReadGpxDocument(std::FILE* file, TiXmlDocument& document, TrackLog& log);

// The segment of the points below and the next segment's number. Each "trkseg" and "rte" is a
// segment, and so is a "trk" for points outside its "trkseg"s; other points are in segment 0.
struct GpxWalkState {
    int32_t segment = 0;
    int32_t nextSegment = 1;
};

// Visits the children of `node` depth first, tracing each and reading points with ReadTrackPoint.
void WalkGpxNode(TiXmlNode* node, TrackLog& log, GpxWalkState& state);

// Why a point cannot be used (a number not finite, a position off the globe), or nullptr.
const char* UnusablePointReason(const TrackPoint& point);

// Appends a "wpt" (no segment), "trkpt" or "rtept" (of `segment`). Dropped silently without
// "lat", "lon" or a usable "time"; with a trace for a number that is not finite or a position off
// the globe. An empty "ele" gives no elevation; numbers are read as atof in the C locale.
void ReadTrackPoint(TiXmlElement* element, TrackLog& log, int32_t segment);
