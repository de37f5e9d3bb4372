// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `fenrik --preview`: the map preview of the pass `fenrik --tag` would run with the same options.
// "Tag now" runs it with the preview's settings; "Use these settings" stores clock and placement.

#include <ostream>

#include "app/CommandLine.h"
#include "app/PreviewLaunch.h"

class ProfileStore;

// Needs a QApplication. Returns what RunTagCommand returns after "Tag now", kExitCompleted
// otherwise, and kExitBadUsage (one line on `err`, no window) for bad usage.
int PreviewFromCommandLine(const CommandLine& line, ProfileStore& profile, std::ostream& out,
                           std::ostream& err, const ShowPreviewFunction& show = ShowPreviewWindow);
