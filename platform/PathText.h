// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Joining folder texts and file names.

#include <string>

// The platform's path separator.
constexpr char kPathSeparator = '/';

// The folder text, exactly one separator, then the name. Nothing is removed or normalised:
// a folder that already ends in a separator gives two in a row, an empty folder gives
// "/name".
std::string JoinPath(const std::string& folder, const std::string& name);
