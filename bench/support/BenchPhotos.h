// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Generated photos for the benchmarks.

#include <cstdint>
#include <string>

inline constexpr int64_t kBenchDayStart = 1180656000;  // 2007-06-01 00:00:00 UTC

// A noisy JPEG of `width` x `height` at `quality` written to `path`, encoded once to be copied.
// Returns `path`.
std::string MakeTemplateJpeg(const std::string& path, int width, int height, int quality = 92);

// `count` copies of the template in `folder`, taken `spacing` seconds apart (camera clock on
// UTC) from 00:00:30 on kBenchDayStart's day, the capture time in both the digitized and the
// original tag.
void MakePhotoFolder(const std::string& folder, const std::string& templ, int count,
                     int spacing = 60);
