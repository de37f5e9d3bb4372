// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands: its buttons, the drop of a track, the configuration dialog and
// the tagging run, whose events are posted to the window's thread.
#include <QDesktopServices>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <system_error>

#include "app/CFenrikWnd.h"
#include "app/FileDrop.h"
#include "app/GuiThread.h"
#include "app/ProductLinks.h"
#include "app/RunSettings.h"
#include "config/CDirectoryConfigDlg.h"
#include "controls/CActiveButton.h"
#include "controls/CSpinner.h"
#include "controls/CTextfield.h"
#include "resources/MainWindowLayout.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

void CFenrikWnd::OnCommand(int id) {
    switch (id) {
        case kIdClose:
            return OnCloseButton();
        case kIdMinimize:
            return OnMinimizeButton();
        case kIdStart:
            return OnStart();
        case kIdHelp:
            return OnHelpButton();
        case kIdDeviceConfig:
            return OnDeviceConfig();
        case kIdDirConfig:
            return OnDirConfig();
        case kIdHomePage:
            return OnHomePageButton();
        default:
            if (id >= kIdHotFolderCheck1 && id < kIdHotFolderCheck1 + 4) {
                OnHotFolderToggle(id - kIdHotFolderCheck1 + 1);
            }
    }
}

void CFenrikWnd::OnCloseButton() {
    if (m_Worker.joinable()) {
        CloseAfterRun(true);
        return;
    }
    // Queued: the close button is among the controls released, and its click is still running.
    PostToGuiThread(this, [this] { DestroyWindow(); });
}

void CFenrikWnd::OnMinimizeButton() {
    showMinimized();
}

void CFenrikWnd::OnHelpButton() {
    OpenInBrowser(kHelpPageUrl);
}

void CFenrikWnd::OnHomePageButton() {
    OpenInBrowser(kHomePageUrl);
}

void CFenrikWnd::OpenInBrowser(const char* url) {
    QDesktopServices::openUrl(QUrl(url));
}

void CFenrikWnd::SetDevice(const std::string& path) {
    m_ConfigDlg->m_Device = path;
    m_DeviceField->SetText(path);
    m_Profile.WriteProfileString(kSettingsSection, kDevice, path);
    UpdateAccessibleNames();
}

void CFenrikWnd::OnDeviceConfig() {
    const std::string path = m_Services.chooseGpxFile(m_DeviceConfigButton, m_ConfigDlg->m_Device);
    if (!path.empty()) {
        SetDevice(path);
    }
}

void CFenrikWnd::OnDropFiles(const QList<QUrl>& urls) {
    if (const std::optional<std::string> path = SingleLocalPath(urls)) {
        SetDevice(*path);
    }
}

namespace {

// Accepts a drag or drop of one local file or folder as a copy or a link; refuses any other.
bool AcceptSafeDrop(QDropEvent* event) {
    const Qt::DropAction action = SafeDropAction(event->possibleActions());
    const QMimeData* data = event->mimeData();
    if (action == Qt::IgnoreAction || data == nullptr || !data->hasUrls() ||
        !SingleLocalPath(data->urls())) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return false;
    }
    event->setDropAction(action);
    event->accept();
    return true;
}

}  // namespace

void CFenrikWnd::dragEnterEvent(QDragEnterEvent* event) {
    AcceptSafeDrop(event);
}

void CFenrikWnd::dragMoveEvent(QDragMoveEvent* event) {
    AcceptSafeDrop(event);
}

void CFenrikWnd::dropEvent(QDropEvent* event) {
    if (AcceptSafeDrop(event)) {
        OnDropFiles(event->mimeData()->urls());
    }
}

CTextfield* CFenrikWnd::HotFolderField(int n) const {
    CTextfield* const fields[4] = {m_HotFolderField1, m_HotFolderField2, m_HotFolderField3,
                                   m_HotFolderField4};
    return n >= 1 && n <= 4 ? fields[n - 1] : nullptr;
}

void CFenrikWnd::OnDirConfig() {
    m_StartAfterDialog = false;
    if (m_ConfigDlg->DoModal() != IDOK) {
        return;
    }
    for (int n = 1; n <= 4; ++n) {
        CTextfield* field = HotFolderField(n);
        const std::string& path = m_ConfigDlg->HotFolder(n);
        if (field->GetText() == path) {
            continue;
        }
        // A new folder is on; a folder cleared is off.
        field->SetText(path);
        field->setEnabled(!path.empty());
        field->update();
        m_Profile.WriteProfileInt(kSettingsSection, kHotFolderEnabledKeys[n - 1],
                                  path.empty() ? 0 : 1);
        m_Profile.WriteProfileString(kSettingsSection, kHotFolderKeys[n - 1], path);
    }
    UpdateHotFolderChecks();
    UpdateAccessibleNames();
    if (m_StartAfterDialog) {
        m_StartAfterDialog = false;
        OnStart();
    }
}

void CFenrikWnd::OnHotFolderToggle(int n) {
    CTextfield* field = HotFolderField(n);
    if (field->GetText().empty()) {
        return;
    }
    field->setEnabled(!field->isEnabled());
    field->update();
    m_Profile.WriteProfileInt(kSettingsSection, kHotFolderEnabledKeys[n - 1],
                              field->isEnabled() ? 1 : 0);
    UpdateHotFolderChecks();
    UpdateAccessibleNames();
}

std::array<CActiveButton*, 7> CFenrikWnd::RunControls() const {
    return {m_StartButton,     m_DeviceConfigButton, m_DirConfigButton, m_HotFolderCheck1,
            m_HotFolderCheck2, m_HotFolderCheck3,    m_HotFolderCheck4};
}

void CFenrikWnd::SetRunControlsEnabled(bool enabled) {
    for (CActiveButton* control : RunControls()) {
        control->setEnabled(enabled);
    }
}

void CFenrikWnd::OnStart() {
    // A worker that has not yet finished its last window calls still counts as running.
    if (m_Running || m_Worker.joinable() || m_Runner == nullptr) {
        return;
    }
    // Everything the run reads, copied here: it owns its inputs.
    TaggingRunInputs inputs = RunInputsFrom(*m_ConfigDlg);
    for (int n = 1; n <= 4; ++n) {
        inputs.hotFolderOn[static_cast<size_t>(n - 1)] = IsHotFolderOn(n);
    }
    const Status log = OpenRunLog(inputs);
    if (!log.ok()) {
        // No run without the log it was asked to keep.
        SetStatusText("No log!");
        SetStatusDescription("Last run: not started; " + log.message());
        return;
    }
    m_Running = true;
    // A run started from the keyboard gives the focus back to Start when it ends.
    m_FocusStartAfterRun = m_StartButton->hasFocus() && m_StartButton->LastClickByKeyboard();
    // A disabled button hands its focus on to the next one on the Tab path, which would light
    // up while the mouse still rests on Start; the window's body takes the focus instead.
    const auto controls = RunControls();
    if (std::find(controls.begin(), controls.end(), focusWidget()) != controls.end()) {
        setFocus(Qt::OtherFocusReason);
    }
    SetRunControlsEnabled(false);
    m_Spinner->show();
    m_Runner->ClearStopRequest();
    try {
        m_Worker = std::thread([this, inputs] {
            m_Runner->RunTaggingPass(*this, inputs);
            PostToGuiThread(this, [this] { OnWorkerFinished(); });
        });
    } catch (const std::system_error&) {
        // No worker: back to idle at once, saying so.
        m_StatusField->SetText("Errors!");
        SetStatusDescription("Last run: could not be started");
        UpdateAccessibleNames();
        m_Running = false;
        SetRunControlsEnabled(true);
        m_Spinner->hide();
    }
}

void CFenrikWnd::OnWorkerFinished() {
    if (m_Worker.joinable()) {
        m_Worker.join();
    }
    if (m_Runner != nullptr) {
        m_Runner->ClearStopRequest();
    }
    const PendingClose pending = m_PendingClose;
    m_PendingClose = PendingClose::None;
    if (pending == PendingClose::DestroyThenClose) {
        DestroyWindow();
    } else if (pending == PendingClose::Close) {
        close();
    }
}

void CFenrikWnd::SetStatusText(const std::string& text) {
    m_StatusField->SetText(text);
    UpdateAccessibleNames();
}

void CFenrikWnd::RunStarted() {
    PostToGuiThread(this, [this] {
        SetStatusText("Tagging...");
        m_Spinner->Start();
    });
}

void CFenrikWnd::RunProgressed(const RunSummary& counts) {
    PostToGuiThread(this, [this, counts] { SetStatusDescription(RunningCountText(counts)); });
}

void CFenrikWnd::RunFinished(const RunSummary& summary) {
    PostToGuiThread(this, [this, summary] { ShowRunFinished(summary); });
}

void CFenrikWnd::ShowRunFinished(const RunSummary& summary) {
    SetStatusDescription(RunSummaryText(summary));
    m_Spinner->Stop();
    SetStatusText(RunStatusWord(summary));
    m_Running = false;
    SetRunControlsEnabled(true);
    if (m_FocusStartAfterRun && isActiveWindow()) {
        m_StartButton->setFocus(Qt::OtherFocusReason);
    }
    m_Spinner->hide();
}
