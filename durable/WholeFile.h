// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a whole small file so that it is either as it was or complete: a new file in the same
// folder, flushed, then renamed over the path.

#include <string>

#include "platform/Status.h"

// Writes `content` to `path`, readable and writable as the process's file-creation mask allows.
// Refused, with `path` left as it was, when it names something other than a file (a folder).
Status WriteWholeFile(const std::string& path, const std::string& content);
