// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process-wide debugger output: a trace channel that is separate from the log file.
//
// By default a trace goes to standard error while the environment variable FENRIK_DEBUG is set
// and not empty (read once, at the first trace), and is dropped otherwise. Tests install a sink
// of their own to capture traces.

#include <functional>
#include <string>

using DebugSink = std::function<void(const std::string& text)>;

// Sends text, unchanged and without adding a line end, to the current sink. Thread-safe.
void OutputDebugStringA(const std::string& text);

// True when a trace would go anywhere; callers may skip building costly traces otherwise.
bool IsDebugOutputEnabled();

// Replaces the sink; an empty function restores the default. Thread-safe.
void SetDebugSink(DebugSink sink);
