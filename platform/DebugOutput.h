// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process-wide trace channel, apart from the log file. By default traces go to standard error
// when FENRIK_DEBUG is set and not empty (read at the first trace), and are dropped otherwise.

#include <functional>
#include <string>

using DebugSink = std::function<void(const std::string& text)>;

// Sends text, unchanged and without adding a line end, to the current sink. Thread-safe.
void OutputDebugStringA(const std::string& text);

// True when a trace would go anywhere.
bool IsDebugOutputEnabled();

// Replaces the sink; an empty function restores the default. Thread-safe.
void SetDebugSink(DebugSink sink);
