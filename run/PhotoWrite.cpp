// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/PhotoWrite.h"

void CountOutcome(RunSummary& summary, const ImageResult& result) {
    ++summary.checked;
    summary.ownOffset += result.ownOffset ? 1 : 0;
    switch (result.outcome) {
        case ImageOutcome::Tagged:
            ++summary.tagged;
            CountMethod(
                summary,
                result.report.match ? result.report.match->method : PlacementMethod::Nearest, 1);
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
    into.tag = tag;
    return PrepareReplacement(path, photo, content, into, faults);
}

void CountMethod(RunSummary& summary, PlacementMethod method, int64_t change) {
    uint64_t& count = method == PlacementMethod::Exact          ? summary.taggedExact
                      : method == PlacementMethod::Interpolated ? summary.taggedBetween
                                                                : summary.taggedNearest;
    count += static_cast<uint64_t>(change);
}
