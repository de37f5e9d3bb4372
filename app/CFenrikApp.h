// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: fixes where the settings live, creates and shows the main window,
// and releases it when the event loop has ended.

#include <QApplication>
#include <string>

#include "settings/ProfileStore.h"

class CFenrikWnd;

// The id of the program's desktop entry (its file name without ".desktop"), by which the desktop
// shell matches the program's windows to their launcher.
constexpr char kDesktopFileId[] = FENRIK_DESKTOP_FILE_ID;

class CFenrikApp : public QApplication {
    Q_OBJECT
public:
    CFenrikApp(int& argc, char** argv);
    ~CFenrikApp() override;

    // Settings location and desktop entry id set, main window created at the centred rectangle
    // with its icon, shown. Returns true.
    bool InitInstance();
    // Runs the event loop until the main window has closed; returns its exit code.
    int Run();
    // Deletes the main window; returns the event loop's exit code.
    int ExitInstance();

    // Places the per-user profile under `company` and the executable's name.
    void SetRegistryKey(const char* company);
    // The application's one profile, which the window and its dialog read and write.
    ProfileStore& Profile() { return m_Profile; }

    CFenrikWnd* m_pWnd = nullptr;

private:
    ProfileStore m_Profile{UserProfilePath(kCompanyName, ExecutableBaseName())};
    int m_ExitCode = 0;
};
