// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: creation, shape, stored settings and the window's commands.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "AppFixture.h"
#include "app/GpxFileDialog.h"
#include "app/ProductLinks.h"
#include "app/WindowShape.h"
#include "resources/SkinResources.h"

namespace {

int RegionArea(const QRegion& region) {
    int area = 0;
    for (const QRect& rect : region) {
        area += rect.width() * rect.height();
    }
    return area;
}

TEST(WindowGeometry, CentresOnTheMaximisedArea) {
    EXPECT_EQ(CenteredWindowRect(1936, 1056), QRect(QPoint(820, 412), QPoint(1115, 644)));
    EXPECT_EQ(CenteredWindowRect(1025, 769).left(), 364);
    EXPECT_EQ(CenteredWindowRect(1025, 769).top(), 268);
    EXPECT_EQ(CenteredWindowRect(1025, 769).size(), QSize(296, 233));
}

TEST(WindowShape, OnlyPureBlackIsCut) {
    QImage mask(4, 3, QImage::Format_RGB32);
    mask.fill(QColor(1, 1, 1));
    mask.setPixel(0, 0, 0xFF000000u);
    mask.setPixel(3, 2, 0xFF000000u);
    const QRegion region = RegionFromMask(mask, 5, 3);  // column 4 lies outside the mask
    EXPECT_EQ(RegionArea(region), 15 - 2);
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_TRUE(region.contains(QPoint(4, 2)));
}

class MainWindow : public AppTest {};

TEST_F(MainWindow, FirstStartWithAnEmptyProfile) {
    CFenrikWnd& w = Create();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(Field(n)->GetText(), "");
        EXPECT_FALSE(Field(n)->isEnabled());
    }
    EXPECT_EQ(Of(w).m_DeviceField->GetText(), "");
    EXPECT_EQ(Of(w).m_StatusField->GetText(), "Ready");
    EXPECT_TRUE(Of(w).m_Spinner->isHidden());
    EXPECT_EQ(Of(w).m_ConfigDlg->m_BiasInMinutes, 0);
    EXPECT_EQ(w.size(), QSize(296, 233));
    EXPECT_EQ(RegionArea(w.mask()), 296 * 233 - 612);
    EXPECT_EQ(Of(w).m_HomePageButton->geometry(), QRect(16, 212, 73, 13));
    EXPECT_EQ(Of(w).m_StartButton->Id(), 102);
}

TEST_F(MainWindow, StoredSettingsAreShown) {
    Profile().WriteProfileString(kSettingsSection, kHotFolder2, "/photos/trip");
    Profile().WriteProfileInt(kSettingsSection, kHotFolder2Enabled, 1);
    Profile().WriteProfileString(kSettingsSection, kHotFolder3, "/photos/off");
    Profile().WriteProfileString(kSettingsSection, kDevice, "/tracks/day.gpx");
    Profile().WriteProfileInt(kSettingsSection, kBiasInMinutes, -60);
    CFenrikWnd& w = Create();
    EXPECT_EQ(Field(2)->GetText(), "/photos/trip");
    EXPECT_TRUE(Field(2)->isEnabled());
    EXPECT_EQ(Field(3)->GetText(), "/photos/off");
    EXPECT_FALSE(Field(3)->isEnabled());
    EXPECT_EQ(Of(w).m_DeviceField->GetText(), "/tracks/day.gpx");
    EXPECT_EQ(Of(w).m_ConfigDlg->m_Device, "/tracks/day.gpx");
    EXPECT_EQ(Of(w).m_ConfigDlg->m_BiasInMinutes, -60);
}

TEST_F(MainWindow, OnlyASingleLocalDropBecomesTheGpxFile) {
    CFenrikWnd& w = Create();
    w.OnDropFiles({QUrl::fromLocalFile("/a.gpx"), QUrl::fromLocalFile("/b.gpx")});
    w.OnDropFiles({QUrl("https://example.org/track.gpx")});
    w.OnDropFiles({});
    EXPECT_EQ(Of(w).m_ConfigDlg->m_Device, "");
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kDevice, "none"), "none");

    w.OnDropFiles({QUrl::fromLocalFile(QString::fromStdString(dir.Path()))});  // a folder too
    EXPECT_EQ(Of(w).m_ConfigDlg->m_Device, dir.Path());
    EXPECT_EQ(Of(w).m_DeviceField->GetText(), dir.Path());
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kDevice, ""), dir.Path());
}

TEST_F(MainWindow, FileDialogChoiceIsTakenAndCancelChangesNothing) {
    CFenrikWnd& w = Create();
    gpxFileChoice.clear();
    w.OnCommand(104);
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kDevice, "none"), "none");
    gpxFileChoice = "/tracks/new.gpx";
    w.OnCommand(104);
    EXPECT_EQ(Of(w).m_ConfigDlg->m_Device, "/tracks/new.gpx");
    EXPECT_EQ(Of(w).m_DeviceField->GetText(), "/tracks/new.gpx");
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kDevice, ""), "/tracks/new.gpx");
}

TEST_F(MainWindow, TogglesFlipAndStoreTheHotFolderState) {
    Profile().WriteProfileString(kSettingsSection, kHotFolder1, "/photos");
    CFenrikWnd& w = Create();
    w.OnCommand(112);  // hot folder 2 has no path: nothing happens
    EXPECT_FALSE(Field(2)->isEnabled());
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kHotFolder2Enabled, 7), 7);

    w.OnCommand(111);
    EXPECT_TRUE(Field(1)->isEnabled());
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kHotFolder1Enabled, 7), 1);
    Of(w).m_HotFolderCheck1->click();
    EXPECT_FALSE(Field(1)->isEnabled());
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kHotFolder1Enabled, 7), 0);
}

namespace fs = std::filesystem;

TEST_F(MainWindow, TheGpxChooserStartsWhereTheCurrentTrackLies) {
    CFenrikWnd& w = Create();
    gpxFileChoice = dir.File("day.gpx");
    w.OnCommand(104);
    gpxFileChoice = dir.Path();  // a folder of tracks is taken as well
    w.OnCommand(104);
    EXPECT_EQ(gpxChooserStart, dir.File("day.gpx"));
    EXPECT_EQ(Of(w).m_ConfigDlg->m_Device, dir.Path());

    fs::create_directory(dir.File("tracks"));
    WriteFileText(dir.File("tracks/a.gpx"), "");
    EXPECT_EQ(GpxChooserStartFolder(dir.File("tracks/a.gpx")), dir.File("tracks"));
    EXPECT_EQ(GpxChooserStartFolder(dir.File("tracks/gone.gpx")), dir.File("tracks"));
    EXPECT_EQ(GpxChooserStartFolder(dir.File("tracks")), dir.File("tracks"));
    EXPECT_EQ(GpxChooserStartFolder(dir.File("nowhere/gone.gpx")), "");
    EXPECT_EQ(GpxChooserStartFolder(""), "");

    const std::string filter = TrackChooserFilter();
    EXPECT_EQ(filter.rfind("Track files (*.gpx *.", 0), 0u) << filter;
    EXPECT_NE(filter.find(" *.fit "), std::string::npos) << filter;
    EXPECT_NE(filter.find(");;GPX files (*.gpx);;All files (*)"), std::string::npos) << filter;
}

TEST_F(MainWindow, DirConfigTakesOverChangedFoldersOnly) {
    Profile().WriteProfileString(kSettingsSection, kHotFolder1, "/same");
    Profile().WriteProfileString(kSettingsSection, kHotFolder2, "/Case");
    Profile().WriteProfileString(kSettingsSection, kHotFolder3, "/emptied");
    Profile().WriteProfileInt(kSettingsSection, kHotFolder3Enabled, 0);
    CFenrikWnd& w = Create();
    RunDirConfig(w, [](CDirectoryConfigDlg& d) {
        d.m_HotFolderEdit2->setText("/case");
        d.m_HotFolderEdit3->setText("");
        d.m_HotFolderEdit4->setText("/typed/by hand");
        d.OnBnClickedOk();
    });
    EXPECT_FALSE(Field(1)->isEnabled());  // unchanged: keeps its state, nothing written
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kHotFolder1Enabled, 7), 7);
    EXPECT_EQ(Field(2)->GetText(), "/case");  // a change of letter case counts
    EXPECT_TRUE(Field(2)->isEnabled());
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kHotFolder2, ""), "/case");
    EXPECT_EQ(Field(3)->GetText(), "");  // emptied: off, stored empty, and no Tab stop
    EXPECT_FALSE(Field(3)->isEnabled());
    EXPECT_FALSE(Of(w).m_HotFolderCheck3->isChecked());
    EXPECT_EQ(Of(w).m_HotFolderCheck3->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kHotFolder3Enabled, 7), 0);
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kHotFolder3, "none"), "");
    EXPECT_EQ(Field(4)->GetText(), "/typed/by hand");
    EXPECT_TRUE(Of(w).m_HotFolderCheck4->isChecked());
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kHotFolder4Enabled, 7), 1);
}

TEST_F(MainWindow, DirConfigCancelChangesNothing) {
    CFenrikWnd& w = Create();
    RunDirConfig(w, [](CDirectoryConfigDlg& d) {
        d.m_HotFolderEdit1->setText("/new");
        d.reject();
    });
    EXPECT_EQ(Field(1)->GetText(), "");
    EXPECT_FALSE(Field(1)->isEnabled());
    EXPECT_EQ(Profile().GetProfileString(kSettingsSection, kHotFolder1, "none"), "none");
}

TEST_F(MainWindow, WebButtonsOpenTheirPages) {
    CFenrikWnd& w = Create();
    Of(w).m_HomePageButton->click();
    Of(w).m_HelpButton->click();
    ASSERT_EQ(urls.opened.size(), 2u);
    EXPECT_EQ(urls.opened[0], kHomePageUrl);
    EXPECT_EQ(urls.opened[1], kHelpPageUrl);
    EXPECT_EQ(urls.opened[1].substr(urls.opened[1].size() - 8), "help.php");
}

TEST_F(MainWindow, CloseButtonReleasesEverything) {
    CFenrikWnd& w = Create();
    w.show();
    Of(w).m_CloseButton->click();
    ASSERT_TRUE(QTest::qWaitFor([&w] { return Of(w).m_StartButton == nullptr; }));
    EXPECT_EQ(Of(w).m_ConfigDlg, nullptr);
    EXPECT_EQ(Of(w).m_StatusField, nullptr);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindow, PressingTheBodyDragsTheWindow) {
    CFenrikWnd& w = Create();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QPoint start = w.pos();
    QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(150, 70));
    QMouseEvent drag(QEvent::MouseMove, QPointF(150, 70), QPointF(start + QPoint(180, 90)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drag);
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(180, 90));
    EXPECT_EQ(w.pos(), start + QPoint(30, 20));
}

TEST_F(MainWindow, AnInstantClickOnTheBodyLeavesTheWindowWhereItIs) {
    CFenrikWnd& w = Create();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QPoint start = w.pos();
    QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, QPoint(150, 70));
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, QPoint(150, 70));
    // The pointer moves on with no button held, as after a click sent by a tool.
    QMouseEvent away(QEvent::MouseMove, QPointF(150, 70), QPointF(start + QPoint(400, 300)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &away);
    EXPECT_EQ(w.pos(), start);
}

TEST_F(MainWindow, HoverFocusFollowsTheMouse) {
    CFenrikWnd& w = Create();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QMouseEvent overButton(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                           Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Of(w).m_StartButton, &overButton);
    EXPECT_TRUE(Of(w).m_StartButton->hasFocus());
    QMouseEvent overBody(QEvent::MouseMove, QPointF(150, 70), QPointF(150, 70), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &overBody);
    EXPECT_FALSE(Of(w).m_StartButton->hasFocus());
}

}  // namespace
