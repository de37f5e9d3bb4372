// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Joining folder texts and file names, and taking them apart.

#include <string>

// The platform's path separator.
constexpr char kPathSeparator = '/';

// The folder text, exactly one separator, then the name. Nothing is removed or normalised:
// a folder that already ends in a separator gives two in a row, an empty folder gives
// "/name".
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder of a path: everything before its last separator; "/" for a name at the root, "."
// for a path without a separator.
std::string FolderOf(const std::string& path);

// The name of a path: everything after its last separator; the whole path when it has none.
std::string FileNameOf(const std::string& path);
