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

#include "FakeTaggingRunner.h"
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
#include "resources/MainWindowLayout.h"
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
    // The window's parts, found as a user's tools find them: its child controls by their ids.
    struct WindowParts {
        CDirectoryConfigDlg* m_ConfigDlg;
        CSpinner* m_Spinner;
        CTextfield* m_StatusField;
        CActiveButton* m_CloseButton;
        CActiveButton* m_MinimizeButton;
        CActiveButton* m_StartButton;
        CActiveButton* m_HelpButton;
        CActiveButton* m_DeviceConfigButton;
        CActiveButton* m_DirConfigButton;
        CActiveButton* m_HomePageButton;
        CActiveButton* m_HotFolderCheck1;
        CActiveButton* m_HotFolderCheck2;
        CActiveButton* m_HotFolderCheck3;
        CActiveButton* m_HotFolderCheck4;
        CTextfield* m_HotFolderField1;
        CTextfield* m_HotFolderField2;
        CTextfield* m_HotFolderField3;
        CTextfield* m_HotFolderField4;
        CTextfield* m_DeviceField;
    };
    // The child control of type T with control id `id`, or null when there is none.
    template <typename T>
    static T* Control(const CFenrikWnd& w, int id) {
        for (T* control : w.findChildren<T*>(Qt::FindDirectChildrenOnly)) {
            if (control->Id() == id) {
                return control;
            }
        }
        return nullptr;
    }
    static WindowParts Of(const CFenrikWnd& w) {
        const auto button = [&w](int id) { return Control<CActiveButton>(w, id); };
        const auto field = [&w](int id) { return Control<CTextfield>(w, id); };
        return {w.ConfigDialog(),
                Control<CSpinner>(w, kIdSpinner),
                field(kIdStatusField),
                button(kIdClose),
                button(kIdMinimize),
                button(kIdStart),
                button(kIdHelp),
                button(kIdDeviceConfig),
                button(kIdDirConfig),
                button(kIdHomePage),
                button(kIdHotFolderCheck1),
                button(kIdHotFolderCheck1 + 1),
                button(kIdHotFolderCheck1 + 2),
                button(kIdHotFolderCheck1 + 3),
                field(kIdHotFolderField1),
                field(kIdHotFolderField1 + 1),
                field(kIdHotFolderField1 + 2),
                field(kIdHotFolderField1 + 3),
                field(kIdDeviceField)};
    }

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
        if (preview) {
            services.showPreview = [this](QWidget* parent, PreviewRequest request) {
                return preview(parent, std::move(request));
            };
        }
        if (fakeRun != nullptr) {
            services.makeRunner = [script = fakeRun] {
                return std::make_unique<FakeTaggingRunner>(script);
            };
        }
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
    // When set before Create, the window's runs are this fake's, not the engine's.
    std::shared_ptr<FakeTaggingRunner::Script> fakeRun;
    // When set before Create, the map preview the window and its dialog open; it may be
    // replaced later.
    ShowPreviewFunction preview;
    std::unique_ptr<CFenrikWnd> window;
};
