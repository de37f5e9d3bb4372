// SPDX-License-Identifier: GPL-3.0-or-later
// The texts that tell the user what a tagging run did.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "run/RunSummary.h"

namespace {

RunSummary FinishedRun() {
    RunSummary s;
    s.photosListed = true;
    s.folders = 2;
    s.photos = 412;
    s.checked = 412;
    s.tagged = 398;
    s.noMatch = 12;
    s.skipped = 2;
    s.toleranceMinutes = 2;
    s.gpxPoints = 1204;
    s.logWritten = true;
    return s;
}

TEST(RunSummaryText, GroupsThousandsWithCommasWhateverTheLocale) {
    EXPECT_EQ(GroupedCount(0), "0");
    EXPECT_EQ(GroupedCount(999), "999");
    EXPECT_EQ(GroupedCount(1000), "1,000");
    EXPECT_EQ(GroupedCount(1204), "1,204");
    EXPECT_EQ(GroupedCount(100000), "100,000");
    EXPECT_EQ(GroupedCount(1234567), "1,234,567");
    EXPECT_EQ(GroupedCount(std::numeric_limits<uint64_t>::max()), "18,446,744,073,709,551,615");
}

TEST(RunSummaryText, ToleranceInHoursAndMinutes) {
    EXPECT_EQ(ToleranceText(2), "0 h 2 min");
    EXPECT_EQ(ToleranceText(185), "3 h 5 min");
    EXPECT_EQ(ToleranceText(0), "0 h 0 min");
    EXPECT_EQ(ToleranceText(-5), "-0 h 5 min");
    EXPECT_EQ(ToleranceText(std::numeric_limits<int64_t>::min()), "-153722867280912930 h 8 min");
}

TEST(RunSummaryText, RunningCount) {
    RunSummary s;
    EXPECT_EQ(RunningCountText(s), "Tagging: reading the GPX file");
    s.photosListed = true;
    s.photos = 412;
    s.checked = 120;
    EXPECT_EQ(RunningCountText(s), "Tagging: 120 of 412 photos checked");
    s.photos = 1;
    s.checked = 0;
    EXPECT_EQ(RunningCountText(s), "Tagging: 0 of 1 photo checked");
    s.photos = 2500;
    s.checked = 1001;
    EXPECT_EQ(RunningCountText(s), "Tagging: 1,001 of 2,500 photos checked");
}

TEST(RunSummaryText, FinishedRunNamesEveryNonZeroOutcome) {
    EXPECT_EQ(RunSummaryText(FinishedRun()),
              "Last run: 412 photos checked in 2 folders; 398 tagged; 12 with no track point "
              "within 0 h 2 min; 2 skipped (see the log); GPX: 1,204 points");

    RunSummary s = FinishedRun();
    s.noMatch = 0;
    s.skipped = 0;
    s.noCaptureTime = 14;
    EXPECT_EQ(RunSummaryText(s),
              "Last run: 412 photos checked in 2 folders; 398 tagged; 14 with no valid capture "
              "time; GPX: 1,204 points");
}

TEST(RunSummaryText, SingularCountsAndNothingTagged) {
    RunSummary s;
    s.photosListed = true;
    s.folders = 1;
    s.photos = s.checked = s.noMatch = 1;
    s.gpxPoints = 1;
    s.toleranceMinutes = 90;
    EXPECT_EQ(RunSummaryText(s),
              "Last run: 1 photo checked in 1 folder; 0 tagged; 1 with no track point within "
              "1 h 30 min; GPX: 1 point");
}

TEST(RunSummaryText, SaysWhyNoPointWasRead) {
    RunSummary s = FinishedRun();
    s.tagged = 0;
    s.noMatch = 410;
    s.gpxPoints = 0;
    s.gpxProblem = "no GPX file chosen";
    const std::string text = RunSummaryText(s);
    EXPECT_NE(text.find("; GPX: no points (no GPX file chosen)"), std::string::npos) << text;
    s.gpxProblem.clear();
    EXPECT_NE(RunSummaryText(s).find("; GPX: no points (none usable in the file)"),
              std::string::npos);
    s.gpxPoints = 30;
    s.gpxProblem = "could not be parsed";
    EXPECT_NE(
        RunSummaryText(s).find("; GPX: 30 points (file not read completely: could not be parsed)"),
        std::string::npos);
}

TEST(RunSummaryText, NoFolderStoppedRunAndLogSwitchedOff) {
    RunSummary none;
    none.photosListed = true;
    none.gpxPoints = 5;
    EXPECT_EQ(RunSummaryText(none), "Last run: no hot folder was on; GPX: 5 points");

    RunSummary s = FinishedRun();
    s.checked = 100;
    s.tagged = 98;
    s.noMatch = 0;
    s.stopped = true;
    s.logWritten = false;
    EXPECT_EQ(RunSummaryText(s),
              "Last run: 100 photos checked in 2 folders (stopped before the end); 98 tagged; "
              "2 skipped (switch the log file on to see why); GPX: 1,204 points");
}

}  // namespace

TEST(RunSummaryText, FolderOfTracksCountsFilesPointsAndFailures) {
    RunSummary summary;
    summary.folders = 1;
    summary.gpxFiles = 3;
    summary.gpxPoints = 12345;
    EXPECT_NE(RunSummaryText(summary).find("; GPX: 3 files, 12,345 points"), std::string::npos);
    summary.gpxFilesFailed = 1;
    summary.gpxProblem = "c.gpx: could not be parsed";
    EXPECT_EQ(RunSummaryText(summary).substr(RunSummaryText(summary).find("GPX:")),
              "GPX: 3 files, 12,345 points; 1 file failed");
    summary.gpxFiles = 1;
    summary.gpxPoints = 0;
    EXPECT_EQ(RunSummaryText(summary).substr(RunSummaryText(summary).find("GPX:")),
              "GPX: 1 file, 0 points; 1 file failed (c.gpx: could not be parsed)");
}

TEST(RunSummaryText, TracksOfOtherKindsAreNamedByTheirKind) {
    RunSummary summary;
    summary.folders = 1;
    summary.gpxFiles = 6;
    summary.gpxPoints = 12345;
    summary.gpxKinds = {{"GPX", 2}, {"FIT", 3}, {"TCX", 1}};
    const std::string text = RunSummaryText(summary);
    EXPECT_EQ(text.substr(text.find("GPX:")),
              "GPX: 2 files; FIT: 3 files; TCX: 1 file; 12,345 points");
    summary.gpxKinds = {{"GPX", 2}, {"photos", 41}};
    EXPECT_NE(RunSummaryText(summary).find("; GPX: 2 files; photos: 41; 12,345 points"),
              std::string::npos);
    summary.gpxKinds = {{"GPX", 6}};
    EXPECT_NE(RunSummaryText(summary).find("; GPX: 6 files, 12,345 points"), std::string::npos);

    RunSummary file;
    file.gpxFormat = "FIT";
    file.gpxPoints = 1204;
    EXPECT_EQ(RunSummaryText(file), "Last run: no hot folder was on; FIT: 1,204 points");
    file.gpxPoints = 0;
    file.gpxProblem = "GPSBabel could not convert it: bad header";
    EXPECT_EQ(RunSummaryText(file),
              "Last run: no hot folder was on; FIT: no points (GPSBabel could not convert it: bad "
              "header)");
}

// What the status line shows: the first word that applies, in order of what must be mended
// first. Every case changes one fact of a run that did its job.
TEST(RunStatusWord, DoneOnlyWhenTheRunDidItsJob) {
    RunSummary done = FinishedRun();
    done.skipped = 0;
    EXPECT_EQ(RunStatusWord(done), "Done!");
    RunSummary nothingMatched = done;
    nothingMatched.tagged = 0;
    nothingMatched.noMatch = 412;  // not an error: the tooltip says why
    EXPECT_EQ(RunStatusWord(nothingMatched), "Done!");

    RunSummary noTrack = done;
    noTrack.gpxPoints = 0;
    noTrack.gpxProblem = "not a regular file";
    EXPECT_EQ(RunStatusWord(noTrack), "No track!");
    RunSummary noFolder = done;
    noFolder.folders = 0;
    EXPECT_EQ(RunStatusWord(noFolder), "No folder!");
    RunSummary skipped = done;
    skipped.skipped = 1;
    EXPECT_EQ(RunStatusWord(skipped), "Errors!");
    RunSummary unread = done;
    unread.foldersUnread = 1;
    EXPECT_EQ(RunStatusWord(unread), "Errors!");
    RunSummary partlyRead = done;
    partlyRead.gpxProblem = "truncated";
    EXPECT_EQ(RunStatusWord(partlyRead), "Errors!");
    RunSummary failedFile = done;
    failedFile.gpxFiles = 2;
    failedFile.gpxFilesFailed = 1;
    EXPECT_EQ(RunStatusWord(failedFile), "Errors!");
}

TEST(RunStatusWord, PrecedenceWhenSeveralThingsWentWrong) {
    RunSummary s;  // an empty profile: no track, no folder
    EXPECT_EQ(RunStatusWord(s), "No track!");
    s.foldersUnread = 1;
    s.folders = 1;
    EXPECT_EQ(RunStatusWord(s), "No track!");  // without a track nothing could be tagged
    s.gpxPoints = 10;
    EXPECT_EQ(RunStatusWord(s), "Errors!");
    s.folders = 0;
    EXPECT_EQ(RunStatusWord(s), "No folder!");
    s.stopped = true;
    EXPECT_EQ(RunStatusWord(s), "Stopped!");
    s.failed = true;
    EXPECT_EQ(RunStatusWord(s), "Errors!");
    // Each word fits the status line: 74 pixels at 6 pixels a character.
    for (const char* word : {"Done!", "No track!", "No folder!", "Errors!", "Stopped!"}) {
        EXPECT_LE(std::string(word).size() * 6, 74u) << word;
    }
}

TEST(RunSummaryText, UnreadFoldersAreCounted) {
    RunSummary s = FinishedRun();
    s.foldersUnread = 1;
    EXPECT_NE(RunSummaryText(s).find("; 1 folder could not be read;"), std::string::npos)
        << RunSummaryText(s);
    EXPECT_TRUE(RunReportedErrors(s));
}
