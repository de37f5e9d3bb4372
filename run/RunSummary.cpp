// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/RunSummary.h"

namespace {

// "1 photo", "2 photos".
std::string Counted(uint64_t count, const char* singular, const char* plural) {
    return GroupedCount(count) + " " + (count == 1 ? singular : plural);
}

bool OnlyGpxFiles(const RunSummary& summary) {
    return summary.gpxKinds.empty() ||
           (summary.gpxKinds.size() == 1 && summary.gpxKinds.front().first == "GPX");
}

// "GPX: 3 files, 12,345 points; 1 file failed" for a folder of GPX tracks, "GPX: 2 files; FIT:
// 3 files; 12,345 points" for one of many kinds.
std::string GpxFolderText(const RunSummary& summary) {
    std::string text;
    if (OnlyGpxFiles(summary)) {
        text = "GPX: " + Counted(summary.gpxFiles, "file", "files") + ", ";
    } else {
        for (const auto& [kind, files] : summary.gpxKinds) {
            text += kind + ": " +
                    (kind == "photos" ? GroupedCount(files) : Counted(files, "file", "files")) +
                    "; ";
        }
    }
    text += Counted(summary.gpxPoints, "point", "points");
    if (summary.gpxFilesFailed > 0) {
        text += "; " + Counted(summary.gpxFilesFailed, "file", "files") + " failed";
    }
    if (summary.gpxPoints == 0 && !summary.gpxProblem.empty()) {
        text += " (" + summary.gpxProblem + ")";
    }
    return text;
}

std::string GpxText(const RunSummary& summary) {
    if (summary.gpxFiles > 0 || summary.gpxFilesFailed > 0 || !summary.gpxKinds.empty()) {
        return GpxFolderText(summary);
    }
    const std::string kind = (summary.gpxFormat.empty() ? "GPX" : summary.gpxFormat) + ": ";
    if (summary.gpxPoints == 0) {
        return kind + "no points (" +
               (summary.gpxProblem.empty() ? std::string("none usable in the file")
                                           : summary.gpxProblem) +
               ")";
    }
    std::string text = kind + Counted(summary.gpxPoints, "point", "points");
    if (!summary.gpxProblem.empty()) {
        text += " (file not read completely: " + summary.gpxProblem + ")";
    }
    return text;
}

}  // namespace

bool RunReportedErrors(const RunSummary& summary) {
    return summary.failed || summary.foldersUnread > 0 || summary.foldersBusy > 0 ||
           summary.skipped > 0 || summary.gpxFilesFailed > 0 ||
           (!summary.gpxProblem.empty() && !summary.gpxStopped);
}

std::string RunStatusWord(const RunSummary& summary) {
    if (summary.failed) {
        return "Errors!";
    }
    if (summary.stopped) {
        return "Stopped!";
    }
    if (summary.gpxPoints == 0) {
        return "No track!";
    }
    if (summary.folders == 0) {
        return "No folder!";
    }
    return RunReportedErrors(summary) ? "Errors!" : "Done!";
}

std::string GroupedCount(uint64_t count) {
    const std::string digits = std::to_string(count);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

std::string ToleranceText(int64_t minutes) {
    const uint64_t magnitude =
        minutes < 0 ? 0 - static_cast<uint64_t>(minutes) : static_cast<uint64_t>(minutes);
    return std::string(minutes < 0 ? "-" : "") + std::to_string(magnitude / 60) + " h " +
           std::to_string(magnitude % 60) + " min";
}

std::string RunningCountText(const RunSummary& summary) {
    if (!summary.photosListed) {
        return "Tagging: reading the GPX file";
    }
    if (summary.reading) {
        return "Tagging: reading " + GroupedCount(summary.read) + " of " +
               Counted(summary.photos, "photo", "photos");
    }
    return "Tagging: " + GroupedCount(summary.checked) + " of " +
           Counted(summary.photos, "photo", "photos") + " checked";
}

namespace {

// "; 12 RAW photos: 11 sidecars written, 1 unreadable", or nothing without RAW photos.
std::string RawText(const RunSummary& summary) {
    if (summary.rawPhotos == 0) {
        return std::string();
    }
    std::string text = "; " + Counted(summary.rawPhotos, "RAW photo", "RAW photos") + ": " +
                       Counted(summary.sidecarsWritten, "sidecar", "sidecars") + " written";
    if (summary.rawUnreadable > 0) {
        text += ", " + GroupedCount(summary.rawUnreadable) + " unreadable";
    }
    return text;
}

}  // namespace

std::string RunSummaryText(const RunSummary& summary) {
    std::string text = summary.dryRun ? "Last run (a dry run: nothing written): " : "Last run: ";
    if (summary.folders == 0) {
        text += summary.stopped ? "stopped before any hot folder was read" : "no hot folder was on";
    } else {
        text += Counted(summary.checked, "photo", "photos") + " checked in " +
                Counted(static_cast<uint64_t>(summary.folders), "folder", "folders");
        if (summary.stopped) {
            text += " (stopped before the end)";
        }
        text += "; " + GroupedCount(summary.tagged) + " tagged";
        if (summary.interpolated && summary.tagged > 0) {
            text += ": " + GroupedCount(summary.taggedExact) + " exact, " +
                    GroupedCount(summary.taggedBetween) + " interpolated, " +
                    GroupedCount(summary.taggedNearest) + " nearest";
        }
        if (summary.alreadyTagged > 0) {
            text += "; " + GroupedCount(summary.alreadyTagged) + " already tagged";
        }
        if (summary.noMatch > 0) {
            text += "; " + GroupedCount(summary.noMatch) + " with no track point within " +
                    ToleranceText(summary.toleranceMinutes);
        }
        if (summary.noCaptureTime > 0) {
            text += "; " + GroupedCount(summary.noCaptureTime) + " with no valid capture time";
        }
        if (summary.hadPosition > 0) {
            text += "; " + GroupedCount(summary.hadPosition) + " had a position";
        }
        if (summary.skipped > 0) {
            text +=
                "; " + GroupedCount(summary.skipped) + " skipped" +
                (summary.logWritten ? " (see the log)" : " (switch the log file on to see why)");
        }
        if (summary.foldersUnread > 0) {
            text += "; " +
                    Counted(static_cast<uint64_t>(summary.foldersUnread), "folder", "folders") +
                    " could not be read";
        }
        if (summary.foldersBusy > 0) {
            text += "; " +
                    Counted(static_cast<uint64_t>(summary.foldersBusy), "folder", "folders") +
                    " left to another run";
        }
        if (summary.ownOffset > 0) {
            text += "; " + GroupedCount(summary.ownOffset) + " read with their own time offset";
        }
        text += RawText(summary);
    }
    return text + "; " + GpxText(summary);
}
