// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Joining folder texts and file names, and taking them apart.

#include <string>

constexpr char kPathSeparator = '/';

// Folder, one separator, name, nothing normalised: "a/" gives "a//name", "" gives "/name".
std::string JoinPath(const std::string& folder, const std::string& name);

// All before the last separator; "/" for a name at the root, "." without a separator.
std::string FolderOf(const std::string& path);

// All after the last separator; the whole path when it has none.
std::string FileNameOf(const std::string& path);
