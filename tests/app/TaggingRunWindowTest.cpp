// SPDX-License-Identifier: GPL-3.0-or-later
// Tagging runs started from the window's start button, end to end.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>
#include <filesystem>

#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "AppFixture.h"
#include "JpegFixtures.h"
#include "RawFixtures.h"
#include "config/DialogBuilder.h"
#include "config/DirectoryConfigTemplate.h"
#include "platform/FileTime.h"

namespace fs = std::filesystem;

namespace {

const char kLat[] = "Exif.GPSInfo.GPSLatitude";

class TaggingRunWindow : public AppTest {
protected:
    // A folder of photos taken at 13:05:30 camera time, and a GPX file with one point at
    // 12:04:50 UTC (the camera ran an hour ahead).
    std::string PhotoFolder(const std::string& name, int count) {
        const std::string folder = dir.File(name);
        fs::create_directories(folder);
        for (int i = 0; i < count; ++i) {
            WriteJpegWithExif(folder + "/IMG_" + std::to_string(i) + ".JPG",
                              {{"Exif.Photo.DateTimeDigitized", "2007:06:01 13:05:30"}});
        }
        return folder;
    }

    std::string Gpx(const std::string& name, const char* lat) {
        const std::string path = dir.File(name);
        WriteFileText(path, std::string("<gpx><trk><trkseg><trkpt lat=\"") + lat +
                                "\" lon=\"11.575382\"><ele>519.6</ele>"
                                "<time>2007-06-01T12:04:50Z</time></trkpt></trkseg></trk></gpx>");
        return path;
    }

    void Configure(const std::vector<std::string>& folders, const std::vector<bool>& enabled,
                   const std::string& gpx) {
        for (size_t i = 0; i < folders.size(); ++i) {
            Profile().WriteProfileString(kSettingsSection, kHotFolderKeys[i], folders[i]);
            Profile().WriteProfileInt(kSettingsSection, kHotFolderEnabledKeys[i], enabled[i]);
        }
        Profile().WriteProfileString(kSettingsSection, kDevice, gpx);
        Profile().WriteProfileString(kSettingsSection, kToleranceMinutes, "2");
        Profile().WriteProfileInt(kSettingsSection, kBiasInMinutes, -60);
    }

    bool WaitForIdle(int timeoutMs = 30000) {
        return QTest::qWaitFor([this] { return !window->HasWorker(); }, timeoutMs);
    }

    static bool Tagged(const std::string& folder) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (ReadExif(entry.path().string()).count(kLat) == 0) {
                return false;
            }
        }
        return true;
    }

    std::vector<CActiveButton*> RunControls() {
        return {Of(*window).m_StartButton,     Of(*window).m_DeviceConfigButton,
                Of(*window).m_DirConfigButton, Of(*window).m_HotFolderCheck1,
                Of(*window).m_HotFolderCheck2, Of(*window).m_HotFolderCheck3,
                Of(*window).m_HotFolderCheck4};
    }
};

TEST_F(TaggingRunWindow, StartTagsTheFolderAndReturnsToIdle) {
    const std::string folder = PhotoFolder("one", 3);
    Configure({folder}, {true}, Gpx("track.gpx", "48.137154"));
    CFenrikWnd& w = Create();
    w.show();
    Of(w).m_StartButton->click();
    // Until the worker is served by this thread, the window shows the running state.
    EXPECT_TRUE(w.IsRunning());
    for (CActiveButton* control : RunControls()) {
        EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_TRUE(Of(w).m_CloseButton->isEnabled());
    EXPECT_TRUE(Of(w).m_HelpButton->isEnabled());
    EXPECT_FALSE(Of(w).m_Spinner->isHidden());
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Done!");
    EXPECT_FALSE(w.IsRunning());
    for (CActiveButton* control : RunControls()) {
        EXPECT_TRUE(control->isEnabled());
    }
    EXPECT_TRUE(Of(w).m_Spinner->isHidden());
    EXPECT_TRUE(Tagged(folder));
    EXPECT_EQ(ReadExif(folder + "/IMG_0.JPG").at(kLat), "48/1 8/1 1375/100");
}

TEST_F(TaggingRunWindow, OnlyEnabledHotFoldersAreTagged) {
    const std::string f1 = PhotoFolder("f1", 1), f2 = PhotoFolder("f2", 1);
    const std::string f3 = PhotoFolder("f3", 1), f4 = PhotoFolder("f4", 1);
    Configure({f1, f2, f3, f4}, {false, true, false, true}, Gpx("track.gpx", "48.137154"));
    CFenrikWnd& w = Create();
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_FALSE(Tagged(f1));
    EXPECT_TRUE(Tagged(f2));
    EXPECT_FALSE(Tagged(f3));
    EXPECT_TRUE(Tagged(f4));
}

TEST_F(TaggingRunWindow, NoGpxFileTagsNothingAndSaysSo) {
    const std::string folder = PhotoFolder("one", 2);
    Configure({folder}, {true}, "");
    CFenrikWnd& w = Create();
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "No track!");
    EXPECT_FALSE(Tagged(folder));
}

// "Done!" only for a run that did its job; every other end names what went wrong in a word,
// and the tool tip keeps the whole summary.
TEST_F(TaggingRunWindow, TheStatusWordTellsTheTruth) {
    CFenrikWnd& empty = Create();  // an empty profile
    empty.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Of(empty).m_StatusField->GetText(), "No track!");
    window.reset();

    const std::string folder = PhotoFolder("one", 1);
    const std::string fifo = dir.File("fifo.gpx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string emptyFile = dir.File("empty.gpx");
    WriteFileText(emptyFile, "");
    const std::string noise = dir.File("noise.gpx");
    WriteFileText(noise, std::string("\x8f\x01\xfe\x7f<<\x00garbage", 13));
    Configure({folder}, {true}, "");
    CFenrikWnd& w = Create();
    for (const std::string& gpx : {dir.File("tracks"), fifo, std::string("/dev/zero"), emptyFile,
                                   noise, dir.File("missing.gpx")}) {
        fs::create_directories(dir.File("tracks"));
        w.OnDropFiles({QUrl::fromLocalFile(QString::fromStdString(gpx))});
        w.OnStart();
        ASSERT_TRUE(WaitForIdle()) << gpx;
        EXPECT_EQ(Of(w).m_StatusField->GetText(), "No track!") << gpx;
        EXPECT_NE(Of(w).m_StatusField->toolTip().toStdString().find("GPX: no points ("),
                  std::string::npos)
            << gpx;
    }

    w.OnDropFiles({QUrl::fromLocalFile(QString::fromStdString(Gpx("track.gpx", "48.137154")))});
    w.OnCommand(111);  // hot folder 1 off: none is on
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "No folder!");

    w.OnCommand(111);
    fs::rename(folder, dir.File("moved"));
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Errors!");
    EXPECT_NE(Of(w).m_StatusField->toolTip().toStdString().find("1 folder could not be read"),
              std::string::npos);

    fs::rename(dir.File("moved"), folder);
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Done!");
}

TEST_F(TaggingRunWindow, SecondRunUsesTheNewlyDroppedGpxOnly) {
    const std::string folder = PhotoFolder("one", 1);
    Configure({folder}, {true}, Gpx("first.gpx", "48.137154"));
    CFenrikWnd& w = Create();
    w.OnStart();
    // A file dropped during the run is for the next run.
    w.OnDropFiles({QUrl::fromLocalFile(QString::fromStdString(Gpx("second.gpx", "-33.8568")))});
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(ReadExif(folder + "/IMG_0.JPG").at("Exif.GPSInfo.GPSLatitudeRef"), "N");
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(ReadExif(folder + "/IMG_0.JPG").at("Exif.GPSInfo.GPSLatitudeRef"), "S");
}

TEST_F(TaggingRunWindow, LoggingStartsAFreshFileAtEachRun) {
    const std::string folder = PhotoFolder("one", 1);
    Configure({folder}, {true}, Gpx("track.gpx", "48.137154"));
    Profile().WriteProfileInt(kSettingsSection, kUseLogfile, 1);
    Profile().WriteProfileString(kSettingsSection, kLogfileDir, dir.Path());
    CFenrikWnd& w = Create();
    for (int run = 0; run < 2; ++run) {
        w.OnStart();
        w.OnStart();  // a second press while running starts nothing
        ASSERT_TRUE(WaitForIdle());
        const std::vector<std::string> lines = SplitLines(ReadFileText(dir.File("fenrik.log")));
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines[0].find("[DEBUG]>  Starting Log"), std::string::npos);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& l) {
                                    return l.find("Starting Log") != std::string::npos;
                                }),
                  1);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& l) {
                                    return l.find("ProcessHotFolder:") != std::string::npos;
                                }),
                  1);
    }
}

// A log that cannot be written: no run starts, and the status line says why.
TEST_F(TaggingRunWindow, ALogThatCannotBeWrittenStartsNoRunAndSaysWhy) {
    fakeRun = std::make_shared<FakeTaggingRunner::Script>();
    Profile().WriteProfileInt(kSettingsSection, kUseLogfile, 1);
    Profile().WriteProfileString(kSettingsSection, kLogfileDir, dir.File("missing"));
    CFenrikWnd& w = Create();
    w.OnStart();
    EXPECT_FALSE(w.HasWorker());
    EXPECT_FALSE(w.IsRunning());
    EXPECT_EQ(fakeRun->passes, 0);
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "No log!");
    EXPECT_EQ(Of(w).m_StatusField->toolTip().toStdString(),
              "Last run: not started; the log cannot be written in " + dir.File("missing") +
                  ": No such file or directory");
    for (CActiveButton* control : RunControls()) {
        EXPECT_TRUE(control->isEnabled());
    }
}

TEST_F(TaggingRunWindow, LoggingOffWritesNoFile) {
    const std::string folder = PhotoFolder("one", 1);
    Configure({folder}, {true}, Gpx("track.gpx", "48.137154"));
    Profile().WriteProfileString(kSettingsSection, kLogfileDir, dir.Path());
    CFenrikWnd& w = Create();
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_FALSE(fs::exists(dir.File("fenrik.log")));
}

TEST_F(TaggingRunWindow, ClosingDuringARunStopsSafelyAndThenCloses) {
    const std::string folder = PhotoFolder("many", 60);
    std::map<std::string, std::string> before;
    for (const auto& entry : fs::directory_iterator(folder)) {
        before[entry.path().string()] = ReadFileText(entry.path().string());
    }
    Configure({folder}, {true}, Gpx("track.gpx", "48.137154"));
    CFenrikWnd& w = Create();
    w.show();
    w.OnStart();
    Of(w).m_CloseButton->click();
    EXPECT_FALSE(w.isVisible());
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Of(w).m_StartButton, nullptr);  // released once the run had ended
    for (const auto& [path, content] : before) {
        // Every photo is either untouched or completely tagged.
        if (ReadFileText(path) != content) {
            EXPECT_EQ(ReadExif(path).count(kLat), 1u) << path;
        }
    }
}

TEST_F(TaggingRunWindow, SystemCloseDuringARunClosesOnceTheRunHasEnded) {
    fakeRun = std::make_shared<FakeTaggingRunner::Script>();
    fakeRun->hold = true;  // until the close asks it to stop
    CFenrikWnd& w = Create();
    w.show();
    w.OnStart();
    ASSERT_TRUE(fakeRun->WaitUntilRunning());
    EXPECT_TRUE(w.close() == false || !w.isVisible());
    EXPECT_FALSE(w.isVisible());
    ASSERT_TRUE(WaitForIdle());
    EXPECT_FALSE(w.isVisible());
    EXPECT_NE(Of(w).m_StartButton, nullptr);  // the system close releases nothing itself
}

TEST_F(TaggingRunWindow, DestroyingTheWindowDuringARunWaitsForTheWorker) {
    fakeRun = std::make_shared<FakeTaggingRunner::Script>();
    fakeRun->hold = true;
    CFenrikWnd& w = Create();
    w.OnStart();
    ASSERT_TRUE(fakeRun->WaitUntilRunning());
    window.reset();  // must neither deadlock nor leave the worker using freed objects
    EXPECT_TRUE(fakeRun->stopRequested);
    EXPECT_FALSE(fakeRun->running);
}

// The window hands the run a copy of its settings, shows the run's counts while it lasts and
// its summary when it ends; its controls are the run's own while it runs.
TEST_F(TaggingRunWindow, TheRunGetsTheSettingsAndTheWindowShowsWhatTheRunReports) {
    fakeRun = std::make_shared<FakeTaggingRunner::Script>();
    fakeRun->hold = true;
    fakeRun->progress.photosListed = true;
    fakeRun->progress.photos = 12;
    fakeRun->progress.checked = 5;
    fakeRun->finished.folders = 1;
    fakeRun->finished.gpxPoints = 3;
    fakeRun->finished.checked = fakeRun->finished.photos = fakeRun->finished.skipped = 1;
    Configure({dir.File("a"), dir.File("b")}, {false, true}, dir.File("t.gpx"));
    CFenrikWnd& w = Create();
    w.OnStart();
    ASSERT_TRUE(fakeRun->WaitUntilRunning());
    {
        std::lock_guard<std::mutex> lock(fakeRun->mutex);
        EXPECT_EQ(fakeRun->inputs.gpxPath, dir.File("t.gpx"));
        EXPECT_EQ(fakeRun->inputs.hotFolders[1], dir.File("b"));
        EXPECT_EQ(fakeRun->inputs.hotFolderOn, (std::array<bool, 4>{false, true, false, false}));
        EXPECT_EQ(fakeRun->inputs.tolerance, 2 * kFileTimeUnitsPerMinute);
        EXPECT_EQ(fakeRun->inputs.biasInMinutes, -60);
    }
    ASSERT_TRUE(QTest::qWaitFor([&w] { return Of(w).m_StatusField->GetText() == "Tagging..."; }));
    ASSERT_TRUE(QTest::qWaitFor(
        [&w] { return Of(w).m_StatusField->toolTip() == "Tagging: 5 of 12 photos checked"; }));
    for (CActiveButton* control : RunControls()) {
        EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_FALSE(Of(w).m_Spinner->isHidden());
    w.OnStart();  // a second start while one runs is no second run
    fakeRun->Release();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(fakeRun->passes, 1);
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Errors!");
    EXPECT_EQ(Of(w).m_StatusField->toolTip().toStdString(), RunSummaryText(fakeRun->finished));
    for (CActiveButton* control : RunControls()) {
        EXPECT_TRUE(control->isEnabled());
    }
    EXPECT_TRUE(Of(w).m_Spinner->isHidden());
}

// Records every tool tip a widget is given, in order.
class ToolTipRecorder : public QObject {
public:
    explicit ToolTipRecorder(QWidget* widget) : m_Widget(widget) {
        widget->installEventFilter(this);
    }
    std::vector<std::string> tips;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_Widget && event->type() == QEvent::ToolTipChange) {
            tips.push_back(m_Widget->toolTip().toStdString());
        }
        return false;
    }

private:
    QWidget* m_Widget;
};

QString AccessibleText(QWidget* widget, QAccessible::Text kind) {
    return QAccessible::queryAccessibleInterface(widget)->text(kind);
}

TEST_F(TaggingRunWindow, StatusLineTellsTheCountsAndThenTheSummary) {
    const std::string folder = PhotoFolder("mixed", 1);  // IMG_0.JPG matches the track
    WriteJpegWithExif(folder + "/late.jpg", {{"Exif.Photo.DateTimeDigitized",
                                              "2007:06:01 "
                                              "19:00:00"}});
    WriteJpegWithExif(folder + "/no_date.jpg",
                      {{"Exif.Photo.DateTimeDigitized", "2007:02:30 10:00:00"}});
    WriteFileText(folder + "/broken.jpg", "not a picture");
    Configure({folder}, {true}, Gpx("track.gpx", "48.137154"));
    CFenrikWnd& w = Create();
    EXPECT_EQ(Of(w).m_StatusField->toolTip(), "No tagging run yet");
    ToolTipRecorder recorder(Of(w).m_StatusField);
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());

    const std::string summary =
        "Last run: 4 photos checked in 1 folder; 1 tagged; 1 with no track point within 0 h "
        "2 min; 1 with no valid capture time; 1 skipped (switch the log file on to see why); "
        "GPX: 1 point";
    const std::vector<std::string> expected = {"Tagging: reading the GPX file",
                                               "Tagging: 0 of 4 photos checked",
                                               "Tagging: 1 of 4 photos checked",
                                               "Tagging: 2 of 4 photos checked",
                                               "Tagging: 3 of 4 photos checked",
                                               "Tagging: 4 of 4 photos checked",
                                               summary};
    EXPECT_EQ(recorder.tips, expected);
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Errors!");  // the broken photo
    EXPECT_EQ(AccessibleText(Of(w).m_StatusField, QAccessible::Name), "Status: Errors!");
    EXPECT_EQ(AccessibleText(Of(w).m_StatusField, QAccessible::Description),
              QString::fromStdString(summary));
    EXPECT_EQ(ReadExif(folder + "/IMG_0.JPG").count(kLat), 1u);
}

TEST_F(TaggingRunWindow, StartingARunLightsNoOtherButton) {
    const std::string folder = PhotoFolder("one", 2);
    Configure({folder}, {true}, Gpx("track.gpx", "48.137154"));
    CFenrikWnd& w = CreateActive();
    QTest::mouseMove(Of(w).m_StartButton, QPoint(10, 10));
    QTest::mouseMove(Of(w).m_StartButton, QPoint(11, 10));
    ASSERT_TRUE(Of(w).m_StartButton->hasFocus());
    QTest::mouseClick(Of(w).m_StartButton, Qt::LeftButton, Qt::NoModifier, QPoint(11, 10));
    ASSERT_TRUE(w.IsRunning() || w.HasWorker());
    // Disabling Start must not hand its focus, and the focus image, to the next button.
    EXPECT_TRUE(w.hasFocus());
    EXPECT_EQ(QApplication::focusWidget(), &w);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(QApplication::focusWidget(), &w);
}

TEST_F(TaggingRunWindow, EnterOnStartRunsTheTagging) {
    const std::string folder = PhotoFolder("one", 1);
    Configure({folder}, {true}, Gpx("track.gpx", "48.137154"));
    CFenrikWnd& w = CreateActive();
    Of(w).m_StartButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Of(w).m_StartButton, Qt::Key_Return);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_TRUE(Tagged(folder));
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Done!");
    // Started from the keyboard: the focus is back on Start, so Tab goes on from there.
    EXPECT_TRUE(Of(w).m_StartButton->hasFocus());
}

// The camera clock controls set in the dialog and taken by the next run from the window: a
// camera two minutes fast on Berlin summer time, a phone that records its own offset, and a
// photo with a position of its own that is to be kept.
TEST_F(TaggingRunWindow, CameraClockSettingsFromTheDialogAreTheRunsSettings) {
    const std::string folder = dir.File("trip");
    fs::create_directories(folder);
    const char kDigitized[] = "Exif.Photo.DateTimeDigitized";
    WriteJpegWithExif(folder + "/camera.jpg", {{kDigitized, "2007:06:01 13:07:30"}});
    WriteJpegWithExif(folder + "/phone.jpg", {{kDigitized, "2007:06:01 16:07:30"},
                                              {"Exif.Photo.OffsetTimeOriginal", "+05:00"}});
    WriteJpegWithExif(folder + "/located.jpg", {{kDigitized, "2007:06:01 13:07:30"},
                                                {kLat, "10/1 0/1 0/1"},
                                                {"Exif.GPSInfo.GPSLongitude", "20/1 0/1 0/1"}});
    const std::string gpx = dir.File("track.gpx");
    WriteFileText(gpx,
                  "<gpx><trk><trkseg><trkpt lat=\"48.137154\" lon=\"11.575382\">"
                  "<time>2007-06-01T11:05:00Z</time></trkpt></trkseg></trk></gpx>");
    Configure({folder}, {true}, gpx);
    const std::string locatedBefore = ReadFileText(folder + "/located.jpg");
    CFenrikWnd& w = Create();
    RunDirConfig(w, [](CDirectoryConfigDlg& d) {
        QComboBox* zone = d.m_TimeZoneCombo;
        zone->setCurrentIndex(zone->findText("(UTC+01:00) Europe/Berlin"));
        d.OnSelchangeTimeZone();
        d.m_ClockCorrectionEdit->setText("120");
        qobject_cast<QCheckBox*>(FindControl(d, kIdUsePhotoTimeZoneCheck))->setChecked(true);
        qobject_cast<QCheckBox*>(FindControl(d, kIdFollowDaylightSavingCheck))->setChecked(true);
        qobject_cast<QCheckBox*>(FindControl(d, kIdReplaceRecordedPositionsCheck))
            ->setChecked(false);
        d.OnBnClickedOk();
    });
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    // 13:07:30 less 2 min is 13:05:30 at +02:00: 11:05:30 UTC, within 2 min of the point. Read
    // with the standard +01:00 or without the correction it would be out of reach.
    EXPECT_EQ(ReadExif(folder + "/camera.jpg").count(kLat), 1u);
    // 16:07:30 less 2 min at the photo's own +05:00: 11:05:30 UTC as well.
    EXPECT_EQ(ReadExif(folder + "/phone.jpg").count(kLat), 1u);
    EXPECT_EQ(ReadFileText(folder + "/located.jpg"), locatedBefore);
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Done!");
    const std::string summary = Of(w).m_StatusField->toolTip().toStdString();
    EXPECT_NE(summary.find("2 tagged; 1 had a position"), std::string::npos) << summary;
    EXPECT_NE(summary.find("1 read with their own time offset"), std::string::npos) << summary;
}

}  // namespace

// The RAW sidecar switch as the user sets it in the dialog, taken by the window's next run.
TEST_F(TaggingRunWindow, RawPhotosGoThroughSidecarsOnlyWhileTheSwitchIsOn) {
    const std::string folder = PhotoFolder("pair", 1);  // IMG_0.JPG
    const std::string raw = folder + "/IMG_0.RW2";
    WriteRawFile(raw, RawFormat::Rw2, "2007:06:01 13:05:30");
    const std::string rawBefore = ReadFileText(raw);
    const std::string sidecar = folder + "/IMG_0.xmp";
    Configure({folder}, {true}, Gpx("track.gpx", "48.137154"));
    CFenrikWnd& w = Create();
    const auto setSwitch = [&w](bool on) {
        RunDirConfig(w, [on](CDirectoryConfigDlg& d) {
            qobject_cast<QCheckBox*>(FindControl(d, kIdRawSidecarsCheck))->setChecked(on);
            d.OnBnClickedOk();
        });
    };

    setSwitch(false);
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(ReadExif(folder + "/IMG_0.JPG").count(kLat), 1u);
    EXPECT_FALSE(fs::exists(sidecar));
    EXPECT_EQ(Of(w).m_StatusField->toolTip().toStdString().find("RAW"), std::string::npos);

    setSwitch(true);
    w.OnStart();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Done!");
    EXPECT_EQ(ReadSidecar(sidecar)["Xmp.exif.GPSLatitude"], "48,08.229167N");
    EXPECT_EQ(ReadFileText(raw), rawBefore);
    const std::string summary = Of(w).m_StatusField->toolTip().toStdString();
    EXPECT_NE(summary.find("1 RAW photo: 1 sidecar written"), std::string::npos) << summary;
}
