// SPDX-License-Identifier: GPL-3.0-or-later
// Where the preview opens (the window's menu and Ctrl+P, the dialog, the command line), what it
// is shown, and what "Use these settings", "Tag now" and closing do with the user's choice.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <sstream>

#include "AppFixture.h"
#include "JpegFixtures.h"
#include "app/PreviewCommand.h"
#include "app/ProductLinks.h"
#include "app/TagCommand.h"
#include "config/DialogBuilder.h"
#include "config/DirectoryConfigTemplate.h"

namespace {

class PreviewLaunch : public AppTest {
protected:
    // A preview that records its request and answers with `result` and `choice`.
    void Answer(PreviewWindow::Result result, PreviewChoice choice = {}) {
        preview = [this, result, choice](QWidget* parent, PreviewRequest request) {
            ++opened;
            shownParent = parent;
            shown = std::move(request);
            return PreviewOutcome{result, choice};
        };
    }

    static PreviewChoice Choice(int correction, int32_t zoneIndex) {
        PreviewChoice choice;
        choice.correctionSeconds = correction;
        choice.zoneIndex = zoneIndex;
        choice.followDaylightSaving = true;
        choice.usePhotoTimeZone = false;
        choice.interpolate = true;
        choice.maxGapSeconds = 600;
        return choice;
    }

    int opened = 0;
    QWidget* shownParent = nullptr;
    PreviewRequest shown;
};

TEST_F(PreviewLaunch, TheTilesAreAskedForAsTheProfileSaysAndInTheUsersCacheFolder) {
    qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.File("cache")));
    TileServer server = TileServerFrom(Profile());
    EXPECT_EQ(server.urlTemplate, kDefaultMapTileUrl);  // the standard tiles of the usage policy
    // The User-Agent names the program, its version and where to reach its makers.
    EXPECT_EQ(server.userAgent.toStdString(),
              std::string("Fenrik/") + FENRIK_VERSION + " (+" + kHomePageUrl + ")");
    EXPECT_EQ(server.cacheFolder.toStdString().rfind(dir.File("cache") + "/Quillbay/", 0), 0u);
    EXPECT_EQ(server.cacheBytes, 200 * 1024 * 1024);
    EXPECT_EQ(server.parallel, 2);
    Profile().WriteProfileString(kSettingsSection, kMapTileUrl, "http://127.0.0.1:1/{z}/{x}/{y}");
    Profile().WriteProfileInt(kSettingsSection, kMapCacheMegabytes, -5);
    server = TileServerFrom(Profile());
    EXPECT_EQ(server.urlTemplate, "http://127.0.0.1:1/{z}/{x}/{y}");
    EXPECT_EQ(server.cacheBytes, 1024 * 1024);
    qunsetenv("XDG_CACHE_HOME");
}

TEST_F(PreviewLaunch, FromTheWindowsMenuUseTheseSettingsKeepsThemAndClosingDiscardsThem) {
    Profile().WriteProfileInt(kSettingsSection, kClockCorrectionSeconds, 30);
    Profile().WriteProfileString(kSettingsSection, kMapAttribution, "Tiles by a test");
    Answer(PreviewWindow::Result::Closed, Choice(-90, 1));
    CFenrikWnd& w = CreateActive();
    QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(shown.inputs.clock.correctionSeconds, 30);
    EXPECT_EQ(shown.attribution, "Tiles by a test");
    EXPECT_FALSE(shown.inputs.useLogfile);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kClockCorrectionSeconds, 0), 30);

    Answer(PreviewWindow::Result::UseSettings, Choice(-90, 1));
    // The window's context menu, as the Menu key opens it.
    QTimer::singleShot(0, [] {
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions()[0]->text(), "Preview on map...");
        menu->actions()[0]->trigger();
        menu->close();
    });
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(10, 10),
                              w.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&w, &menuKey);
    ASSERT_EQ(opened, 2);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kClockCorrectionSeconds, 0), -90);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kInterpolatePositions, 0), 1);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kMaxInterpolationGapSeconds, 0), 600);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kUsePhotoTimeZone, 1), 0);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kTZIndex, -1), 1);
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kTimeZoneId, ""), "UTC");
    EXPECT_EQ(w.ConfigDialog()->m_ClockCorrectionSeconds, -90);
    EXPECT_EQ(w.ConfigDialog()->m_TimeZoneId, "UTC");
}

TEST_F(PreviewLaunch, TagNowFromTheWindowRunsWithTheChosenSettings) {
    fakeRun = std::make_shared<FakeTaggingRunner::Script>();
    Answer(PreviewWindow::Result::TagNow, Choice(45, 0));
    CFenrikWnd& w = CreateActive();
    w.OnPreview();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakeRun->passes == 1 && !w.HasWorker(); }, 10000));
    EXPECT_EQ(fakeRun->inputs.clock.correctionSeconds, 45);
    EXPECT_EQ(fakeRun->inputs.clock.zoneId, "Europe/Berlin");
    EXPECT_EQ(fakeRun->inputs.biasInMinutes, -60);
    EXPECT_TRUE(fakeRun->inputs.interpolate);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kClockCorrectionSeconds, 0), 45);
}

TEST_F(PreviewLaunch, FromTheDialogItShowsWhatTheDialogShowsAndAnswersIntoIt) {
    fakeRun = std::make_shared<FakeTaggingRunner::Script>();
    const std::string folder = dir.File("typed");
    Answer(PreviewWindow::Result::UseSettings, Choice(-20, 1));
    CFenrikWnd& w = CreateActive();
    RunDirConfig(w, [&](CDirectoryConfigDlg& d) {
        QWidget* button = FindControl(d, kIdPreviewOnMap);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isVisible());
        d.m_ClockCorrectionEdit->setText("700");  // typed, not yet taken
        d.m_HotFolderEdit2->setText(QString::fromStdString(folder));
        qobject_cast<QPushButton*>(button)->click();
        EXPECT_EQ(shownParent, &d);
        EXPECT_EQ(shown.inputs.clock.correctionSeconds, 700);
        EXPECT_EQ(shown.inputs.hotFolders[1], folder);
        EXPECT_TRUE(shown.inputs.hotFolderOn[1]);
        EXPECT_EQ(d.m_ClockCorrectionEdit->text(), "-20");
        EXPECT_EQ(d.m_TimeZoneCombo->currentText(), "(UTC+00:00) UTC");
        d.reject();
    });
    ASSERT_EQ(opened, 1);
    // Cancelled: the dialog's values were never taken.
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kClockCorrectionSeconds, 0), 0);

    Answer(PreviewWindow::Result::TagNow, Choice(-20, 1));
    RunDirConfig(w, [&](CDirectoryConfigDlg& d) {
        qobject_cast<QPushButton*>(FindControl(d, kIdPreviewOnMap))->click();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return fakeRun->passes == 1 && !w.HasWorker(); }, 10000));
    EXPECT_EQ(fakeRun->inputs.clock.correctionSeconds, -20);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kClockCorrectionSeconds, 0), -20);
}

TEST_F(PreviewLaunch, NotWhileARunIsInProgress) {
    fakeRun = std::make_shared<FakeTaggingRunner::Script>();
    fakeRun->hold = true;
    Answer(PreviewWindow::Result::Closed);
    CFenrikWnd& w = CreateActive();
    w.OnStart();
    ASSERT_TRUE(fakeRun->WaitUntilRunning());
    w.OnPreview();
    EXPECT_EQ(opened, 0);
    fakeRun->Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.HasWorker(); }, 10000));
}

// `fenrik --preview`: the command line's settings shown; its choice stored only when asked, and
// "Tag now" runs the pass --tag would, with the choice.
TEST_F(PreviewLaunch, FromTheCommandLine) {
    const std::string photos = dir.File("photos");
    std::filesystem::create_directories(photos);
    WriteJpegWithExif(photos + "/a.jpg", {{"Exif.Photo.DateTimeDigitized", "2020:06:01 12:01:00"}});
    const std::string gpx = dir.File("t.gpx");
    WriteFileText(gpx,
                  "<gpx><trk><trkseg><trkpt lat=\"46.5\" lon=\"14.5\"><time>2020-06-01T12:00:00Z"
                  "</time></trkpt></trkseg></trk></gpx>");
    const CommandLine line = ParseCommandLine(
        {"--preview", "--gpx", gpx, "--folder", photos, "--zone", "UTC", "--tolerance", "0:00"});
    ASSERT_EQ(line.mode, CommandLine::Mode::Preview) << line.error;
    std::ostringstream out, err;
    Answer(PreviewWindow::Result::Closed, Choice(60, -1));
    EXPECT_EQ(PreviewFromCommandLine(line, Profile(), out, err, preview), kExitCompleted);
    EXPECT_EQ(shown.inputs.gpxPath, gpx);
    EXPECT_EQ(shown.inputs.clock.zoneId, "UTC");
    EXPECT_TRUE(shown.inputs.hotFolderOn[0]);
    EXPECT_FALSE(std::filesystem::exists(dir.File("profile/fenrik.conf")));

    Answer(PreviewWindow::Result::UseSettings, Choice(60, -1));
    EXPECT_EQ(PreviewFromCommandLine(line, Profile(), out, err, preview), kExitCompleted);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kClockCorrectionSeconds, 0), 60);
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kDevice, ""), "");  // --gpx not kept
    EXPECT_FALSE(ReadExif(photos + "/a.jpg").count("Exif.GPSInfo.GPSLatitude"));

    Answer(PreviewWindow::Result::TagNow, Choice(60, -1));
    EXPECT_EQ(PreviewFromCommandLine(line, Profile(), out, err, preview), kExitCompleted)
        << err.str();
    EXPECT_EQ(ReadExif(photos + "/a.jpg").count("Exif.GPSInfo.GPSLatitude"), 1u) << out.str();

    const CommandLine badZone = ParseCommandLine({"--preview", "--zone", "Mars/Olympus"});
    opened = 0;
    EXPECT_EQ(PreviewFromCommandLine(badZone, Profile(), out, err, preview), kExitBadUsage);
    EXPECT_EQ(opened, 0);
}

}  // namespace
