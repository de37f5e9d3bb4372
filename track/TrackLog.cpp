// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/TrackLog.h"

void TrackLog::Append(const TrackPoint& point) {
    m_Points.push_back(point);
    ++m_Generation;
}

void TrackLog::Empty() {
    std::deque<TrackPoint>().swap(m_Points);
    ++m_Generation;
}
