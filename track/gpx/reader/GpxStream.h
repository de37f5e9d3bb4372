// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a GPX document's points as its bytes stream past (expat), in memory that follows the
// points kept and the depth, never the document's size. Reader process only.
//
// Each "trkseg", "rte" and "trk" below the top starts a segment (0 outside any); a "wpt", "trkpt"
// or "rtept" is a point, in start-tag order, from "lat", "lon" and the first node of its first
// "ele" and "time"; it needs "lat", "lon" and a time (ReadTrackPoint's rules decide the rest).

#include <cstddef>
#include <memory>
#include <string>

#include "track/TrackLog.h"

class GpxStream {
public:
    // Reads bytes as ISO-8859-1 whatever the document declares (numbers and times are ASCII);
    // skips a UTF-8 byte-order mark.
    explicit GpxStream(TrackLog& log, size_t maxDepth);
    ~GpxStream();
    GpxStream(const GpxStream&) = delete;
    GpxStream& operator=(const GpxStream&) = delete;

    // Parses the next bytes (`last` for the final ones); false once the document broke off,
    // declared its own entity or nested past `maxDepth`, with the points before in the log.
    bool Feed(const char* data, size_t size, bool last);
    bool TooDeep() const;
    // "could not be parsed: <expat's message> at line L, column C", or the empty text.
    std::string Problem() const;

    struct State;

private:
    std::unique_ptr<State> m_State;
};
