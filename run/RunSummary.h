// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one tagging run did, counted by the engine as it goes, and the texts that tell the user.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct RunSummary {
    bool photosListed = false;  // the enabled hot folders have been listed
    int folders = 0;            // enabled hot folders in the run
    int foldersUnread = 0;      // enabled hot folders that could not be listed (an Error line)
    int foldersBusy = 0;        // left to another run tagging them at the time (an Error line)
    uint64_t photos = 0;        // photo files found in them
    bool reading = false;       // the plan is reading the photos' headers
    uint64_t read = 0;          // photos whose headers the plan has read
    uint64_t checked = 0;       // photos dealt with so far (the five counts below added up)
    uint64_t tagged = 0;
    uint64_t alreadyTagged = 0;    // their GPS tags already held the position; not rewritten
    uint64_t noMatch = 0;          // no track point within the tolerance
    uint64_t noCaptureTime = 0;    // a capture time that is no valid date
    uint64_t skipped = 0;          // could not be read or written
    uint64_t hadPosition = 0;      // carried a position of its own, which was kept
    uint64_t ownOffset = 0;        // photos read with the time offset they record themselves
    uint64_t rawPhotos = 0;        // RAW photos among the photos checked
    uint64_t sidecarsWritten = 0;  // RAW photos whose sidecar was written (also tagged)
    uint64_t rawUnreadable = 0;    // RAW photos the image library cannot read (also skipped)
    int64_t toleranceMinutes = 0;
    uint64_t gpxPoints = 0;
    uint64_t gpxFiles = 0;        // files read from a GPX folder; 0 when the path names a file
    uint64_t gpxFilesFailed = 0;  // files of the folder that were not read completely
    std::string gpxFormat;        // the track file's kind ("GPX", "FIT"); empty: GPX
    // The folder's track files by kind, in order of first file: ("GPX", 2), ("FIT", 3), and
    // ("photos", 41) for the photos that served as points.
    std::vector<std::pair<std::string, uint64_t>> gpxKinds;
    std::string gpxProblem;      // why the GPX file was not read completely; empty when it was
    bool gpxStopped = false;     // it was not, because the run was asked to stop
    bool logWritten = false;     // the log file records why photos were skipped
    bool stopped = false;        // the run was asked to stop before it had checked every photo
    bool failed = false;         // the run ended early on an unexpected error (an Error line)
    bool interpolated = false;   // photos were placed between track points
    uint64_t taggedExact = 0;    // of the tagged, when interpolated: at a fix of the same time
    uint64_t taggedBetween = 0;  // between two fixes
    uint64_t taggedNearest = 0;  // at the nearest fix within the tolerance
    bool dryRun = false;         // nothing was written: the counts are what a run would do
};

// The one word the status line shows for a run that has ended, first that applies:
// "Errors!" when the run ended early on an unexpected error; "Stopped!" when it was asked to
// stop; "No track!" when no GPX point was read; "No folder!" when no hot folder was on;
// "Errors!" when a hot folder, a GPX file of a folder or a photo was reported with an Error
// line, or the GPX file was not read completely; "Done!" otherwise.
std::string RunStatusWord(const RunSummary& summary);

// True when the run reported an Error line: an unexpected error, a hot folder that could not
// be read, a photo skipped, a GPX file that failed or was not read completely.
bool RunReportedErrors(const RunSummary& summary);

// A count with commas between groups of three digits: "1,204". Independent of any locale.
std::string GroupedCount(uint64_t count);

// "3 h 5 min" for 185 minutes; a negative tolerance keeps its sign: "-0 h 5 min".
std::string ToleranceText(int64_t minutes);

// The run in progress: "Tagging: 120 of 412 photos checked", "Tagging: reading 120 of 412
// photos" while the plan reads them, or "Tagging: reading the GPX file" until the hot folders
// have been listed.
std::string RunningCountText(const RunSummary& summary);

// The run that has ended, for example "Last run: 412 photos checked in 2 folders; 390 tagged;
// 8 already tagged; 12 with no track point within 0 h 2 min; 2 skipped (see the log); GPX: 1,204
// points", with "; 1 folder could not be read" for hot folders that could not be listed. Counts
// that are zero are left out, except "tagged"; when no GPX point was read it says why. A GPX
// folder reads "GPX: 3 files, 12,345 points", with "; 1 file failed" when files failed; a folder
// of other kinds too "GPX: 2 files; FIT: 3 files; photos: 41; 12,345 points". A track file of
// another kind is named by it: "FIT: 1,204 points". When RAW photos were checked, "; 12 RAW photos:
// 11 sidecars written, 1 unreadable" follows the counts (an unreadable count of zero left out).
std::string RunSummaryText(const RunSummary& summary);
