// SPDX-License-Identifier: GPL-3.0-or-later
// `fenrik --tag` as a script runs it: the real program, no display, a profile of its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "JpegFixtures.h"
#include "RawFixtures.h"
#include "TestSupport.h"
#include "track/load/TrackLoad.h"

extern char** environ;

namespace {

constexpr char kDigitized[] = "Exif.Photo.DateTimeDigitized";
constexpr char kLatitude[] = "Exif.GPSInfo.GPSLatitude";

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Latitude(int degrees) {
    return std::to_string(degrees) + "/1 0/1 0/100";
}

std::string Point(int latitude, const char* time) {
    return "<trkpt lat=\"" + std::to_string(latitude) + "\" lon=\"1\"><time>" + time +
           "</time></trkpt>\n";
}

std::string Gpx(const std::string& points, const char* encoding = "UTF-8") {
    return std::string("<?xml version=\"1.0\" encoding=\"") + encoding +
           "\"?>\n<gpx><trk><name>Reise \xC3\xBC"
           "ber die Alpen</name><trkseg>\n" +
           points + "</trkseg></trk></gpx>\n";
}

class TagCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(root.File("config/Quillbay"));
        profile = root.File("config/Quillbay/fenrik.conf");
        // The stored settings: a London camera, no summer time, the log off.
        WriteFileText(profile,
                      "[Settings]\nTimeZoneId=Europe/London\nBiasInMinutes=0\nToleranceHours=0\n"
                      "ToleranceMinutes=1\nHotFolder1=" +
                          root.File("nowhere") + "\nHotFolder1Enabled=1\n");
    }

    // Runs the program with `arguments`, without a display and with the test's profile.
    Outcome Run(const std::vector<std::string>& arguments) {
        std::vector<std::string> environment;
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string text = *variable;
            if (text.rfind("DISPLAY=", 0) != 0 && text.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
                text.rfind("QT_QPA_PLATFORM=", 0) != 0 && text.rfind("XDG_CONFIG_HOME=", 0) != 0) {
                environment.push_back(text);
            }
        }
        environment.push_back("XDG_CONFIG_HOME=" + root.File("config"));
        std::vector<std::string> argv = {FENRIK_BINARY};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        auto pointers = [](std::vector<std::string>& texts) {
            std::vector<char*> result;
            for (std::string& text : texts) {
                result.push_back(text.data());
            }
            result.push_back(nullptr);
            return result;
        };
        std::vector<char*> argp = pointers(argv);
        std::vector<char*> envp = pointers(environment);
        const std::string outPath = root.File("stdout");
        const std::string errPath = root.File("stderr");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        Outcome outcome;
        if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        posix_spawn_file_actions_destroy(&actions);
        outcome.out = ReadFileText(outPath);
        outcome.err = ReadFileText(errPath);
        return outcome;
    }

    std::string Photo(const std::string& folder, const std::string& name,
                      const std::map<std::string, std::string>& tags) {
        std::filesystem::create_directories(root.File(folder));
        const std::string path = root.File(folder + "/" + name);
        WriteJpegWithExif(path, tags);
        return path;
    }

    std::string LatitudeOf(const std::string& path) { return ReadExif(path)[kLatitude]; }

    // A folder of three tracks: one in UTF-8, one in UTF-16 and one broken. Each photo has its
    // point, and a decoy where a wrong reading of its time would land.
    std::string TrackFolder() {
        const std::string folder = root.File("tracks");
        std::filesystem::create_directories(folder);
        WriteFileText(folder + "/1-day.gpx",
                      Gpx(Point(10, "2024-07-14T10:00:00Z") + Point(30, "2024-07-14T11:00:00Z") +
                          Point(20, "2024-01-14T01:00:00Z") + Point(32, "2024-01-14T01:03:20Z") +
                          Point(21, "2024-01-14T02:00:00Z") + Point(13, "2024-07-14T09:00:00Z")));
        WriteFileText(
            folder + "/2-evening.GPX",
            Utf16Text(Gpx(Point(11, "2024-07-14T10:00:30Z") + Point(31, "2024-07-14T18:00:30Z") +
                              Point(12, "2024-01-14T11:00:00Z"),
                          "UTF-16"),
                      false, true));
        WriteFileText(folder + "/3-broken.gpx", "<gpx><trk><trkseg><trkpt lat=");
        return folder;
    }

    TempDir root;
    std::string profile;
};

}  // namespace

TEST_F(TagCommand, HelpVersionAndBadUsageNeedNoDisplay) {
    Outcome help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--clock-correction SECONDS"), std::string::npos);
    Outcome version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("GPL-3.0-or-later"), std::string::npos);
    Outcome bad = Run({"--tag", "--daylight-saving", "maybe"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "fenrik: --daylight-saving takes on or off, not \"maybe\"\n");
    bad = Run({"--tag", "--zone", "Mars/Olympus"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "fenrik: --zone: unknown time zone \"Mars/Olympus\"\n");
}

TEST_F(TagCommand, BerlinCameraOnSummerTimeWithAFolderOfTracks) {
    const std::string tracks = TrackFolder();
    const std::string summer = Photo("berlin", "summer.jpg", {{kDigitized, "2024:07:14 12:00:00"}});
    const std::string winter = Photo("berlin", "winter.jpg", {{kDigitized, "2024:01:14 12:00:00"}});
    const std::string tokyo =
        Photo("berlin", "pixel.jpg",
              {{kDigitized, "2024:07:14 19:00:30"}, {"Exif.Photo.OffsetTimeOriginal", "+09:00"}});
    const std::string before = ReadFileText(profile);

    const Outcome run = Run({"--tag", "--gpx", tracks, "--folder", root.File("berlin"), "--zone",
                             "Europe/Berlin", "--daylight-saving", "on", "--log", root.Path()});

    EXPECT_EQ(run.status, 1) << run.out << run.err;  // the broken track is an Error line
    EXPECT_EQ(LatitudeOf(summer), Latitude(10));
    EXPECT_EQ(LatitudeOf(winter), Latitude(12));  // from the UTF-16 track
    EXPECT_EQ(LatitudeOf(tokyo), Latitude(11));
    EXPECT_EQ(run.out,
              "Last run: 3 photos checked in 1 folder; 3 tagged; 1 read with their own time "
              "offset; GPX: 3 files, 9 points; 1 file failed\n");
    const std::string log = ReadFileText(root.File("fenrik.log"));
    EXPECT_NE(log.find("GPX file " + tracks + "/3-broken.gpx: could not be parsed"),
              std::string::npos);
    EXPECT_NE(log.find("Capture time read at Europe/Berlin +02:00 with summer time"),
              std::string::npos);
    EXPECT_NE(log.find("Capture time read at +09:00 from the photo"), std::string::npos);
    EXPECT_EQ(ReadFileText(profile), before);  // options change only this run
}

TEST_F(TagCommand, SydneyCameraFastAndOnSummerTime) {
    TrackFolder();
    const std::string fast = Photo("sydney", "fast.jpg", {{kDigitized, "2024:01:14 12:03:20"}});
    // Its own offset is not taken when the command line says so.
    const std::string tagged =
        Photo("sydney", "tagged.jpg",
              {{kDigitized, "2024:01:14 13:03:20"}, {"Exif.Photo.OffsetTimeOriginal", "+09:00"}});
    const Outcome run =
        Run({"--tag", "--gpx", root.File("tracks/1-day.gpx"), "--folder", root.File("sydney"),
             "--zone", "Australia/Sydney", "--daylight-saving", "on", "--photo-zone", "off",
             "--clock-correction", "200", "--tolerance", "0:00"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(LatitudeOf(fast), Latitude(20));
    EXPECT_EQ(LatitudeOf(tagged), Latitude(21));
    EXPECT_EQ(run.out, "Last run: 2 photos checked in 1 folder; 2 tagged; GPX: 6 points\n");
}

TEST_F(TagCommand, StoredSettingsRunAsTheWindowWouldAndKeepRecordedPositions) {
    TrackFolder();
    const std::string phone = Photo("stored", "phone.jpg",
                                    {{kDigitized, "2024:07:14 10:00:00"},
                                     {kLatitude, "48/1 8/1 0/1"},
                                     {"Exif.GPSInfo.GPSLongitude", "11/1 34/1 0/1"}});
    const std::string camera = Photo("stored", "camera.jpg", {{kDigitized, "2024:07:14 10:00:00"}});
    const std::string noExif = root.File("stored/plain.jpg");
    WritePlainJpeg(noExif);
    SetLastWriteTime(noExif, 2024, 7, 14, 9, 0, 0);
    WriteFileText(profile, ReadFileText(profile) + "HotFolder2=" + root.File("stored") +
                               "\nHotFolder2Enabled=1\nReplaceRecordedPositions=0\nDevice=" +
                               root.File("tracks/1-day.gpx") + "\n");
    const std::string phoneBefore = ReadFileText(phone);
    const Outcome run = Run({"--tag"});
    // Hot folder 1 of the stored profile does not exist: an Error line, so status 1.
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_EQ(ReadFileText(phone), phoneBefore);
    EXPECT_EQ(LatitudeOf(camera), Latitude(10));
    EXPECT_EQ(LatitudeOf(noExif), Latitude(13));
    EXPECT_EQ(run.out,
              "Last run: 3 photos checked in 2 folders; 2 tagged; 1 had a position; 1 folder "
              "could not be read; GPX: 6 points\n");
}

// A RAW+JPEG pair and a RAW photo with its darktable sidecar: the JPEG tagged in itself, the RAW
// photos through their sidecars, the RAW files exactly as they were.
TEST_F(TagCommand, RawPhotosGetTheirPositionsInSidecars) {
    TrackFolder();
    const char kTaken[] = "2024:07:14 10:00:00";  // London standard time: point 10
    const std::string jpeg = Photo("raw", "IMG_1.JPG", {{kDigitized, kTaken}});
    const std::string orf = root.File("raw/IMG_1.ORF");
    WriteRawFile(orf, RawFormat::Orf, kTaken);
    const std::string raf = root.File("raw/IMG_2.RAF");
    WriteRawFile(raf, RawFormat::Raf, kTaken);
    WriteFileText(raf + ".xmp", DarktableSidecar());
    const std::string orfBefore = ReadFileText(orf);
    const std::string rafBefore = ReadFileText(raf);
    const std::vector<std::string> arguments = {"--tag", "--gpx", root.File("tracks/1-day.gpx"),
                                                "--folder", root.File("raw")};

    std::vector<std::string> off = arguments;
    off.insert(off.end(), {"--raw-sidecars", "off"});
    const Outcome skipped = Run(off);
    EXPECT_EQ(skipped.status, 0) << skipped.out << skipped.err;
    EXPECT_EQ(skipped.out, "Last run: 1 photo checked in 1 folder; 1 tagged; GPX: 6 points\n");
    EXPECT_FALSE(std::filesystem::exists(root.File("raw/IMG_1.xmp")));

    const Outcome run = Run(arguments);  // the stored setting: on
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out,
              "Last run: 3 photos checked in 1 folder; 2 tagged; 1 already tagged; 2 RAW photos: "
              "2 sidecars written; GPX: 6 points\n");
    EXPECT_EQ(LatitudeOf(jpeg), Latitude(10));
    EXPECT_EQ(ReadSidecar(root.File("raw/IMG_1.xmp"))["Xmp.exif.GPSLatitude"], "10,00.000000N");
    const std::map<std::string, std::string> darktable = ReadSidecar(raf + ".xmp");
    EXPECT_EQ(darktable.at("Xmp.exif.GPSLatitude"), "10,00.000000N");
    EXPECT_EQ(darktable.at("Xmp.exif.GPSLongitude"), "1,00.000000E");
    EXPECT_EQ(darktable.at("Xmp.xmp.Rating"), "4");
    EXPECT_EQ(darktable.at("Xmp.darktable.history[2]/darktable:operation"), "colorin");
    EXPECT_EQ(ReadFileText(orf), orfBefore);
    EXPECT_EQ(ReadFileText(raf), rafBefore);
}

// A log that cannot be written is no run: one line naming the folder and why, bad usage, and
// nothing tagged.
TEST_F(TagCommand, ALogThatCannotBeWrittenIsBadUsageAndTagsNothing) {
    const std::string photo = Photo("trip", "IMG_1.jpg", {{kDigitized, "2024:07:14 10:00:00"}});
    const std::string gpx = root.File("day.gpx");
    WriteFileText(gpx, Gpx(Point(10, "2024-07-14T10:00:00Z")));
    WriteFileText(root.File("a-file"), "");
    for (const std::string& folder :
         {root.File("missing"), root.File("a-file"), std::string("/proc/1")}) {
        const Outcome outcome =
            Run({"--tag", "--gpx", gpx, "--folder", root.File("trip"), "--log", folder});
        EXPECT_EQ(outcome.status, 2) << folder;
        EXPECT_EQ(outcome.err.rfind("fenrik: the log cannot be written in " + folder + ": ", 0), 0u)
            << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        EXPECT_EQ(LatitudeOf(photo), "") << folder;
    }
}

TEST_F(TagCommand, TheWindowWithoutADisplaySaysSoInOneLine) {
    const Outcome outcome = Run({});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              "fenrik: no display to open the window on; `fenrik --tag` runs without one\n");
}

// A real track of eight segments: a dry run places photos between its points and says how,
// writes nothing but the GPX of the positions, and the run after it writes just those.
TEST_F(TagCommand, ADryRunOverARealMultiSegmentTrackTellsAndExportsWhatTheRunThenDoes) {
    const std::string gpx = SamplePath("gpx/cerknicko-jezero.gpx");
    const std::string between = Photo("lake", "between.jpg", {{kDigitized, "2010:08:05 14:30:07"}});
    const std::string exact = Photo("lake", "exact.jpg", {{kDigitized, "2010:08:05 14:23:59"}});
    const std::string gap = Photo("lake", "gap.jpg", {{kDigitized, "2010:08:05 15:08:00"}});
    const std::string early = Photo("lake", "early.jpg", {{kDigitized, "2010:08:05 13:00:00"}});
    std::map<std::string, std::string> before;
    for (const std::string& path : {between, exact, gap, early}) {
        before[path] = ReadFileText(path);
    }
    const std::string exported = root.File("photos.gpx");
    const std::vector<std::string> options = {
        "--tag",  "--gpx",        gpx,           "--folder", root.File("lake"),
        "--zone", "UTC",          "--tolerance", "0:01",     "--interpolate",
        "on",     "--export-gpx", exported};
    std::vector<std::string> dry = options;
    dry.push_back("--dry-run");
    const Outcome outcome = Run(dry);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    std::map<std::string, std::vector<std::string>> lines;  // by path, the fields before it
    for (const std::string& line : SplitLines(outcome.out)) {
        std::vector<std::string> fields;
        for (size_t from = 0, tab; from <= line.size(); from = tab + 1) {
            tab = std::min(line.find('\t', from), line.size());
            fields.push_back(line.substr(from, tab - from));
        }
        if (fields.size() == 7) {
            lines[fields.back()] = fields;
        }
    }
    ASSERT_EQ(lines.size(), 4u) << outcome.out;
    EXPECT_EQ(lines[exact][0], "tagged");
    EXPECT_EQ(lines[exact][4], "exact");
    EXPECT_EQ(lines[between][4].rfind("interpolated between points ", 0), 0u);
    EXPECT_EQ(lines[gap][0], "no-match");  // the logger was off for six minutes
    EXPECT_EQ(lines[early][0], "no-match");
    EXPECT_NE(outcome.out.find("(a dry run: nothing written)"), std::string::npos);
    EXPECT_NE(outcome.out.find("2 tagged: 1 exact, 1 interpolated, 0 nearest"), std::string::npos)
        << outcome.out;
    for (const auto& [path, content] : before) {
        EXPECT_EQ(ReadFileText(path), content) << path;
    }
    for (const auto& entry : std::filesystem::directory_iterator(root.File("lake"))) {
        EXPECT_EQ(entry.path().filename().string().rfind(".fenrik-", 0), std::string::npos);
    }

    // The export reads back as the track of the photos placed.
    TrackLog photos;
    EXPECT_EQ(LoadTrackLog(exported, photos).points, 2u);
    ASSERT_EQ(photos.Count(), 2u);
    EXPECT_EQ(photos.RunAt(0).kind, PointKind::Waypoint);

    // With a gap limit below the fixes' spacing, no photo is placed between them.
    std::vector<std::string> shortGaps = dry;
    shortGaps.insert(shortGaps.end(), {"--max-gap", "1"});
    const Outcome strict = Run(shortGaps);
    ASSERT_EQ(strict.status, 0) << strict.err;
    EXPECT_EQ(strict.out.find("\tinterpolated"), std::string::npos) << strict.out;
    EXPECT_NE(strict.out.find("1 exact"), std::string::npos) << strict.out;

    std::vector<std::string> verbose = options;
    verbose.push_back("--verbose");
    const Outcome real = Run(verbose);
    ASSERT_EQ(real.status, 0) << real.err;
    EXPECT_NE(real.out.find("tagged\t"), std::string::npos) << real.out;  // a line a photo
    EXPECT_NE(real.out.find("\t" + exact + "\n"), std::string::npos) << real.out;
    // The export was replaced whole, under its own name, with nothing left beside it.
    for (const auto& entry : std::filesystem::directory_iterator(root.Path())) {
        EXPECT_EQ(entry.path().filename().string().find("photos.gpx."), std::string::npos);
        EXPECT_EQ(entry.path().filename().string().rfind(".fenrik-", 0), std::string::npos);
    }
    EXPECT_EQ(LoadTrackLog(exported, photos).points, 2u);
    EXPECT_NE(LatitudeOf(between), "");
    EXPECT_NE(LatitudeOf(exact), "");
    EXPECT_EQ(LatitudeOf(gap), "");
    const double placed = std::stod(lines[between][1]);
    EXPECT_TRUE(std::abs(photos.At(0).latitude - placed) < 1e-6 ||
                std::abs(photos.At(1).latitude - placed) < 1e-6);
}
