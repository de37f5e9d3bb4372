// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The date and time texts of Exif.

#include <cstdint>
#include <optional>
#include <string>

// The capture time of an Exif date text ("2007:06:01 12:34:56"): six fields split at colons
// and spaces; a missing sixth field means 0 seconds. Returns nothing for four or fewer fields
// or for numbers that do not form a valid date and time.
std::optional<uint64_t> ParseExifDateTime(const std::string& text);
