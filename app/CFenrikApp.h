// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: settings location, and the main window's creation and release.

#include <QApplication>
#include <string>

#include "settings/ProfileStore.h"

class CFenrikWnd;

// The desktop entry's id (its file name without ".desktop"): matches windows to the launcher.
constexpr char kDesktopFileId[] = FENRIK_DESKTOP_FILE_ID;

class CFenrikApp : public QApplication {
    Q_OBJECT
public:
    CFenrikApp(int& argc, char** argv);
    ~CFenrikApp() override;

    // Sets settings location and desktop entry id, shows the centred main window. Returns true.
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
