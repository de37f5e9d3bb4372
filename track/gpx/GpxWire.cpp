// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/GpxWire.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kFlushAt = 1 << 16;
constexpr size_t kPointBytes = 3 * sizeof(double) + sizeof(uint64_t);

template <typename T>
T Take(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace

GpxAnswerWriter::~GpxAnswerWriter() {
    Flush();
}

void GpxAnswerWriter::Trace(const std::string& text) {
    Text('T', text);
}

void GpxAnswerWriter::Problem(const std::string& text) {
    Text('X', text);
}

void GpxAnswerWriter::Point(const TrackPoint& point, PointKind kind, int32_t segment) {
    if (!m_RunSent || kind != m_Kind || segment != m_Segment) {
        const auto kindByte = static_cast<uint8_t>(kind);
        Put("R", 1);
        Put(&kindByte, 1);
        Put(&segment, sizeof segment);
        m_RunSent = true;
        m_Kind = kind;
        m_Segment = segment;
    }
    const uint64_t time = FileTimeToCount(point.time);
    Put("P", 1);
    Put(&point.longitude, sizeof point.longitude);
    Put(&point.latitude, sizeof point.latitude);
    Put(&point.elevation, sizeof point.elevation);
    Put(&time, sizeof time);
}

bool GpxAnswerWriter::End(uint64_t count) {
    Put("E", 1);
    Put(&count, sizeof count);
    return Flush();
}

void GpxAnswerWriter::Text(char kind, const std::string& text) {
    const uint32_t length = static_cast<uint32_t>(text.size());
    Put(&kind, 1);
    Put(&length, sizeof length);
    Put(text.data(), length);
}

void GpxAnswerWriter::Put(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    m_Buffer.insert(m_Buffer.end(), bytes, bytes + size);
    if (m_Buffer.size() >= kFlushAt) {
        Flush();
    }
}

bool GpxAnswerWriter::Flush() {
    size_t done = 0;
    while (!m_Failed && done < m_Buffer.size()) {
        const ssize_t n = write(m_Fd, m_Buffer.data() + done, m_Buffer.size() - done);
        if (n < 0 && errno != EINTR) {
            m_Failed = true;
        }
        done += n > 0 ? static_cast<size_t>(n) : 0;
    }
    m_Buffer.clear();
    return !m_Failed;
}

GpxAnswerReader::GpxAnswerReader(size_t maxRecordBytes, size_t maxPoints, TraceFn trace,
                                 bool moreMayFollow)
    : m_MaxRecordBytes(maxRecordBytes),
      m_MaxPoints(maxPoints),
      m_Trace(std::move(trace)),
      m_MoreMayFollow(moreMayFollow) {}

void GpxAnswerReader::Feed(const unsigned char* data, size_t size) {
    if (m_Malformed) {
        return;
    }
    m_Pending.insert(m_Pending.end(), data, data + size);
    size_t offset = 0;
    while (DecodeOne(offset)) {
    }
    m_Pending.erase(m_Pending.begin(), m_Pending.begin() + static_cast<ptrdiff_t>(offset));
    if (m_Ended && !m_Pending.empty() && !m_MoreMayFollow) {
        Fail();
    }
}

bool GpxAnswerReader::DecodeOne(size_t& offset) {
    const size_t available = m_Pending.size() - offset;
    if (m_Malformed || m_Ended || available == 0) {
        return false;
    }
    const unsigned char* at = m_Pending.data() + offset;
    size_t used = 0;
    switch (at[0]) {
        case 'T':
        case 'X':
            used = DecodeText(at, available);
            break;
        case 'R':
            used = DecodeRun(at, available);
            break;
        case 'P':
            used = DecodePoint(at, available);
            break;
        case 'E':
            used = DecodeEnd(at, available);
            break;
        default:
            return Fail();
    }
    offset += used;
    return used > 0 && !m_Ended;
}

size_t GpxAnswerReader::DecodeText(const unsigned char* at, size_t available) {
    if (available < 5) {
        return 0;
    }
    const uint32_t length = Take<uint32_t>(at + 1);
    if (length > m_MaxRecordBytes) {
        Fail();
        return 0;
    }
    if (available < 5 + size_t{length}) {
        return 0;
    }
    std::string text(reinterpret_cast<const char*>(at + 5), length);
    if (at[0] == 'T') {
        m_Trace(text);
    } else {
        m_Answer.problem = std::move(text);
    }
    return 5 + size_t{length};
}

size_t GpxAnswerReader::DecodeRun(const unsigned char* at, size_t available) {
    if (available < 6) {
        return 0;
    }
    const uint8_t kind = at[1];
    const int32_t segment = Take<int32_t>(at + 2);
    const bool waypoint = kind == static_cast<uint8_t>(PointKind::Waypoint);
    if (kind > static_cast<uint8_t>(PointKind::Route) || (waypoint != (segment == kNoSegment)) ||
        segment < kNoSegment || segment == INT32_MAX) {
        Fail();
        return 0;
    }
    m_Kind = static_cast<PointKind>(kind);
    m_Segment = segment;
    return 6;
}

size_t GpxAnswerReader::DecodePoint(const unsigned char* at, size_t available) {
    if (available < 1 + kPointBytes) {
        return 0;
    }
    if (m_Answer.log.Count() >= m_MaxPoints) {
        Fail();
        return 0;
    }
    TrackPoint point;
    point.longitude = Take<double>(at + 1);
    point.latitude = Take<double>(at + 9);
    point.elevation = Take<double>(at + 17);
    point.time = CountToFileTime(Take<uint64_t>(at + 25));
    m_Answer.log.Append(point, m_Kind, m_Segment);
    return 1 + kPointBytes;
}

size_t GpxAnswerReader::DecodeEnd(const unsigned char* at, size_t available) {
    if (available < 9) {
        return 0;
    }
    if (Take<uint64_t>(at + 1) != m_Answer.log.Count()) {
        Fail();
        return 0;
    }
    m_Ended = true;
    return 9;
}

bool GpxAnswerReader::Fail() {
    m_Malformed = true;
    m_Answer = GpxAnswer{};
    return false;
}
