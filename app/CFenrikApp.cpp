// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CFenrikApp.h"

#include <QScreen>

#include "app/CFenrikWnd.h"
#include "app/WindowGeometry.h"
#include "platform/ProfileStore.h"
#include "resources/SkinResources.h"

CFenrikApp::CFenrikApp(int& argc, char** argv) : QApplication(argc, argv) {
    // The main window decides when the program ends (a run may still be finishing).
    setQuitOnLastWindowClosed(false);
}

CFenrikApp::~CFenrikApp() {
    delete m_pWnd;
}

bool CFenrikApp::InitInstance() {
    SetRegistryKey(kCompanyName);
    setDesktopFileName(QString::fromLatin1(kDesktopFileId));
    m_pWnd = new CFenrikWnd();
    QRect area(0, 0, 1024, 768);
    if (QScreen* screen = primaryScreen()) {
        area = screen->availableGeometry();
    }
    const QRect rect = CenteredWindowRect(area.width(), area.height()).translated(area.topLeft());
    m_pWnd->CreateSkinned("Fenrik", rect, 130, 129);
    m_pWnd->setWindowIcon(LoadProgramIcon());
    m_pWnd->show();
    m_pWnd->update();
    return true;
}

int CFenrikApp::Run() {
    m_ExitCode = exec();
    return m_ExitCode;
}

int CFenrikApp::ExitInstance() {
    delete m_pWnd;
    m_pWnd = nullptr;
    return m_ExitCode;
}

void CFenrikApp::SetRegistryKey(const char* company) {
    SetAppProfilePath(UserProfilePath(company, ExecutableBaseName()));
}

int CFenrikApp::GetProfileInt(const char* section, const char* key, int defaultValue) const {
    return AppProfile().GetProfileInt(section, key, defaultValue);
}

std::string CFenrikApp::GetProfileString(const char* section, const char* key,
                                         const char* defaultValue) const {
    return AppProfile().GetProfileString(section, key, defaultValue);
}

bool CFenrikApp::WriteProfileInt(const char* section, const char* key, int value) {
    return AppProfile().WriteProfileInt(section, key, value);
}

bool CFenrikApp::WriteProfileString(const char* section, const char* key,
                                    const std::string& value) {
    return AppProfile().WriteProfileString(section, key, value);
}
