// SPDX-License-Identifier: GPL-3.0-or-later
#include "match/TimestampMatcher.h"

#include <algorithm>
#include <limits>

#include "match/TrackPlacement.h"
#include "platform/FileTime.h"
#include "platform/Log.h"
#include "platform/NumberText.h"

namespace {

int64_t WrappingAdd(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}

int64_t WrappingSub(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

int64_t WrappingMul(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

// |a - b| without overflow.
uint64_t Distance(int64_t a, int64_t b) {
    return a >= b ? static_cast<uint64_t>(a) - static_cast<uint64_t>(b)
                  : static_cast<uint64_t>(b) - static_cast<uint64_t>(a);
}

constexpr uint64_t kNoDistance = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());

struct Window {
    int64_t lower;
    int64_t upper;
};

Window WindowAround(int64_t capture, int64_t tolerance) {
    const int64_t a = WrappingSub(capture, tolerance);
    const int64_t b = WrappingAdd(capture, tolerance);
    return {std::min(a, b), std::max(a, b)};
}

int64_t ShiftedTime(const TrackPoint& point, int64_t bias) {
    return WrappingSub(WholeSecondTime(point), bias);
}

// "%i:%i:%iT%i:%i:%i\n" of a shifted time; zeros for a time before 1601.
std::string FormatShiftedTime(int64_t shifted) {
    SYSTEMTIME st;
    FileTimeToSystemTime(CountToFileTime(static_cast<uint64_t>(shifted)), &st);
    return FormatC(100, "%i:%i:%iT%i:%i:%i\n", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                   st.wSecond);
}

}  // namespace

int64_t ToleranceUnits(const std::string& hoursText, const std::string& minutesText) {
    const int64_t hoursProduct =
        static_cast<int32_t>(static_cast<uint32_t>(CrtAtoi(hoursText)) * 60u);
    const int64_t minutes = WrappingAdd(hoursProduct, CrtAtoi(minutesText));
    return WrappingMul(minutes, kFileTimeUnitsPerMinute);
}

int64_t WholeSecondTime(const TrackPoint& point) {
    const uint64_t count = FileTimeToCount(point.time);
    return static_cast<int64_t>(count - count % kFileTimeUnitsPerSecond);
}

int64_t BiasUnits(int32_t biasInMinutes) {
    return static_cast<int64_t>(biasInMinutes) * kFileTimeUnitsPerMinute;
}

ptrdiff_t ScanForBestMatch(const TrackLog& log, const MatchQuery& query, bool writeLogLines) {
    const Window window = WindowAround(query.capture, query.tolerance);
    uint64_t bestDistance = kNoDistance;
    ptrdiff_t bestPosition = -1;
    for (size_t i = 0; i < log.Count(); ++i) {
        const int64_t shifted = ShiftedTime(log.At(i), query.bias);
        if (writeLogLines) {
            Log::Instance().Write(Debug, "Checking for match with timestamp:");
            Log::Instance().Write(Debug, FormatShiftedTime(shifted));
        }
        if (shifted < window.lower || shifted > window.upper) {
            continue;
        }
        const uint64_t distance = Distance(shifted, query.capture);
        if (distance < bestDistance) {
            if (writeLogLines) {
                Log::Instance().Write(Debug, "Match!");
            }
            bestDistance = distance;
            bestPosition = static_cast<ptrdiff_t>(i);
        }
    }
    return bestPosition;
}

void TrackTimeIndex::Prepare(const TrackLog& log, int64_t bias) {
    if (m_Log == &log && m_Generation == log.Generation() && m_Bias == bias) {
        return;
    }
    m_Entries.clear();
    m_Entries.reserve(log.Count());
    for (size_t i = 0; i < log.Count(); ++i) {
        m_Entries.push_back({ShiftedTime(log.At(i), bias), i});
    }
    std::sort(m_Entries.begin(), m_Entries.end(), [](const Entry& a, const Entry& b) {
        return a.shiftedTime != b.shiftedTime ? a.shiftedTime < b.shiftedTime
                                              : a.position < b.position;
    });
    m_Log = &log;
    m_Generation = log.Generation();
    m_Bias = bias;
}

std::vector<TrackTimeIndex::Entry>::const_iterator TrackTimeIndex::GroupStart(
    std::vector<Entry>::const_iterator it) const {
    return std::lower_bound(m_Entries.begin(), it, it->shiftedTime,
                            [](const Entry& e, int64_t t) { return e.shiftedTime < t; });
}

ptrdiff_t TrackTimeIndex::FindBestMatch(int64_t capture, int64_t tolerance) const {
    const Window window = WindowAround(capture, tolerance);
    const auto firstAtOrAfter = [this](int64_t t) {
        return std::lower_bound(m_Entries.begin(), m_Entries.end(), t,
                                [](const Entry& e, int64_t v) { return e.shiftedTime < v; });
    };
    const auto inWindow = [&window](const Entry& e) {
        return e.shiftedTime >= window.lower && e.shiftedTime <= window.upper;
    };
    // The closest point in the window lies next to the capture time, or at the window's edge
    // nearer to it when the capture time is outside the window (only when the window wraps).
    const int64_t pivot = std::clamp(capture, window.lower, window.upper);
    const auto above = firstAtOrAfter(pivot);
    uint64_t bestDistance = kNoDistance;
    ptrdiff_t bestPosition = -1;
    const auto consider = [&](const Entry& e) {
        if (!inWindow(e)) {
            return;
        }
        const uint64_t distance = Distance(e.shiftedTime, capture);
        const ptrdiff_t position = static_cast<ptrdiff_t>(e.position);
        if (distance < bestDistance ||
            (distance == bestDistance && bestPosition >= 0 && position < bestPosition)) {
            bestDistance = distance;
            bestPosition = position;
        }
    };
    if (above != m_Entries.end()) {
        consider(*above);
    }
    if (above != m_Entries.begin()) {
        consider(*GroupStart(above - 1));
    }
    return bestPosition;
}

TrackMatcher::TrackMatcher(const TrackLog& log) : m_Log(log) {}

TrackMatcher::~TrackMatcher() = default;

PlacementAnswer TrackMatcher::Place(int64_t utc, int64_t capture, int64_t bias, int64_t tolerance,
                                    int64_t maxGap) {
    if (m_Placement == nullptr || m_PlacementGap != maxGap) {
        m_Placement = std::make_unique<TrackPlacement>(m_Log, maxGap);
        m_PlacementGap = maxGap;
    }
    return m_Placement->Place(utc, capture, bias, tolerance, *this);
}

std::optional<TrackMatch> TrackMatcher::FindBestMatch(int64_t capture, int64_t bias,
                                                      int64_t tolerance) {
    // Shifting the capture by the bias instead of every point gives the same answer, so one
    // index serves photos read with different offsets.
    m_Index.Prepare(m_Log, 0);
    const ptrdiff_t best = m_Index.FindBestMatch(WrappingAdd(capture, bias), tolerance);
    if (best < 0) {
        return std::nullopt;
    }
    const size_t position = static_cast<size_t>(best);
    const TrackPoint& point = m_Log.At(position);
    TrackMatch match;
    match.position = PositionOf(point);
    match.before = match.after = position;
    match.beforeTime = match.afterTime = WholeSecondTime(point);
    return match;
}
