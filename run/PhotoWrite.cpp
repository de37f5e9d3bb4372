// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/PhotoWrite.h"

void CountOutcome(RunSummary& summary, const ImageResult& result) {
    ++summary.checked;
    summary.ownOffset += result.ownOffset ? 1 : 0;
    switch (result.outcome) {
        case ImageOutcome::Tagged:
            ++summary.tagged;
            break;
        case ImageOutcome::AlreadyTagged:
            ++summary.alreadyTagged;
            break;
        case ImageOutcome::NoMatch:
            ++summary.noMatch;
            break;
        case ImageOutcome::NoCaptureTime:
            ++summary.noCaptureTime;
            break;
        case ImageOutcome::Skipped:
            ++summary.skipped;
            break;
        case ImageOutcome::HadPosition:
            ++summary.hadPosition;
            break;
    }
    summary.rawPhotos += result.raw ? 1 : 0;
    summary.sidecarsWritten += result.sidecarWritten ? 1 : 0;
    summary.rawUnreadable += result.unreadable ? 1 : 0;
}

Status PhotoWrite::Make(PendingReplacement& into, const WriteFaults* faults) {
    return PrepareReplacement(path, photo, content, into, faults);
}
