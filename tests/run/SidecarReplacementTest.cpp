// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing an editor's sidecar as safely as a photo: a write that fails at any step leaves the
// old sidecar exactly as it was and nothing beside it, and another program writing to it is
// never overruled.
#include <gtest/gtest.h>

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "RawFixtures.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

constexpr char kLatitude[] = "Xmp.exif.GPSLatitude";
constexpr char kTrackLatitude[] = "48,08.229167N";
constexpr char kAttribute[] = "user.fenrik.test";

class SidecarReplacement : public PhotoTaggingTest {
protected:
    void SetUp() override {
        PhotoTaggingTest::SetUp();
        WriteRawFile(raw, RawFormat::Orf, "2007:06:01 12:05:30");
        ResetSidecar();
        original = ReadFileText(sidecar);
    }

    // The editor's sidecar as it was before any run, with an extended attribute and the
    // no-dump flag where the file system keeps them, and, for the superuser, another owner, so
    // that those steps of the write are taken too.
    void ResetSidecar() {
        fs::remove(sidecar);
        WriteFileText(sidecar, DarktableSidecar());
        hasOwner = geteuid() == 0 && chown(sidecar.c_str(), 65534, 65534) == 0;
        hasAttribute = setxattr(sidecar.c_str(), kAttribute, "kept", 4, 0) == 0;
        const int fd = open(sidecar.c_str(), O_RDONLY);
        int flags = FS_NODUMP_FL;
        hasFlags = fd >= 0 && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
    }

    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename().string();
            if (name != "P1.ORF" && name != "P1.ORF.xmp") {
                names.push_back(name);
            }
        }
        return names;
    }

    // Runs the folder with a log of Error lines only; returns the summary and, in `log`, the
    // log's text.
    RunSummary LoggedRun(std::string& log) {
        ClosedLogAfterTest closeLog;
        const std::string path = logDir.File("fenrik.log");
        EXPECT_TRUE(Log::Instance().Open(Error, path).ok());
        const RunSummary summary = RunPass();
        log = ReadFileText(path);
        return summary;
    }

    // The sidecar holds the track point's position and everything the editor put in it.
    void ExpectUpdated(const std::string& context) {
        const std::map<std::string, std::string> properties = ReadSidecar(sidecar);
        EXPECT_EQ(properties.at(kLatitude), kTrackLatitude) << context;
        EXPECT_EQ(properties.at("Xmp.xmp.Rating"), "4") << context;
        EXPECT_EQ(properties.at("Xmp.darktable.history[2]/darktable:operation"), "colorin")
            << context;
        struct stat info {};
        ASSERT_EQ(stat(sidecar.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, hasOwner ? 65534u : geteuid()) << context;
        if (hasAttribute) {
            char value[8] = {};
            EXPECT_EQ(getxattr(sidecar.c_str(), kAttribute, value, sizeof value), 4) << context;
            EXPECT_EQ(std::string(value), "kept") << context;
        }
    }

    TempDir logDir;
    const std::string raw = dir.File("P1.ORF");
    const std::string sidecar = dir.File("P1.ORF.xmp");
    std::string original;
    bool hasOwner = false;
    bool hasAttribute = false;
    bool hasFlags = false;
};

TEST_F(SidecarReplacement, AStepThatFailsLeavesTheOldSidecarAndTheNextRunWritesIt) {
    // The steps a failure is injected at, all at once: "create" is asked only once an unnamed
    // file could not be made.
    const std::vector<std::vector<std::string>> faults = {{"unnamed", "create"},
                                                          {"flags"},
                                                          {"write"},
                                                          {"copy"},
                                                          {"owner"},
                                                          {"xattr"},
                                                          {"chmod"},
                                                          {"sync"},
                                                          {"link"},
                                                          {"rename"},
                                                          {"recheck"}};
    std::set<std::string> taken;
    for (const std::vector<std::string>& fault : faults) {
        const std::string& step = fault.back();
        ResetSidecar();
        bool failed = false;
        engine.SetWriteFaultHook([&](const std::string& asked) {
            if (std::find(fault.begin(), fault.end(), asked) == fault.end()) {
                return true;
            }
            failed = failed || asked == step;
            errno = EIO;
            return false;
        });
        std::string log;
        const RunSummary summary = LoggedRun(log);
        engine.SetWriteFaultHook(nullptr);
        if (!failed) {
            continue;  // a step this file system does not take
        }
        taken.insert(step);
        EXPECT_EQ(ReadFileText(sidecar), original) << step;
        EXPECT_EQ(Leftovers(), std::vector<std::string>()) << step;
        EXPECT_NE(log.find("[ERROR]>  Skipping " + sidecar + ": "), std::string::npos)
            << step << log;
        EXPECT_EQ(summary.skipped, 1u) << step;
        EXPECT_EQ(summary.tagged, 0u) << step;
        EXPECT_EQ(summary.sidecarsWritten, 0u) << step;

        const RunSummary again = RunPass();
        EXPECT_EQ(again.sidecarsWritten, 1u) << step;
        EXPECT_EQ(again.skipped, 0u) << step;
        ExpectUpdated(step);
        EXPECT_EQ(Leftovers(), std::vector<std::string>()) << step;
    }
    for (const char* step : {"create", "write", "copy", "chmod", "sync", "rename"}) {
        EXPECT_EQ(taken.count(step), 1u) << step << " was never taken";
    }
    EXPECT_EQ(taken.count("owner"), hasOwner ? 1u : 0u);
    EXPECT_EQ(taken.count("xattr"), hasAttribute ? 1u : 0u);
    EXPECT_EQ(taken.count("flags"), hasFlags ? 1u : 0u);
}

TEST_F(SidecarReplacement, AFullDiskIsTriedOnceMoreAndThenReported) {
    for (const int failures : {1, 2}) {
        ResetSidecar();
        int left = failures;
        engine.SetWriteFaultHook([&left](const std::string& step) {
            if (step != "write" || left == 0) {
                return true;
            }
            --left;
            errno = ENOSPC;
            return false;
        });
        std::string log;
        const RunSummary summary = LoggedRun(log);
        engine.SetWriteFaultHook(nullptr);
        EXPECT_EQ(summary.sidecarsWritten, failures == 1 ? 1u : 0u) << failures;
        if (failures == 1) {
            ExpectUpdated("one full disk");
        } else {
            EXPECT_EQ(ReadFileText(sidecar), original);
            EXPECT_NE(log.find("[ERROR]>  Skipping " + sidecar + ": "), std::string::npos) << log;
        }
        EXPECT_EQ(Leftovers(), std::vector<std::string>()) << failures;
    }
}

TEST_F(SidecarReplacement, AnEditorWritingToTheSidecarMeanwhileIsNeverOverruled) {
    const std::string note = "<!-- saved by the editor -->\n";
    // While the batch is flushed, and at the last moment before the new file takes the name.
    for (const char* moment : {"sync", "rename"}) {
        ResetSidecar();
        pid_t writer = -1;
        engine.SetWriteFaultHook([&](const std::string& step) {
            if (step == moment && writer < 0) {
                writer = StartAppender(sidecar, note);
                EXPECT_TRUE(WaitUntilALeaseIsBreaking(sidecar));  // the editor waits in its open
            }
            return true;
        });
        std::string log;
        const RunSummary summary = LoggedRun(log);
        engine.SetWriteFaultHook(nullptr);
        EXPECT_EQ(WaitFor(writer), 0) << moment;
        EXPECT_EQ(ReadFileText(sidecar), original + note) << moment;
        EXPECT_NE(log.find("[ERROR]>  Skipping " + sidecar + ": another program opened it"),
                  std::string::npos)
            << moment << log;
        EXPECT_EQ(summary.sidecarsWritten, 0u) << moment;
        EXPECT_EQ(Leftovers(), std::vector<std::string>()) << moment;

        EXPECT_EQ(RunPass().sidecarsWritten, 1u) << moment;
        ExpectUpdated(moment);
    }
}

}  // namespace
