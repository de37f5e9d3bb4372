// SPDX-License-Identifier: GPL-3.0-or-later
#include "match/TrackPlacement.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr double kDegrees = 180.0 / M_PI;

struct Vector3 {
    double x, y, z;
};

Vector3 UnitVector(const GeoPosition& p) {
    const double lat = p.latitude / kDegrees;
    const double lon = p.longitude / kDegrees;
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

int64_t TimeOf(const TrackPoint& point) {
    return static_cast<int64_t>(FileTimeToCount(point.time));
}

}  // namespace

GeoPosition InterpolatePosition(const GeoPosition& a, const GeoPosition& b, double fraction) {
    const Vector3 u = UnitVector(a);
    const Vector3 v = UnitVector(b);
    const double dot = std::clamp(u.x * v.x + u.y * v.y + u.z * v.z, -1.0, 1.0);
    const double angle = std::acos(dot);
    double wa = 1.0 - fraction;
    double wb = fraction;
    if (angle > 1e-12) {
        wa = std::sin((1.0 - fraction) * angle) / std::sin(angle);
        wb = std::sin(fraction * angle) / std::sin(angle);
    }
    const Vector3 w = {wa * u.x + wb * v.x, wa * u.y + wb * v.y, wa * u.z + wb * v.z};
    GeoPosition position;
    position.latitude = std::atan2(w.z, std::hypot(w.x, w.y)) * kDegrees;
    position.longitude =
        std::hypot(w.x, w.y) < 1e-15 ? a.longitude : std::atan2(w.y, w.x) * kDegrees;
    if (HasElevation(a.elevation) && HasElevation(b.elevation)) {
        position.elevation = a.elevation + (b.elevation - a.elevation) * fraction;
    } else {
        position.elevation = fraction <= 0.5 ? a.elevation : b.elevation;
    }
    return position;
}

TrackPlacement::TrackPlacement(const TrackLog& log, int64_t maxGap) : m_Log(log), m_MaxGap(maxGap) {
    std::map<int32_t, std::vector<Timed>> segments;
    for (size_t i = 0; i < log.Count(); ++i) {
        const int64_t time = TimeOf(log.At(i));
        if (time == 0) {
            continue;  // a date that was not valid
        }
        m_Times.push_back({time, i});
        const int32_t segment = log.RunAt(i).segment;
        if (segment != kNoSegment) {
            segments[segment].push_back({time, i});
            m_SegmentTimes.push_back(time);
        }
    }
    const auto byTime = [](const Timed& l, const Timed& r) {
        return l.time != r.time ? l.time < r.time : l.position < r.position;
    };
    std::sort(m_Times.begin(), m_Times.end(), byTime);
    std::sort(m_SegmentTimes.begin(), m_SegmentTimes.end());
    for (auto& [segment, points] : segments) {
        std::sort(points.begin(), points.end(), byTime);
        for (size_t i = 1; i < points.size(); ++i) {
            const Timed& a = points[i - 1];
            const Timed& b = points[i];
            if (a.time < b.time) {
                (b.time - a.time <= maxGap ? m_Legs : m_LongGaps)
                    .push_back({a.time, b.time, a.position, b.position});
            }
        }
    }
    SortWithReach(m_Legs, m_ReachSoFar);
    SortWithReach(m_LongGaps, m_LongGapReach);
}

void TrackPlacement::SortWithReach(std::vector<Leg>& legs, std::vector<int64_t>& reachSoFar) {
    std::sort(legs.begin(), legs.end(), [](const Leg& l, const Leg& r) {
        return l.start != r.start ? l.start < r.start : l.a < r.a;
    });
    int64_t reach = INT64_MIN;
    for (const Leg& leg : legs) {
        reach = std::max(reach, leg.end);
        reachSoFar.push_back(reach);
    }
}

const TrackPlacement::Leg* TrackPlacement::ShortestGapAround(int64_t utc) const {
    const auto after = std::lower_bound(m_LongGaps.begin(), m_LongGaps.end(), utc,
                                        [](const Leg& gap, int64_t v) { return gap.start < v; });
    const Leg* shortest = nullptr;
    for (size_t i = static_cast<size_t>(after - m_LongGaps.begin()); i-- > 0;) {
        if (m_LongGapReach[i] <= utc) {
            break;
        }
        const Leg& gap = m_LongGaps[i];
        if (gap.end > utc &&
            (shortest == nullptr || gap.end - gap.start < shortest->end - shortest->start)) {
            shortest = &gap;
        }
    }
    return shortest;
}

std::optional<TrackMatch> TrackPlacement::Exact(int64_t utc) const {
    const auto at = std::lower_bound(m_Times.begin(), m_Times.end(), utc,
                                     [](const Timed& t, int64_t v) { return t.time < v; });
    if (at == m_Times.end() || at->time != utc) {
        return std::nullopt;
    }
    TrackMatch match;
    match.position = PositionOf(m_Log.At(at->position));
    match.method = PlacementMethod::Exact;
    match.before = match.after = at->position;
    match.beforeTime = match.afterTime = utc;
    return match;
}

std::optional<TrackMatch> TrackPlacement::Between(int64_t utc) const {
    const auto after = std::lower_bound(m_Legs.begin(), m_Legs.end(), utc,
                                        [](const Leg& leg, int64_t v) { return leg.start < v; });
    const Leg* best = nullptr;
    // Earlier legs can reach past `utc` only while the latest end so far does, and only those
    // that start within the gap limit of it.
    for (size_t i = static_cast<size_t>(after - m_Legs.begin()); i-- > 0;) {
        const Leg& leg = m_Legs[i];
        if (m_ReachSoFar[i] <= utc || leg.start <= utc - m_MaxGap) {
            break;
        }
        const bool better = best == nullptr || leg.end - leg.start < best->end - best->start ||
                            (leg.end - leg.start == best->end - best->start && leg.a < best->a);
        if (leg.end > utc && better) {
            best = &leg;
        }
    }
    if (best == nullptr) {
        return std::nullopt;
    }
    const double fraction =
        static_cast<double>(utc - best->start) / static_cast<double>(best->end - best->start);
    TrackMatch match;
    match.position =
        InterpolatePosition(PositionOf(m_Log.At(best->a)), PositionOf(m_Log.At(best->b)), fraction);
    match.method = PlacementMethod::Interpolated;
    match.before = best->a;
    match.after = best->b;
    match.beforeTime = best->start;
    match.afterTime = best->end;
    return match;
}

Unplaced TrackPlacement::WhyNot(int64_t utc, int64_t& distance) const {
    if (m_Times.empty() || utc < m_Times.front().time) {
        distance = m_Times.empty() ? 0 : m_Times.front().time - utc;
        return Unplaced::BeforeTheTrack;
    }
    if (utc > m_Times.back().time) {
        distance = utc - m_Times.back().time;
        return Unplaced::AfterTheTrack;
    }
    if (const Leg* gap = ShortestGapAround(utc)) {
        distance = gap->end - gap->start;
        return Unplaced::InALongGap;
    }
    const bool segmentBefore = !m_SegmentTimes.empty() && m_SegmentTimes.front() < utc;
    const bool segmentAfter = !m_SegmentTimes.empty() && m_SegmentTimes.back() > utc;
    return segmentBefore && segmentAfter ? Unplaced::InAGap : Unplaced::BeyondTheTolerance;
}

PlacementAnswer TrackPlacement::Place(int64_t utc, int64_t capture, int64_t bias, int64_t tolerance,
                                      TrackMatcher& nearest) const {
    PlacementAnswer answer;
    answer.match = Exact(utc);
    if (!answer.match) {
        answer.match = Between(utc);
    }
    if (!answer.match) {
        answer.match = nearest.FindBestMatch(capture, bias, tolerance);
    }
    if (!answer.match) {
        answer.why = WhyNot(utc, answer.distance);
    }
    return answer;
}
