// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skinned main window: owns the configuration and runner, runs passes on a worker thread.
// GUI thread only, but for the run events, which post their work to it.

#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/GpxFileDialog.h"
#include "app/PreviewLaunch.h"
#include "config/CDirectoryConfigDlg.h"
#include "run/TaggingRunEvents.h"
#include "run/TaggingRunner.h"

class CActiveButton;
struct ControlLayout;
class CDirectoryConfigDlg;
class CSpinner;
class ProfileStore;
class CTextfield;
class QAction;
class QUrl;

// What the window asks of the system, replaceable in tests; chooseGpxFile is empty on cancel.
struct WindowServices {
    ConfigServices config;
    std::function<std::string(QWidget* anchor, const std::string& current)> chooseGpxFile =
        ChooseGpxPathWithDialog;
    std::function<std::unique_ptr<TaggingRunner>()> makeRunner = MakeTaggingEngine;
    ShowPreviewFunction showPreview = ShowPreviewWindow;
};

class CFenrikWnd : public QWidget, private TaggingRunEvents {
    Q_OBJECT
public:
    // Nothing is created before CreateSkinned. `profile` must outlive the window.
    explicit CFenrikWnd(ProfileStore& profile, WindowServices services = {});
    // Asks a run in progress to stop and waits for it.
    ~CFenrikWnd() override;

    // Creates the configuration object and the controls, showing the stored settings. Once.
    void CreateSkinned(const std::string& title, QRect rect, int shapeBitmapId,
                       int backgroundBitmapId);
    // Cuts the outline from mask bitmap `maskBitmapId`: exactly black is outside, at any scale.
    void ApplyWindowShape(int maskBitmapId);
    // Releases the controls, configuration and track points, then closes (ends the program).
    bool DestroyWindow();

    // Command handlers, by control id.
    void OnCommand(int id);
    void OnCloseButton();
    void OnMinimizeButton();
    void OnStart();
    void OnHelpButton();
    void OnDeviceConfig();
    void OnDirConfig();
    // The map preview with the current settings (Ctrl+P, context menu); not during a run. "Use
    // these settings" keeps its clock and placement, "Tag now" also starts a run.
    void OnPreview();
    void OnHomePageButton();
    void OnHotFolderToggle1() { OnHotFolderToggle(1); }
    void OnHotFolderToggle2() { OnHotFolderToggle(2); }
    void OnHotFolderToggle3() { OnHotFolderToggle(3); }
    void OnHotFolderToggle4() { OnHotFolderToggle(4); }
    // Takes a drop of exactly one local file or folder as the GPX file; ignores any other.
    void OnDropFiles(const QList<QUrl>& urls);

    // True while a tagging run is in progress.
    bool IsRunning() const { return m_Running; }
    // The configuration object; null once DestroyWindow has released it.
    CDirectoryConfigDlg* ConfigDialog() const { return m_ConfigDlg.get(); }
    // True while a tagging worker thread exists (from the start of a run until it has ended).
    bool HasWorker() const { return m_Worker.joinable(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Accepts a drag of exactly one local file or folder, as a copy or link; refuses any other.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::unique_ptr<CDirectoryConfigDlg> m_ConfigDlg;
    CSpinner* m_Spinner = nullptr;
    CTextfield* m_StatusField = nullptr;
    std::atomic<bool> m_Running{false};
    uint16_t m_BackgroundBitmapId = 0;
    CActiveButton* m_CloseButton = nullptr;
    CActiveButton* m_MinimizeButton = nullptr;
    CActiveButton* m_StartButton = nullptr;
    CActiveButton* m_HelpButton = nullptr;
    CActiveButton* m_DeviceConfigButton = nullptr;
    CActiveButton* m_DirConfigButton = nullptr;
    CActiveButton* m_HomePageButton = nullptr;
    CActiveButton* m_HotFolderCheck1 = nullptr;
    CActiveButton* m_HotFolderCheck2 = nullptr;
    CActiveButton* m_HotFolderCheck3 = nullptr;
    CActiveButton* m_HotFolderCheck4 = nullptr;
    CTextfield* m_HotFolderField1 = nullptr;
    CTextfield* m_HotFolderField2 = nullptr;
    CTextfield* m_HotFolderField3 = nullptr;
    CTextfield* m_HotFolderField4 = nullptr;
    CTextfield* m_DeviceField = nullptr;
    QAction* m_PreviewAction = nullptr;

    // On the worker thread: each posts its work to the GUI thread.
    void RunStarted() override;
    void RunProgressed(const RunSummary& counts) override;
    void RunFinished(const RunSummary& summary) override;
    // Summary, status, controls back (focus on Start after a keyboard start), indicator hidden.
    void ShowRunFinished(const RunSummary& summary);
    // The status text, and the names that follow it.
    void SetStatusText(const std::string& text);

    // The controls of the main window's layout, in its order, showing the stored settings.
    void CreateControls();
    void CreateButton(const ControlLayout& layout);
    void CreateField(const ControlLayout& layout);
    void CreateSpinner(const ControlLayout& layout);
    // The member that holds button or check `id`, and text field `id`.
    CActiveButton*& ButtonSlot(int id);
    CTextfield*& FieldSlot(int id);
    // Tab and Shift+Tab go through the buttons and checks in the reading order of the layout.
    void SetTabOrder();
    // The accessible names that follow the folders, the track and the status; set on change.
    void UpdateAccessibleNames();
    // Ticks while the folder is on; a check without a folder is no Tab stop.
    void UpdateHotFolderChecks();
    // Hot folder `n` (1 .. 4) is on: switched on and set to a folder.
    bool IsHotFolderOn(int n) const;
    CActiveButton* HotFolderCheck(int n) const;
    // The status line's tool tip and accessible description: the run's counts or summary.
    void SetStatusDescription(const std::string& text);
    CTextfield* HotFolderField(int n) const;
    std::array<CActiveButton*, 7> RunControls() const;
    void SetRunControlsEnabled(bool enabled);
    void OnHotFolderToggle(int n);
    std::array<bool, 4> HotFoldersOn() const;
    void CreatePreviewCommand();
    // The dialog's "Preview on map...": choices go back to it; "Tag now" runs once it closes.
    void PreviewFromDialog(CDirectoryConfigDlg& dialog);
    void SetDevice(const std::string& path);
    void OpenInBrowser(const char* url);
    // On the window's thread, once the worker has finished its pass.
    void OnWorkerFinished();
    // Ends a run that is in progress before closing: stops after the image in hand.
    void CloseAfterRun(bool releaseFirst);
    void QuitApplication();

    ProfileStore& m_Profile;
    WindowServices m_Services;
    std::unique_ptr<TaggingRunner> m_Runner;
    std::thread m_Worker;
    enum class PendingClose { None, Close, DestroyThenClose };
    PendingClose m_PendingClose = PendingClose::None;
    // A press on the body, then a move by the window manager or by hand at the first motion.
    enum class DragState { None, Pressed, BySystem, Manual };
    DragState m_Drag = DragState::None;
    QPoint m_DragOffset;
    bool m_FocusStartAfterRun = false;
    bool m_StartAfterDialog = false;
};
