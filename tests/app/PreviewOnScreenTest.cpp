// SPDX-License-Identifier: GPL-3.0-or-later
// The map preview on a real X server, opened with the dialog's button: what the screen shows at
// each placed photo's position, and after the camera clock is corrected.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include "AppFixture.h"
#include "JpegFixtures.h"
#include "config/DialogBuilder.h"
#include "config/DirectoryConfigTemplate.h"
#include "map/MapView.h"
#include "platform/NumberText.h"

namespace {

constexpr QRgb kExact = 0xff2e7d32;    // 46, 125, 50
constexpr QRgb kBetween = 0xff1565c0;  // 21, 101, 192
constexpr char kTaken[] = "Exif.Photo.DateTimeDigitized";

// East along 46 N from 14 E, a fix a minute from 12:00 to 13:00 UTC, a hundredth of a degree
// apart: five minutes on the clock lie far apart on the map.
std::string TrackEast() {
    std::string gpx = "<gpx><trk><trkseg>";
    for (int minute = 0; minute <= 60; ++minute) {
        gpx += FormatC(
            160, "<trkpt lat=\"46.0\" lon=\"%.2f\"><time>2020-06-01T%02d:%02d:00Z</time></trkpt>",
            14.0 + 0.01 * minute, 12 + minute / 60, minute % 60);
    }
    return gpx + "</trkseg></trk></gpx>";
}

class PreviewOnScreen : public AppTest {
protected:
    PreviewOnScreen() {
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.File("cache")));
        WriteFileText(dir.File("trip.gpx"), TrackEast());
        const std::string photos = dir.File("photos");
        std::filesystem::create_directories(photos);
        WriteJpegWithExif(photos + "/a.jpg", {{kTaken, "2020:06:01 12:10:00"}});
        WriteJpegWithExif(photos + "/b.jpg", {{kTaken, "2020:06:01 12:40:30"}});
        ProfileStore& p = Profile();
        p.WriteProfileString(kSettingsSection, kHotFolder1, photos);
        p.WriteProfileInt(kSettingsSection, kHotFolder1Enabled, 1);
        p.WriteProfileString(kSettingsSection, kDevice, dir.File("trip.gpx"));
        p.WriteProfileInt(kSettingsSection, kTZIndex, 1);
        p.WriteProfileString(kSettingsSection, kTimeZoneId, "UTC");
        p.WriteProfileInt(kSettingsSection, kBiasInMinutes, 0);
        p.WriteProfileInt(kSettingsSection, kUsePhotoTimeZone, 0);
        p.WriteProfileInt(kSettingsSection, kToleranceMinutes, 5);
        p.WriteProfileInt(kSettingsSection, kInterpolatePositions, 1);
        // Nothing listens there: the map is drawn without tiles.
        p.WriteProfileString(kSettingsSection, kMapTileUrl, "http://127.0.0.1:1/{z}/{x}/{y}.png");
    }
    ~PreviewOnScreen() override { qunsetenv("XDG_CACHE_HOME"); }

    static PreviewWindow* OpenPreview() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<PreviewWindow*>(top); window && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    static const PlannedPhoto& Photo(const PreviewWindow& window, const std::string& name) {
        for (const PlannedPhoto& photo : window.Photos()) {
            if (std::filesystem::path(photo.file.path).filename() == name) {
                return photo;
            }
        }
        throw std::runtime_error("no photo " + name);
    }

    // The colour the X server shows at the centre of each placed photo's marker, by file name.
    static std::map<std::string, QRgb> ColoursAtMarkers(PreviewWindow& window) {
        MapView& map = window.Map();
        const QPoint origin = map.mapToGlobal(QPoint(0, 0));
        const QImage screen = window.screen()->grabWindow(0).toImage();
        std::map<std::string, QRgb> colours;
        for (const PlannedPhoto& photo : window.Photos()) {
            if (photo.placement.match) {
                const QPointF at = map.PointOf(photo.placement.match->position);
                colours[std::filesystem::path(photo.file.path).filename()] =
                    screen.pixel(origin + at.toPoint());
            }
        }
        return colours;
    }

    // The colours at the markers once the X server shows `expected`, or what it shows after a
    // generous while: the server paints when it gets to it.
    static std::map<std::string, QRgb> ColoursOnceShown(
        PreviewWindow& window, const std::map<std::string, QRgb>& expected) {
        static_cast<void>(
            QTest::qWaitFor([&] { return ColoursAtMarkers(window) == expected; }, 30000));
        return ColoursAtMarkers(window);
    }
};

TEST_F(PreviewOnScreen, FromTheDialogMarkersLieWhereThePlanPutsThemAndMoveWithTheClock) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    CFenrikWnd& w = CreateActive();
    bool checked = false;
    RunDirConfig(w, [&](CDirectoryConfigDlg& d) {
        QTimer::singleShot(0, [&] {
            PreviewWindow* const shown = OpenPreview();
            ASSERT_NE(shown, nullptr);
            ASSERT_TRUE(QTest::qWaitFor([&] { return shown->AllRead(); }, 20000));
            ASSERT_TRUE(QTest::qWaitForWindowExposed(shown));
            // On a fix at 12:10, and half way between the fixes of 12:40 and 12:41.
            const std::map<std::string, QRgb> placed = {{"a.jpg", kExact}, {"b.jpg", kBetween}};
            EXPECT_EQ(ColoursOnceShown(*shown, placed), placed);
            const GeoPosition before = Photo(*shown, "b.jpg").placement.match->position;

            // Five minutes and a quarter off: both between fixes, elsewhere.
            shown->CorrectionControl().setValue(315);
            ASSERT_TRUE(QTest::qWaitFor([&] {
                return Photo(*shown, "b.jpg").placement.match->position.longitude !=
                       before.longitude;
            }));
            ASSERT_TRUE(Photo(*shown, "a.jpg").placement.match);
            const std::map<std::string, QRgb> moved = {{"a.jpg", kBetween}, {"b.jpg", kBetween}};
            EXPECT_EQ(ColoursOnceShown(*shown, moved), moved);
            // Nothing is drawn where the second photo was.
            const QPoint old = shown->Map().mapToGlobal(shown->Map().PointOf(before).toPoint());
            EXPECT_NE(shown->screen()->grabWindow(0).toImage().pixel(old), kBetween);
            checked = true;
            shown->close();
        });
        qobject_cast<QPushButton*>(FindControl(d, kIdPreviewOnMap))->click();
        d.reject();
    });
    EXPECT_TRUE(checked);
    // Closed: nothing was taken.
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kClockCorrectionSeconds, 0), 0);
}

}  // namespace
