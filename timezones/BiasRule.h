#pragma once
// The bias rule: a camera time T, taken as the local standard time of the chosen zone, is UTC
// T + bias minutes; a UTC time U reads U - bias minutes on that camera's clock. No daylight saving
// correction is made. Header-only, so that the tagging engine uses it without linking this layer.

#include <cstdint>

#include "platform/FileTime.h"  // kFileTimeUnitsPerMinute

// The bias in FILETIME units, computed in 64 bits (no overflow for any 32-bit bias).
constexpr int64_t BiasOffset(int32_t biasInMinutes) {
    return static_cast<int64_t>(biasInMinutes) * kFileTimeUnitsPerMinute;
}

// A UTC FILETIME count as the camera's clock shows it.
constexpr int64_t UtcToCameraTime(int64_t utcFileTime, int32_t biasInMinutes) {
    return utcFileTime - BiasOffset(biasInMinutes);
}
