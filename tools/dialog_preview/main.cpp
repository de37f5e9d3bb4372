// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the directory configuration dialog with sample settings, without the modal loop, and
// saves pictures of it:
//     fenrik_dialog_preview <output folder>
// writes dialog.png (the dialog as drawn), dialog-x2.png (twice enlarged) and screen.png (the
// whole screen with the time zone list dropped down). The profile is a temporary file, so the
// user's settings are never touched; the zones are the system's.

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "config/CDirectoryConfigDlg.h"
#include "config/DialogBuilder.h"
#include "config/DirectoryConfigTemplate.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

namespace {

void FillSampleSettings(ProfileStore& profile) {
    profile.WriteProfileString(kSettingsSection, kHotFolder1, "/home/anna/Pictures/Camera");
    profile.WriteProfileString(
        kSettingsSection, kHotFolder2,
        "/home/anna/Pictures/2024/Lofoten trip with the family and friends/Day 3 - Reine");
    profile.WriteProfileString(kSettingsSection, kHotFolder3, "/media/anna/SD-CARD/DCIM/100CANON");
    profile.WriteProfileString(kSettingsSection, kToleranceHours, "0");
    profile.WriteProfileString(kSettingsSection, kToleranceMinutes, "2");
    profile.WriteProfileInt(kSettingsSection, kUseLogfile, 1);
    profile.WriteProfileString(kSettingsSection, kLogfileDir, "/home/anna/.cache/fenrik");
    profile.WriteProfileInt(kSettingsSection, kTZIndex, kTZIndexSystemZone);
    profile.WriteProfileInt(kSettingsSection, kClockCorrectionSeconds, 200);
    profile.WriteProfileInt(kSettingsSection, kFollowDaylightSaving, 1);
}

bool Save(const QImage& image, const QString& path) {
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%d x %d)\n", qPrintable(path), image.width(), image.height());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir profileDir;
    ProfileStore profile(profileDir.filePath(QStringLiteral("fenrik.conf")).toStdString());
    FillSampleSettings(profile);

    ConfigServices services;
    // The program reads a photo's capture time through the engine; the preview needs none.
    services.readCaptureTime = [](const std::string&) { return std::optional<std::string>(); };
    CDirectoryConfigDlg dialog(nullptr, profile, services);
    dialog.CreateControls();
    dialog.OnInitDialog();
    dialog.show();
    QTest::qWait(300);

    const QImage image = dialog.grab().toImage();
    bool ok = Save(image, out.filePath(QStringLiteral("dialog.png")));
    ok = Save(image.scaled(image.size() * 2), out.filePath(QStringLiteral("dialog-x2.png"))) && ok;
    if (dialog.m_TimeZoneCombo != nullptr) {
        dialog.m_TimeZoneCombo->showPopup();
        QTest::qWait(300);
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        ok = Save(screen.toImage(), out.filePath(QStringLiteral("screen.png"))) && ok;
        dialog.m_TimeZoneCombo->hidePopup();
    }
    std::printf("font %s %d pt, %d x %d pixels\n", qPrintable(dialog.font().family()),
                dialog.font().pointSize(), dialog.width(), dialog.height());
    return ok ? 0 : 1;
}
