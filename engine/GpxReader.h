#pragma once
// Reading the points of a GPX file into a TrackLog.

#include <string>

#include "engine/TrackLog.h"

class TiXmlNode;
class TiXmlElement;

// What loading a GPX file gave.
struct GpxLoadReport {
    size_t points = 0;    // points appended to the log
    std::string problem;  // why the file was not read completely; empty when it was
};

// Appends every complete point ("wpt", "trkpt" and "rtept" elements below the top level, in
// document order) of the GPX file at `path` to `log`, which is not emptied first. An empty
// path, a missing file or a file that is not XML adds nothing and reports nothing; a file with
// an XML error adds the points read before the error. Never throws.
GpxLoadReport LoadTrackLog(const std::string& path, TrackLog& log);

// Visits the child elements of `node` depth first, parent before children, tracing each node's
// value to the debugger output and reading point elements with ReadTrackPoint.
void WalkGpxNode(TiXmlNode* node, TrackLog& log);

// Builds a point from a point element and appends it, or discards it when "lat", "lon" or a
// usable "time" is missing. A "time" text needs six numeric tokens; six that do not form a
// valid date give time 0. An "ele" element without content gives no elevation (-9999.0).
void ReadTrackPoint(TiXmlElement* element, TrackLog& log);
