// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the points of a GPX document with TinyXML. TinyXML is not safe on hostile input, so
// this runs only inside the GPX reader process (fenrik-gpx-reader), never in the program
// itself; the program reads GPX files through LoadTrackLog (GpxReader.h).

#include <cstdint>
#include <cstdio>
#include <string>

#include "track/TrackLog.h"

class TiXmlDocument;
class TiXmlNode;
class TiXmlElement;

// Parses the GPX document in `file` (read from its start; a second time, from its start again,
// when it has an XML error, to find the error's line and column) into `document`, which must be
// empty and stays built for the caller to release, and appends every complete point
// ("wpt", "trkpt" and "rtept" elements below the top level, in document order) to `log`,
// tracing each top-level node's value. Returns why the document could not be read whole ("could
// not be parsed: <what TinyXML found> at line L, column C"), or the empty text when it could;
// the points before an XML error are appended all the same.
std::string ReadGpxDocument(std::FILE* file, TiXmlDocument& document, TrackLog& log);

// Where the walk stands: the segment that track and route points below it belong to, and the
// number the next segment takes. Each "trkseg" and "rte" is a segment; a point in a "trk"
// outside any "trkseg", or in none of them, belongs to its innermost "trk", or to the
// document's own segment 0.
struct GpxWalkState {
    int32_t segment = 0;
    int32_t nextSegment = 1;
};

// Visits the child elements of `node` depth first, parent before children, tracing each node's
// value to the debugger output and reading point elements with ReadTrackPoint.
void WalkGpxNode(TiXmlNode* node, TrackLog& log, GpxWalkState& state);

// Builds a point from a point element and appends it with its kind: "wpt" a waypoint of no
// segment, "trkpt" and "rtept" of the state's segment. It is discarded silently when "lat",
// "lon" or a usable "time" is missing (see ParseGpxTime), and with a trace when a coordinate or
// the elevation is not a finite number or the position lies off the globe (latitude outside
// -90..90, longitude outside -180..180). Numbers are read as atof reads them in the C locale.
// An "ele" element without content gives no elevation (-9999.0). The time keeps its fraction
// of a second.
void ReadTrackPoint(TiXmlElement* element, TrackLog& log, int32_t segment);
