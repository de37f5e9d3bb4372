// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/TrackLog.h"

#include <algorithm>
#include <map>

void TrackLog::Append(const TrackPoint& point, PointKind kind, int32_t segment) {
    if (m_Runs.empty() || m_Runs.back().kind != kind || m_Runs.back().segment != segment) {
        m_Runs.push_back({m_Points.size(), kind, segment});
        m_NextSegment = std::max(m_NextSegment, segment + 1);
    }
    m_Points.push_back(point);
    ++m_Generation;
}

void TrackLog::Append(const TrackPoint& point) {
    if (m_Runs.empty()) {
        Append(point, PointKind::Track, 0);
    } else {
        Append(point, m_Runs.back().kind, m_Runs.back().segment);
    }
}

void TrackLog::AppendLog(const TrackLog& other, const std::string& path,
                         const std::string& format) {
    AppendLog(TrackLog(other), path, format);
}

void TrackLog::AppendLog(TrackLog&& other, const std::string& path, const std::string& format) {
    if (other.IsEmpty()) {
        return;
    }
    m_Origins.push_back({path, format, m_Points.size(), other.Count()});
    std::map<int32_t, int32_t> renumbered;
    const size_t total = other.Count();
    for (size_t r = 0; r < other.m_Runs.size(); ++r) {
        const TrackRun& run = other.m_Runs[r];
        const size_t end = r + 1 < other.m_Runs.size() ? other.m_Runs[r + 1].first : total;
        int32_t segment = kNoSegment;
        if (run.segment != kNoSegment) {
            segment = renumbered.emplace(run.segment, m_NextSegment).first->second;
        }
        // Each point leaves `other` as it arrives: the two never hold the track twice over.
        for (size_t i = run.first; i < end; ++i) {
            Append(other.m_Points.front(), run.kind, segment);
            other.m_Points.pop_front();
        }
    }
    other.Empty();
}

void TrackLog::Empty() {
    std::deque<TrackPoint>().swap(m_Points);
    m_Runs.clear();
    m_Origins.clear();
    m_NextSegment = 0;
    ++m_Generation;
}

const TrackRun& TrackLog::RunAt(size_t position) const {
    const auto after =
        std::upper_bound(m_Runs.begin(), m_Runs.end(), position,
                         [](size_t p, const TrackRun& run) { return p < run.first; });
    return *(after - 1);
}
