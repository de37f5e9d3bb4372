// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's local date and time as text, for log lines.

#include <ctime>
#include <string>

// The date representation of the environment's LC_TIME locale ("12/08/26" in the C locale).
std::string FormatShortDate(const std::tm& local);

// HH:MM:SS, 24-hour.
std::string FormatTime24(const std::tm& local);

std::tm LocalTimeNow();
