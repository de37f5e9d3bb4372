// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's map preview: opened from its menu (Ctrl+P) and from the dialog, and what the
// user chose in it taken back into the settings.
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

#include "app/CFenrikWnd.h"
#include "app/PreviewLaunch.h"
#include "controls/CTextfield.h"

void CFenrikWnd::CreatePreviewCommand() {
    m_PreviewAction = new QAction(tr("Preview on map..."), this);
    m_PreviewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_PreviewAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_PreviewAction);
    connect(m_PreviewAction, &QAction::triggered, this, &CFenrikWnd::OnPreview);
}

void CFenrikWnd::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setAccessibleName(tr("Fenrik"));
    m_PreviewAction->setEnabled(!m_Running && !HasWorker());
    menu.addAction(m_PreviewAction);
    menu.exec(event->globalPos());
}

std::array<bool, 4> CFenrikWnd::HotFoldersOn() const {
    std::array<bool, 4> on = {};
    for (int n = 1; n <= 4; ++n) {
        on[static_cast<size_t>(n - 1)] = IsHotFolderOn(n);
    }
    return on;
}

void CFenrikWnd::OnPreview() {
    if (m_Running || HasWorker() || m_ConfigDlg == nullptr || m_ConfigDlg->isVisible()) {
        return;
    }
    CDirectoryConfigDlg& config = *m_ConfigDlg;
    const PreviewOutcome outcome = m_Services.showPreview(
        this, PreviewRequestFor(config, HotFoldersOn(), m_Profile, config.m_TimeZones));
    if (outcome.result == PreviewWindow::Result::Closed) {
        return;
    }
    ApplyPreviewChoice(outcome.choice, config.m_TimeZones, config);
    StorePreviewChoice(outcome.choice, config.m_TimeZones, m_Profile);
    if (outcome.result == PreviewWindow::Result::TagNow) {
        OnStart();
    }
}

void CFenrikWnd::PreviewFromDialog(CDirectoryConfigDlg& dialog) {
    LiveSettings shown = dialog.ShownSettings();
    std::array<bool, 4> on = HotFoldersOn();
    for (int n = 1; n <= 4; ++n) {
        // A folder new in the dialog is on once the dialog is taken.
        const std::string& path = shown.HotFolder(n);
        on[static_cast<size_t>(n - 1)] =
            !path.empty() && (path != HotFolderField(n)->GetText() || IsHotFolderOn(n));
    }
    const PreviewOutcome outcome = m_Services.showPreview(
        &dialog,
        PreviewRequestFor(shown, on, m_Profile, dialog.m_TimeZones, dialog.ShownZoneIndex()));
    if (outcome.result == PreviewWindow::Result::Closed) {
        return;
    }
    ApplyPreviewChoice(outcome.choice, dialog.m_TimeZones, shown);
    dialog.ShowSettings(shown, outcome.choice.zoneIndex);
    if (outcome.result == PreviewWindow::Result::TagNow) {
        m_StartAfterDialog = true;
        dialog.OnBnClickedOk();
    }
}
