// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The time of a GPX point.

#include <optional>

#include "platform/FileTime.h"

// The UTC time of a GPX "time" text: six fields split at runs of "TZ-: ,\t\n", the seconds to
// 100 ns, less an offset ("+03:00", "-0500", "+02") right after them. Nothing for fewer than six
// fields; time 0 for an invalid date and time, or one before 1601.
std::optional<FILETIME> ParseGpxTime(const char* text);
