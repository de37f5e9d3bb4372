// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The answer that the GPX reader process sends back through its pipe: a stream of records,
// each a one-byte kind followed by its body.
//
//   'T' length(u32) bytes   a trace text, sent on to the debugger output
//   'X' length(u32) bytes   why the document was read only in part (an XML error)
//   'R' kind (u8) segment (i32)            the kind and segment of the points that follow
//   'P' lon lat ele (3 x f64) time (u64)   one point, in document order
//   'E' count(u64)          the end: the number of points sent
//
// Numbers are in the machine's own byte order; both ends are the same program on the same
// machine. Nothing may follow the end record.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "track/TrackLog.h"
#include "track/TrackPoint.h"

// Collects records and writes them to a file descriptor in large blocks.
class GpxAnswerWriter {
public:
    explicit GpxAnswerWriter(int fd) : m_Fd(fd) {}
    ~GpxAnswerWriter();
    GpxAnswerWriter(const GpxAnswerWriter&) = delete;
    GpxAnswerWriter& operator=(const GpxAnswerWriter&) = delete;

    void Trace(const std::string& text);
    void Problem(const std::string& text);
    // Sends a run record first when the kind or segment differs from the last point's.
    void Point(const TrackPoint& point, PointKind kind, int32_t segment);
    // Writes the end record and everything still buffered. False when a write failed.
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

// What the records of a complete answer said.
struct GpxAnswer {
    TrackLog log;
    std::string problem;  // empty when the document was read whole
};

// Decodes an answer as its bytes arrive. Traces are handed to the trace function as soon as
// they are complete. Any deviation from the format (an unknown kind, a length beyond the limit,
// too many points, bytes after the end, a count that disagrees) makes the answer malformed for
// good.
class GpxAnswerReader {
public:
    using TraceFn = std::function<void(const std::string& text)>;

    // `maxRecordBytes` bounds each text record, `maxPoints` the number of points.
    GpxAnswerReader(size_t maxRecordBytes, size_t maxPoints, TraceFn trace);

    void Feed(const unsigned char* data, size_t size);
    bool IsMalformed() const { return m_Malformed; }
    // True once a well-formed end record has been read with nothing after it.
    bool IsComplete() const { return m_Ended && !m_Malformed && m_Pending.empty(); }
    // The decoded answer; whole only when IsComplete().
    GpxAnswer& Answer() { return m_Answer; }

private:
    // Decodes the record at `offset` and advances past it. False when the record is not
    // complete yet, or when the answer is malformed.
    bool DecodeOne(size_t& offset);
    // Each decodes the record of its kind at `at`, of which `available` bytes have arrived, and
    // returns its size; 0 when it has not arrived whole, or when the answer is malformed.
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
    bool m_Ended = false;
    bool m_Malformed = false;
};

// The GPX reader process's exit status, besides death by a signal.
enum GpxReaderExit : int {
    kGpxReaderAnswered = 0,      // the answer is complete
    kGpxReaderBadInput = 2,      // bad arguments, or standard input is not a regular file
    kGpxReaderTooDeep = 3,       // the document is nested too deeply for the parser's stack
    kGpxReaderOutOfMemory = 4,   // the document needs more memory than the limit allows
    kGpxReaderCannotAnswer = 5,  // the answer could not be written
};
