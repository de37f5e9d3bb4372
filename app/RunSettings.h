// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// From the live settings to a tagging run's inputs, and the run's log file.

#include "platform/Status.h"
#include "run/RunInputs.h"
#include "settings/LiveSettings.h"

// A run's inputs from `settings` (tolerance texts read once, as ToleranceUnits reads them); no
// hot folder takes part yet.
TaggingRunInputs RunInputsFrom(const LiveSettings& settings);

// When the log is on, opens "fenrik.log" in the inputs' log folder and writes its first line.
// Fails ("the log cannot be written in <folder>: <reason>") if it cannot: the run must not start.
Status OpenRunLog(const TaggingRunInputs& inputs);
