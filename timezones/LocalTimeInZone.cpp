// SPDX-License-Identifier: GPL-3.0-or-later
#include "timezones/LocalTimeInZone.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

constexpr int64_t kDay = 86400;

QTimeZone ZoneOf(const std::string& zoneId) {
    return QTimeZone(QByteArray::fromStdString(zoneId));
}

int32_t OffsetAtUtc(const QTimeZone& zone, int64_t utcSeconds) {
    return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(utcSeconds, QTimeZone::utc()));
}

bool IsSummerTimeAtUtc(const QTimeZone& zone, int64_t utcSeconds) {
    return zone.isDaylightTime(QDateTime::fromSecsSinceEpoch(utcSeconds, QTimeZone::utc()));
}

}  // namespace

bool IsKnownZone(const std::string& zoneId) {
    return !zoneId.empty() && ZoneOf(zoneId).isValid();
}

std::optional<ZoneOffset> OffsetAtLocalTime(const std::string& zoneId, int64_t localSeconds) {
    if (zoneId.empty()) {
        return std::nullopt;
    }
    const QTimeZone zone = ZoneOf(zoneId);
    if (!zone.isValid()) {
        return std::nullopt;
    }
    // The offsets the zone could have around this local time; real zones change offset at most
    // once in a couple of days.
    std::vector<int32_t> candidates;
    for (const int64_t shift : {-2 * kDay, -kDay / 2, int64_t{0}, kDay / 2, 2 * kDay}) {
        candidates.push_back(OffsetAtUtc(zone, localSeconds + shift));
    }
    // An offset reads this local time when the instant it names has that offset. Of two such
    // (the repeated hour), the larger offset names the earlier instant: the first occurrence.
    std::optional<int32_t> chosen;
    for (const int32_t offset : candidates) {
        if (OffsetAtUtc(zone, localSeconds - offset) == offset && (!chosen || offset > *chosen)) {
            chosen = offset;
        }
    }
    // An instant at which the chosen offset is in force.
    int64_t instant = 0;
    if (chosen) {
        instant = localSeconds - *chosen;
    } else {
        // The skipped hour: the offset in force just before the clocks went forward, which is
        // the offset at the instant the later (larger) offset would name.
        instant = localSeconds - *std::max_element(candidates.begin(), candidates.end());
        chosen = OffsetAtUtc(zone, instant);
    }
    ZoneOffset result;
    result.offsetSeconds = *chosen;
    result.summerTime = IsSummerTimeAtUtc(zone, instant);
    return result;
}
