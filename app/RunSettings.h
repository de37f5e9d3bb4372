// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// From the live settings to a tagging run's inputs, and the run's log file.

#include "platform/Status.h"
#include "run/RunInputs.h"
#include "settings/LiveSettings.h"

// A run's inputs as `settings` give them: the GPX path, the hot folders' paths, the tolerance
// (its texts read once, as ToleranceUnits reads them), the bias, the camera clock, the
// recorded-position rule, the RAW switch and the log file; no hot folder takes part yet.
TaggingRunInputs RunInputsFrom(const LiveSettings& settings);

// Opens the run's log file, "fenrik.log" in the inputs' log folder, when the inputs switch it
// on, and writes its first line; otherwise does nothing. A log that cannot be written is an
// error: the run must not start ("the log cannot be written in <folder>: <reason>").
Status OpenRunLog(const TaggingRunInputs& inputs);
