// SPDX-License-Identifier: GPL-3.0-or-later
// What the command line asks for, and the one-line messages for bad usage.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/TagCommand.h"

namespace {

CommandLine Parse(std::vector<std::string> arguments) {
    return ParseCommandLine(arguments);
}

}  // namespace

TEST(ParseCommandLine, WindowHelpAndVersion) {
    EXPECT_EQ(Parse({}).mode, CommandLine::Mode::Window);
    // Qt's own options are left to Qt.
    EXPECT_EQ(Parse({"-platform", "offscreen"}).mode, CommandLine::Mode::Window);
    EXPECT_EQ(Parse({"--help"}).mode, CommandLine::Mode::Help);
    EXPECT_EQ(Parse({"-h"}).mode, CommandLine::Mode::Help);
    EXPECT_EQ(Parse({"--version"}).mode, CommandLine::Mode::Version);
    EXPECT_NE(VersionText().find("GPL-3.0-or-later"), std::string::npos);
}

TEST(ParseCommandLine, TagTakesEveryOptionOnce) {
    const CommandLine line = Parse({"--tag",
                                    "--gpx",
                                    "/t",
                                    "--folder",
                                    "/a",
                                    "--folder",
                                    "/b",
                                    "--tolerance",
                                    "1:05",
                                    "--zone",
                                    "Europe/Berlin",
                                    "--photo-zone",
                                    "off",
                                    "--daylight-saving",
                                    "on",
                                    "--clock-correction",
                                    "-200",
                                    "--replace-positions",
                                    "off",
                                    "--raw-sidecars",
                                    "off",
                                    "--log",
                                    "/l",
                                    "--interpolate",
                                    "off",
                                    "--max-gap",
                                    "600",
                                    "--verbose",
                                    "--export-gpx",
                                    "/x.gpx"});
    ASSERT_EQ(line.mode, CommandLine::Mode::Tag) << line.error;
    EXPECT_EQ(line.gpx, "/t");
    EXPECT_EQ(line.folders, (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(line.toleranceHours, "1");
    EXPECT_EQ(line.toleranceMinutes, "05");
    EXPECT_EQ(line.zone, "Europe/Berlin");
    EXPECT_EQ(line.photoZone, false);
    EXPECT_EQ(line.daylightSaving, true);
    EXPECT_EQ(line.clockCorrectionSeconds, -200);
    EXPECT_EQ(line.replacePositions, false);
    EXPECT_EQ(line.rawSidecars, false);
    EXPECT_EQ(line.logDir, "/l");
    EXPECT_EQ(line.interpolate, false);
    EXPECT_EQ(line.maxGapSeconds, 600);
    EXPECT_TRUE(line.verbose);
    EXPECT_FALSE(line.dryRun);
    EXPECT_EQ(line.exportGpx, "/x.gpx");
    const CommandLine preview = Parse({"--preview", "--gpx", "/t", "--clock-correction", "60"});
    EXPECT_EQ(preview.mode, CommandLine::Mode::Preview);
    EXPECT_EQ(preview.clockCorrectionSeconds, 60);
    const CommandLine bare = Parse({"--tag"});
    EXPECT_EQ(bare.mode, CommandLine::Mode::Tag);
    EXPECT_FALSE(bare.gpx || bare.zone || bare.photoZone || bare.clockCorrectionSeconds);
}

TEST(ParseCommandLine, BadUsageNamesTheOptionInOneLine) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--tag", "--colour", "red"}, "fenrik: unknown option --colour"},
        {{"--tag", "photo.jpg"}, "fenrik: unexpected argument photo.jpg"},
        {{"--tag", "--gpx"}, "fenrik: --gpx needs a file or folder"},
        {{"--tag", "--tolerance", "90"}, "fenrik: --tolerance takes H:MM, not \"90\""},
        {{"--tag", "--tolerance", "1:60"}, "fenrik: --tolerance takes H:MM, not \"1:60\""},
        {{"--tag", "--photo-zone", "yes"}, "fenrik: --photo-zone takes on or off, not \"yes\""},
        {{"--tag", "--clock-correction", "3m"},
         "fenrik: --clock-correction takes whole seconds, not \"3m\""},
        {{"--tag", "--zone", "A", "--zone", "B"}, "fenrik: --zone given twice"},
        {{"--gpx", "/t"}, "fenrik: options need --tag or --preview"},
        {{"--preview", "--preview"}, "fenrik: --preview given twice"},
        {{"--tag", "--zone", "UTC", "--preview"}, "fenrik: --tag and --preview do not go together"},
        {{"--tag", "--help"}, "fenrik: --help stands alone"},
        {{"--tag", "--interpolate", "maybe"},
         "fenrik: --interpolate takes on or off, not \"maybe\""},
        {{"--tag", "--max-gap", "0"}, "fenrik: --max-gap takes whole seconds above 0, not \"0\""},
        {{"--tag", "--max-gap", "-5"}, "fenrik: --max-gap takes whole seconds above 0, not \"-5\""},
        {{"--tag", "--max-gap", "10m"},
         "fenrik: --max-gap takes whole seconds above 0, not \"10m\""},
        {{"--tag", "--max-gap", "99999999999"},
         "fenrik: --max-gap takes whole seconds above 0, not \"99999999999\""},
        {{"--tag", "--dry-run", "--dry-run"}, "fenrik: --dry-run given twice"},
        {{"--tag", "--export-gpx"}, "fenrik: --export-gpx needs a file"},
        {{"--tag", "--folder", "1", "--folder", "2", "--folder", "3", "--folder", "4", "--folder",
          "5"},
         "fenrik: --folder given more than four times"},
    };
    for (const auto& [arguments, message] : cases) {
        const CommandLine line = Parse(arguments);
        EXPECT_EQ(line.mode, CommandLine::Mode::BadUsage) << message;
        EXPECT_EQ(line.error, message);
        EXPECT_EQ(line.error.find('\n'), std::string::npos);
    }
}

TEST(ApplyCommandLine, OverridesOnlyWhatIsGivenAndChecksTheZone) {
    LiveSettings settings;
    settings.m_HotFolder1 = "/stored1";
    settings.m_HotFolder3 = "/stored3";
    settings.m_ToleranceMinutes = "2";
    settings.m_TimeZoneId = "Europe/London";
    settings.m_ClockCorrectionSeconds = 30;
    CommandLine line =
        Parse({"--tag", "--folder", "/given", "--zone", "Asia/Calcutta", "--log", "/logs"});
    EXPECT_EQ(ApplyCommandLine(line, settings), "");
    EXPECT_EQ(settings.m_HotFolder1, "/given");
    EXPECT_EQ(settings.m_HotFolder3, "");
    EXPECT_EQ(settings.m_ToleranceMinutes, "2");
    EXPECT_EQ(settings.m_TimeZoneId, "Asia/Kolkata");  // the catalogue's name for it
    EXPECT_EQ(settings.m_BiasInMinutes, -330);
    EXPECT_EQ(settings.m_ClockCorrectionSeconds, 30);
    EXPECT_EQ(settings.m_UseLogfile, 1);
    EXPECT_EQ(settings.m_LogfileDir, "/logs");
    EXPECT_EQ(settings.m_RawSidecars, 1);  // as stored when not given
    EXPECT_EQ(ApplyCommandLine(Parse({"--tag", "--raw-sidecars", "off"}), settings), "");
    EXPECT_EQ(settings.m_RawSidecars, 0);

    // Placement: as stored unless given, and "off" overrides a stored "on".
    settings.m_InterpolatePositions = 1;
    settings.m_MaxInterpolationGapSeconds = 1800;
    EXPECT_EQ(ApplyCommandLine(Parse({"--tag", "--max-gap", "90"}), settings), "");
    EXPECT_EQ(settings.m_InterpolatePositions, 1);
    EXPECT_EQ(settings.m_MaxInterpolationGapSeconds, 90);
    EXPECT_EQ(ApplyCommandLine(Parse({"--tag", "--interpolate", "off"}), settings), "");
    EXPECT_EQ(settings.m_InterpolatePositions, 0);
    EXPECT_EQ(settings.m_MaxInterpolationGapSeconds, 90);

    line = Parse({"--tag", "--zone", "Europe/Atlantis"});
    EXPECT_EQ(ApplyCommandLine(line, settings),
              "fenrik: --zone: unknown time zone \"Europe/Atlantis\"");
}

TEST(ProgressBarText, FillsInProportion) {
    EXPECT_EQ(ProgressBarText(0, 4), "[....................]  0/4 photos");
    EXPECT_EQ(ProgressBarText(1, 4), "[#####...............]  1/4 photos");
    EXPECT_EQ(ProgressBarText(0, 0), "[####################]  0/0 photos");
}
