// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CFenrikApp.h"

#include <QScreen>

#include "app/CFenrikWnd.h"
#include "app/WindowGeometry.h"
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
    m_pWnd = new CFenrikWnd(m_Profile);
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
    m_Profile.SetPath(UserProfilePath(company, ExecutableBaseName()));
}
