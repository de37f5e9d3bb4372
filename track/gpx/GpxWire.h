// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GPX reader process's answer: records of a kind byte and a body, in native byte order:
//   'T' u32 length, trace text | 'X' u32 length, the XML error | 'R' u8 kind, i32 segment |
//   'P' f64 lon, lat, ele, u64 time | 'E' u64 point count, the last record.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "track/TrackLog.h"
#include "track/TrackPoint.h"

// Writes records to a file descriptor in large blocks.
class GpxAnswerWriter {
public:
    explicit GpxAnswerWriter(int fd) : m_Fd(fd) {}
    ~GpxAnswerWriter();
    GpxAnswerWriter(const GpxAnswerWriter&) = delete;
    GpxAnswerWriter& operator=(const GpxAnswerWriter&) = delete;

    void Trace(const std::string& text);
    void Problem(const std::string& text);
    void Point(const TrackPoint& point, PointKind kind, int32_t segment);
    // Writes the end record and flushes; false when a write failed.
    bool End(uint64_t count);

private:
    void Text(char kind, const std::string& text);
    void Put(const void* data, size_t size);
    bool Flush();

    int m_Fd;
    bool m_Failed = false;
    bool m_RunSent = false;
    PointKind m_Kind = PointKind::Track;
    int32_t m_Segment = 0;
    std::vector<unsigned char> m_Buffer;
};

struct GpxAnswer {
    TrackLog log;
    std::string problem;  // empty when the document was read whole
};

// Decodes an answer as it arrives, passing on each trace once complete. Any deviation from the
// format or the limits makes the answer malformed for good.
class GpxAnswerReader {
public:
    using TraceFn = std::function<void(const std::string& text)>;

    // With `moreMayFollow`, the bytes after the end record are the next answer's (TakeRest).
    GpxAnswerReader(size_t maxRecordBytes, size_t maxPoints, TraceFn trace,
                    bool moreMayFollow = false);

    void Feed(const unsigned char* data, size_t size);
    bool IsMalformed() const { return m_Malformed; }
    bool IsComplete() const {
        return m_Ended && !m_Malformed && (m_MoreMayFollow || m_Pending.empty());
    }
    // The bytes received after the end record.
    std::vector<unsigned char> TakeRest() { return std::exchange(m_Pending, {}); }
    // Whole only when IsComplete().
    GpxAnswer& Answer() { return m_Answer; }

private:
    // Each decodes one record and advances; false or 0 while incomplete or once malformed.
    bool DecodeOne(size_t& offset);
    size_t DecodeText(const unsigned char* at, size_t available);
    size_t DecodeRun(const unsigned char* at, size_t available);
    size_t DecodePoint(const unsigned char* at, size_t available);
    size_t DecodeEnd(const unsigned char* at, size_t available);
    bool Fail();

    size_t m_MaxRecordBytes;
    size_t m_MaxPoints;
    TraceFn m_Trace;
    std::vector<unsigned char> m_Pending;
    GpxAnswer m_Answer;
    PointKind m_Kind = PointKind::Track;
    int32_t m_Segment = 0;
    bool m_MoreMayFollow = false;
    bool m_Ended = false;
    bool m_Malformed = false;
};

// The GPX reader process's exit status, besides death by a signal.
enum GpxReaderExit : int {
    kGpxReaderAnswered = 0,        // the answer is complete
    kGpxReaderBadInput = 2,        // bad arguments, or standard input is not a regular file
    kGpxReaderTooDeep = 3,         // the document is nested too deeply for the parser's stack
    kGpxReaderOutOfMemory = 4,     // the document needs more memory than the limit allows
    kGpxReaderCannotAnswer = 5,    // the answer could not be written
    kGpxReaderOutputTooLarge = 6,  // a converter's output grew past its limit
};
