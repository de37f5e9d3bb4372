// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main window created on the offscreen platform with a temporary profile and a small,
// fixed time zone catalogue.

#include <QApplication>
#include <QDesktopServices>
#include <QDragLeaveEvent>
#include <QObject>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>

#include "FakeZoneSource.h"
#include "TestSupport.h"
#include "WidgetTestSupport.h"
#include "app/CFenrikWnd.h"
#include "app/WindowGeometry.h"
#include "config/CDirectoryConfigDlg.h"
#include "controls/CActiveButton.h"
#include "controls/CSpinner.h"
#include "controls/CTextfield.h"
#include "platform/Log.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

// Records the addresses that would have been opened in the browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    std::vector<std::string> opened;
public slots:
    void Open(const QUrl& url) { opened.push_back(url.toString().toStdString()); }
};

class AppTest : public WidgetTest {
public:
    // The window's parts, as the window holds them; tests reach them through Of(window).
    struct WindowParts {
        std::unique_ptr<CDirectoryConfigDlg>& m_ConfigDlg;
        CSpinner*& m_Spinner;
        CTextfield*& m_StatusField;
        std::atomic<bool>& m_Running;
        uint16_t& m_BackgroundBitmapId;
        CActiveButton*& m_CloseButton;
        CActiveButton*& m_MinimizeButton;
        CActiveButton*& m_StartButton;
        CActiveButton*& m_HelpButton;
        CActiveButton*& m_DeviceConfigButton;
        CActiveButton*& m_DirConfigButton;
        CActiveButton*& m_HomePageButton;
        CActiveButton*& m_HotFolderCheck1;
        CActiveButton*& m_HotFolderCheck2;
        CActiveButton*& m_HotFolderCheck3;
        CActiveButton*& m_HotFolderCheck4;
        CTextfield*& m_HotFolderField1;
        CTextfield*& m_HotFolderField2;
        CTextfield*& m_HotFolderField3;
        CTextfield*& m_HotFolderField4;
        CTextfield*& m_DeviceField;
    };
    static WindowParts Of(CFenrikWnd& w) {
        return {w.m_ConfigDlg,          w.m_Spinner,
                w.m_StatusField,        w.m_Running,
                w.m_BackgroundBitmapId, w.m_CloseButton,
                w.m_MinimizeButton,     w.m_StartButton,
                w.m_HelpButton,         w.m_DeviceConfigButton,
                w.m_DirConfigButton,    w.m_HomePageButton,
                w.m_HotFolderCheck1,    w.m_HotFolderCheck2,
                w.m_HotFolderCheck3,    w.m_HotFolderCheck4,
                w.m_HotFolderField1,    w.m_HotFolderField2,
                w.m_HotFolderField3,    w.m_HotFolderField4,
                w.m_DeviceField};
    }

protected:
protected:
    AppTest() {
        zones.AddZone("W. Europe Standard Time", -60, "(UTC+01:00) Europe/Berlin", "Europe/Berlin");
        zones.AddZone("UTC", 0, "(UTC+00:00) UTC", "UTC");
        QDesktopServices::setUrlHandler("https", &urls, "Open");
    }
    ~AppTest() override {
        // A synthetic drag that was neither dropped nor left keeps Qt's drag manager pointing
        // at the window, which a later test's drag would then reach after the window is gone: a
        // leave, as a real drag sends when it ends elsewhere, clears it first.
        if (window != nullptr) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(window.get(), &leave);
        }
        window.reset();
        QDesktopServices::unsetUrlHandler("https");
        Log::Instance().Close();
    }

    ProfileStore& Profile() { return profile; }

    CFenrikWnd& Create() {
        WindowServices services;
        services.config.zones = &zones;
        services.chooseGpxFile = [this](QWidget*, const std::string& current) {
            gpxChooserStart = current;
            return gpxFileChoice;
        };
        window = std::make_unique<CFenrikWnd>(profile, std::move(services));
        window->CreateSkinned("Fenrik", CenteredWindowRect(1024, 768), 130, 129);
        return *window;
    }

    // The window created, shown and made the active window, as a user first meets it.
    CFenrikWnd& CreateActive() {
        CFenrikWnd& w = Create();
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }

    // Opens the configuration dialog from the window, lets `edit` work on it once it shows,
    // and returns when it has closed.
    static void RunDirConfig(CFenrikWnd& w, std::function<void(CDirectoryConfigDlg&)> edit) {
        QTimer::singleShot(0, [&w, edit] { edit(*Of(w).m_ConfigDlg); });
        w.OnCommand(105);
    }

    CTextfield* Field(int n) {
        const WindowParts parts = Of(*window);
        CTextfield* fields[4] = {parts.m_HotFolderField1, parts.m_HotFolderField2,
                                 parts.m_HotFolderField3, parts.m_HotFolderField4};
        return fields[n - 1];
    }

    TempDir dir;
    ProfileStore profile{dir.File("profile/fenrik.conf")};  // the application's
    FakeZoneSource zones;
    std::string gpxFileChoice;    // what the GPX chooser returns: empty for Cancel
    std::string gpxChooserStart;  // the current path the chooser was last handed
    UrlRecorder urls;
    std::unique_ptr<CFenrikWnd> window;
};
