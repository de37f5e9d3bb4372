// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A camera clock correction, and lengths of time, in words.

#include <cstdint>
#include <string>

// A clock correction in words: "none", "camera 3 min 20 s fast", "camera 1 h 0 min 5 s slow".
// Positive means the camera clock was ahead of the true time.
std::string CorrectionText(int64_t correctionSeconds);

// A length of time in words, without sign: "0 s", "40 s", "3 min 20 s", "2 h 0 min 5 s",
// "3 d 2 h 0 min 0 s".
std::string DurationText(int64_t seconds);
