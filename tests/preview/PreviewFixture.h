// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A trip to preview: a track of two segments and a waypoint, and photos taken along it, some of
// which no run would place.

#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <string>

#include "JpegFixtures.h"
#include "TestSupport.h"
#include "WidgetTestSupport.h"
#include "platform/NumberText.h"
#include "preview/PreviewWindow.h"

inline constexpr char kTaken[] = "Exif.Photo.DateTimeDigitized";

// The first segment runs east along 46 N from 14 E, a fix a minute from 12:00 to 13:00 UTC, a
// thousandth of a degree apart; the second from 14:00 to 14:10 along 47 N.
inline std::string TripGpx() {
    std::string gpx = "<gpx><wpt lat=\"46.05\" lon=\"14.02\"><name>Hut</name></wpt><trk><trkseg>";
    for (int minute = 0; minute <= 60; ++minute) {
        gpx += FormatC(
            160, "<trkpt lat=\"46.0\" lon=\"%.3f\"><time>2020-06-01T%02d:%02d:00Z</time></trkpt>",
            14.0 + 0.001 * minute, 12 + minute / 60, minute % 60);
    }
    gpx += "</trkseg><trkseg>";
    for (int minute = 0; minute <= 10; ++minute) {
        gpx += FormatC(
            160, "<trkpt lat=\"47.0\" lon=\"%.3f\"><time>2020-06-01T14:%02d:00Z</time></trkpt>",
            15.0 + 0.001 * minute, minute);
    }
    return gpx + "</trkseg></trk></gpx>";
}

class PreviewTest : public WidgetTest {
protected:
    PreviewTest() {
        WriteFileText(m_Dir.File("trip.gpx"), TripGpx());
        m_Photos = m_Dir.File("photos");
        std::filesystem::create_directories(m_Photos);
        Photo("a-on-a-fix.jpg", "2020:06:01 12:10:00");
        Photo("b-between.jpg", "2020:06:01 12:20:30");
        Photo("c-too-early.jpg", "2020:06:01 11:00:00");
        Photo("e-second-segment.jpg", "2020:06:01 14:05:00");
        WriteFileText(m_Photos + "/d-not-a-photo.jpg", "Hello, this is no JPEG");
    }

    void Photo(const std::string& name, const std::string& taken) {
        WriteJpegWithExif(m_Photos + "/" + name, {{kTaken, taken}});
    }

    PreviewRequest Request(bool interpolate = true) {
        PreviewRequest request;
        request.inputs.gpxPath = m_Dir.File("trip.gpx");
        request.inputs.hotFolders[0] = m_Photos;
        request.inputs.hotFolderOn[0] = true;
        request.inputs.tolerance = 5 * kFileTimeUnitsPerMinute;
        request.inputs.clock.zoneId = "UTC";
        request.inputs.clock.usePhotoTimeZone = false;
        request.inputs.interpolate = interpolate;
        return request;
    }

    // A preview, every photo read.
    std::unique_ptr<PreviewWindow> Open(PreviewRequest request) {
        auto window = std::make_unique<PreviewWindow>(std::move(request));
        window->resize(1000, 650);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->AllRead(); }, 20000));
        return window;
    }

    static QPushButton* Button(QWidget& window, const QString& text) {
        for (QPushButton* button : window.findChildren<QPushButton*>()) {
            if (button->text().remove(QLatin1Char('&')) == text) {
                return button;
            }
        }
        return nullptr;
    }

    TempDir m_Dir;
    std::string m_Photos;
};
