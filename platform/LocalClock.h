// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's local date and time as text, for log lines.

#include <ctime>
#include <string>

// The user's short date: the date representation of the LC_TIME locale from the environment
// (for example "12/08/26" in the C locale, "08.12.2026" in de_DE).
std::string FormatShortDate(const std::tm& local);

// 24-hour time as HH:MM:SS.
std::string FormatTime24(const std::tm& local);

// The current local time.
std::tm LocalTimeNow();
