// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a small file whole: a flushed new file renamed over the path, never half written.

#include <string>

#include "platform/Status.h"

// Writes `content` to `path`, readable and writable as the process's file-creation mask allows.
// Refused, with `path` left as it was, when it names something other than a file (a folder).
Status WriteWholeFile(const std::string& path, const std::string& content);
