// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The time of a GPX point.

#include <optional>

#include "platform/FileTime.h"

// The UTC time of a GPX "time" text. Its first six numeric fields, split at any run of the
// characters "TZ-: ,", tab and line feed, are year, month, day, hour, minute and second, each
// read as atoi reads it, the seconds with their fraction (to 100 ns). A zone offset right after the
// seconds ("+03:00", "-0500", "+02") is taken off, so that the result is UTC; "Z", no zone or
// anything else after the seconds leaves the fields as they stand. Returns nothing when there
// are fewer than six fields. Fields that do not form a valid date and time give time 0, as
// does an offset that would move the time before 1601.
std::optional<FILETIME> ParseGpxTime(const char* text);
