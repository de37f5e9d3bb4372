// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the points of a GPX document as its bytes stream past, with expat: memory follows the
// points kept and the depth of the element being read, never the size of the document. Reader
// process only.
//
// The rules are those of the program's GPX reading: below the document's top elements, each
// "trkseg", "rte" and "trk" starts a segment (points outside any are in segment 0); a "wpt",
// "trkpt" or "rtept" is a point, in document order of its start tag, read from its "lat" and "lon"
// attributes and from the first node inside its first "ele" and "time" children (text with its
// white space condensed, CDATA as it is, a comment's text, an element's name). A point needs
// "lat", "lon" and a time; ReadTrackPoint's rules decide the rest.

#include <cstddef>
#include <memory>
#include <string>

#include "track/TrackLog.h"

class GpxStream {
public:
    // Bytes are taken as ISO-8859-1 whatever the document declares, so that every byte reads as
    // one character, as in a single-byte encoding; UTF-8 values stay bytes for bytes in the
    // ASCII that numbers and times are written in. A UTF-8 byte-order mark is skipped.
    explicit GpxStream(TrackLog& log, size_t maxDepth);
    ~GpxStream();
    GpxStream(const GpxStream&) = delete;
    GpxStream& operator=(const GpxStream&) = delete;

    // Parses the next bytes (`last` for the final ones); false once the document broke off,
    // declared an entity of its own or nested deeper than `maxDepth`. The points before the break
    // are in the log.
    bool Feed(const char* data, size_t size, bool last);
    bool TooDeep() const;
    // "could not be parsed: <expat's message> at line L, column C", or the empty text.
    std::string Problem() const;

    struct State;

private:
    std::unique_ptr<State> m_State;
};
