// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The date and time texts of Exif.

#include <cstdint>
#include <optional>
#include <string>

// The FILETIME count of "2007:06:01 12:34:56", split at colons and spaces; missing seconds are 0.
// Nothing for four or fewer fields or an invalid date and time.
std::optional<uint64_t> ParseExifDateTime(const std::string& text);
