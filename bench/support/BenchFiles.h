// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Generated inputs for the benchmarks.

#include <cstdint>
#include <string>

// Writes a GPX file of `points` track points one second apart from `startUnixSeconds`, moving
// along a short line with an elevation, as a 1 Hz logger does. Returns the file size in bytes.
uint64_t WriteGeneratedGpx(const std::string& path, int64_t points, int64_t startUnixSeconds);

// A fresh temporary folder (not removed; the caller removes it).
std::string MakeTempFolder(const char* prefix);
void RemoveFolder(const std::string& path);
