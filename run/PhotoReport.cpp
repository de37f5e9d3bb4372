// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/PhotoReport.h"

const char* OutcomeWord(ImageOutcome outcome) {
    switch (outcome) {
        case ImageOutcome::Tagged:
            return "tagged";
        case ImageOutcome::AlreadyTagged:
            return "already-tagged";
        case ImageOutcome::NoMatch:
            return "no-match";
        case ImageOutcome::NoCaptureTime:
            return "no-capture-time";
        case ImageOutcome::HadPosition:
            return "kept-position";
        default:
            return "skipped";
    }
}
