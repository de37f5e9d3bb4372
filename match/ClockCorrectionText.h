// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A camera clock correction, and lengths of time, in words.

#include <cstdint>
#include <string>

// "none", "camera 3 min 20 s fast" (positive), "camera 1 h 0 min 5 s slow".
std::string CorrectionText(int64_t correctionSeconds);

// Without sign: "0 s", "3 min 20 s", "3 d 2 h 0 min 0 s".
std::string DurationText(int64_t seconds);
