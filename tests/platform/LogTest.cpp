// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <regex>

#include "TestSupport.h"

namespace {

// Date (any user format), ", ", HH:MM:SS, then the ten-character prefix and the message.
const std::regex kLine(R"(([^,]+), (\d\d:\d\d:\d\d)(\[(ERROR|INFO|DEBUG)\]> +)(.*))");

TEST(Log, ClosedLogDropsEverything) {
    Log log;
    DebugCapture capture;
    log.Write(Error, "lost");
    EXPECT_FALSE(log.IsWritten(Error));
    EXPECT_EQ(capture.Text(), "");
}

TEST(Log, LineLayoutLevelsAndMirroring) {
    TempDir dir;
    const std::string path = dir.File("fenrik.log");
    Log log;
    DebugCapture capture;
    EXPECT_TRUE(log.Open(Debug, path).ok());
    log.Write(Debug, "Starting Log");
    log.Write(Info, "latitude:");
    log.Write(Error, "Failure in Open.\n");
    // Every line is on disk as soon as Write returns.
    const std::vector<std::string> lines = SplitLines(ReadFileText(path));
    ASSERT_EQ(lines.size(), 4u);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, kLine)) << lines[0];
    EXPECT_EQ(m[3].str(), "[DEBUG]>  ");
    EXPECT_EQ(m[5].str(), "Starting Log");
    ASSERT_TRUE(std::regex_match(lines[1], m, kLine)) << lines[1];
    EXPECT_EQ(m[3].str(), "[INFO]>   ");
    EXPECT_EQ(m[5].str(), "latitude:");
    ASSERT_TRUE(std::regex_match(lines[2], m, kLine)) << lines[2];
    EXPECT_EQ(m[3].str(), "[ERROR]>  ");
    EXPECT_EQ(lines[3], "");  // a message ending in a line feed leaves an empty line
    EXPECT_EQ(capture.Text(), "Starting Log\nlatitude:\nFailure in Open.\n");
}

TEST(Log, WriteAndTraceTracesEachMessageOnceWhetherOrNotTheLogTakesIt) {
    TempDir dir;
    Log log;
    DebugCapture capture;
    EXPECT_FALSE(log.WriteAndTrace(Error, "closed"));
    EXPECT_TRUE(log.Open(Info, dir.File("fenrik.log")).ok());
    EXPECT_TRUE(log.WriteAndTrace(Error, "open"));
    EXPECT_FALSE(log.WriteAndTrace(Debug, "too verbose"));
    EXPECT_EQ(capture.Text(), "closed\nopen\ntoo verbose\n");
    EXPECT_EQ(SplitLines(ReadFileText(dir.File("fenrik.log"))).size(), 1u);
}

TEST(Log, MaximumLevelFiltersMoreVerboseLines) {
    TempDir dir;
    Log log;
    EXPECT_TRUE(log.Open(Info, dir.File("fenrik.log")).ok());
    log.Write(Debug, "hidden");
    log.Write(Info, "shown");
    log.Write(Error, "shown too");
    EXPECT_EQ(SplitLines(ReadFileText(dir.File("fenrik.log"))).size(), 2u);
    EXPECT_FALSE(log.IsWritten(Debug));
    EXPECT_TRUE(log.IsWritten(Error));
}

TEST(Log, ReopeningStartsTheFileAfreshAndLeavesTheOldOne) {
    TempDir dir;
    Log log;
    EXPECT_TRUE(log.Open(Debug, dir.File("first.log")).ok());
    log.Write(Debug, "one");
    EXPECT_TRUE(log.Open(Debug, dir.File("first.log")).ok());
    log.Write(Debug, "two");
    const std::vector<std::string> lines = SplitLines(ReadFileText(dir.File("first.log")));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("two"), std::string::npos);

    EXPECT_TRUE(log.Open(Debug, dir.File("second.log")).ok());
    log.Write(Debug, "three");
    EXPECT_EQ(SplitLines(ReadFileText(dir.File("first.log"))).size(), 1u);
    EXPECT_EQ(SplitLines(ReadFileText(dir.File("second.log"))).size(), 1u);
}

TEST(Log, UnwritablePathLeavesTheLogClosedUntilALaterOpenSucceeds) {
    TempDir dir;
    Log log;
    EXPECT_TRUE(log.Open(Debug, dir.File("good.log")).ok());
    const Status failed = log.Open(Debug, dir.File("no/such/folder/fenrik.log"));
    EXPECT_EQ(failed.message(), "cannot create " + dir.File("no/such/folder/fenrik.log") +
                                    ": No such file or directory");
    DebugCapture capture;
    log.Write(Error, "dropped");
    EXPECT_FALSE(log.IsWritten(Error));
    EXPECT_EQ(capture.Text(), "");
    EXPECT_EQ(ReadFileText(dir.File("good.log")), "");
    EXPECT_TRUE(log.Open(Debug, dir.File("good.log")).ok());
    log.Write(Error, "kept");
    EXPECT_EQ(SplitLines(ReadFileText(dir.File("good.log"))).size(), 1u);
}

TEST(Log, InstanceIsOneObject) {
    EXPECT_EQ(&Log::Instance(), &Log::Instance());
}

}  // namespace
