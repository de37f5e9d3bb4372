#include "app/CFenrikWnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <system_error>

#include "app/AccessibleTexts.h"
#include "app/FileDrop.h"
#include "app/GuiThread.h"
#include "app/ProductLinks.h"
#include "app/WindowShape.h"
#include "config/CDirectoryConfigDlg.h"
#include "config/DialogResult.h"
#include "config/SettingKeys.h"
#include "controls/CActiveButton.h"
#include "controls/CSpinner.h"
#include "controls/CTextfield.h"
#include "controls/ControlRect.h"
#include "platform/Log.h"
#include "platform/PathText.h"
#include "platform/ProfileStore.h"
#include "resources/SkinResources.h"

namespace {

enum ControlId {
    kCloseId = 100,
    kMinimizeId = 101,
    kStartId = 102,
    kHelpId = 103,
    kDeviceConfigId = 104,
    kDirConfigId = 105,
    kHomePageId = 106,
    kHotFolderField1Id = 107,
    kHotFolderCheck1Id = 111,
    kDeviceFieldId = 116,
    kStatusFieldId = 117,
    kSpinnerId = 118,
};

struct ButtonLayout {
    int id;
    const char* text;
    int left, top, right, bottom;
    int normal, pressed, focus;  // the disabled image is the normal one
    const char* accessibleName;
    const char* accessibleDescription;
};

const ButtonLayout kButtons[] = {
    {kCloseId, "close", 256, 5, 275, 13, 139, 132, 131, "Close", "Closes Fenrik"},
    {kMinimizeId, "minimize", 233, 5, 252, 13, 141, 134, 135, "Minimize", "Minimizes the window"},
    {kStartId, "start", 178, 172, 280, 193, 140, 138, 136, "Start tagging",
     "Writes the GPS position into the photos of every hot folder that is on, from the GPX "
     "file"},
    {kHelpId, "help", 147, 172, 176, 193, 144, 142, 143, "Help",
     "Opens the online help page in the web browser"},
    {kDeviceConfigId, "device config", 196, 22, 275, 41, 147, 145, 146, "GPX file",
     "Chooses the GPX file that the GPS logger recorded"},
    {kDirConfigId, "dir config", 196, 77, 275, 96, 151, 148, 150, "Folders and settings",
     "Sets the hot folders, the tolerance, the camera's time zone and the log file"},
    {kHomePageId, "dir config", 16, 212, 89, 225, 154, 152, 153, "Home page",
     "Opens Fenrik's home page in the web browser"},
};

const QColor kHotFolderColor(242, 129, 73);
const QColor kHotFolderDisabledColor(146, 67, 38);

}  // namespace

CFenrikWnd::CFenrikWnd(WindowServices services)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_Services(std::move(services)) {}

CFenrikWnd::~CFenrikWnd() {
    // A run still in progress stops after the image in hand. Its window calls wait for this
    // thread, so keep serving events until it has reported its end.
    m_PendingClose = PendingClose::None;
    RequestStop();
    while (m_Worker.joinable()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    AttachLiveSettings(nullptr);
}

void CFenrikWnd::CreateSkinned(const std::string& title, QRect rect, int shapeBitmapId,
                               int backgroundBitmapId) {
    setWindowTitle(QString::fromStdString(title));
    setGeometry(rect);
    setAcceptDrops(true);
    setMouseTracking(true);
    // The body takes the focus from the buttons when the mouse moves over it, but is no stop
    // on the keyboard's Tab path.
    setFocusPolicy(Qt::ClickFocus);
    ApplyWindowShape(shapeBitmapId);
    m_BackgroundBitmapId = static_cast<uint16_t>(backgroundBitmapId);
    m_ConfigDlg = std::make_unique<CDirectoryConfigDlg>(nullptr, m_Services.config);
    AttachLiveSettings(m_ConfigDlg.get());
    setCursor(Qt::ArrowCursor);
    CreateButtons();
    CreateFields();
    SetTabOrder();
    UpdateAccessibleNames();
    // No button is lit when the window first appears.
    setFocus(Qt::OtherFocusReason);
}

void CFenrikWnd::CreateButtons() {
    for (const ButtonLayout& layout : kButtons) {
        auto* button = new CActiveButton(this);
        button->Create(layout.text,
                       RectFromLTRB(layout.left, layout.top, layout.right, layout.bottom), this,
                       layout.id);
        button->LoadBitmaps(layout.normal, layout.pressed, layout.focus, layout.normal);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAccessibleName(layout.accessibleName);
        button->setAccessibleDescription(layout.accessibleDescription);
        connect(button, &CActiveButton::Command, this, &CFenrikWnd::OnCommand);
        ButtonSlot(layout.id) = button;
    }
}

CActiveButton*& CFenrikWnd::ButtonSlot(int id) {
    CActiveButton** const buttons[] = {&m_CloseButton,   &m_MinimizeButton,     &m_StartButton,
                                       &m_HelpButton,    &m_DeviceConfigButton, &m_DirConfigButton,
                                       &m_HomePageButton};
    return *buttons[id - kCloseId];
}

void CFenrikWnd::CreateFields() {
    const int backgrounds[4] = {156, 157, 168, 169};
    CTextfield** fields[4] = {&m_HotFolderField1, &m_HotFolderField2, &m_HotFolderField3,
                              &m_HotFolderField4};
    for (int i = 0; i < 4; ++i) {
        auto* field = new CTextfield(this);
        field->m_TextColor = kHotFolderColor;
        field->m_DisabledTextColor = kHotFolderDisabledColor;
        field->Create(RectFromLTRB(37, 98 + 13 * i, 272, 110 + 13 * i), this,
                      kHotFolderField1Id + i);
        field->SetBackground(backgrounds[i]);
        field->SetText(m_ConfigDlg->HotFolder(i + 1));
        field->setEnabled(
            AppProfile().GetProfileInt(kSettingsSection, kHotFolderEnabledKeys[i], 0) != 0);
        field->setAccessibleDescription(
            "The photos directly in this folder are tagged while the hot folder is on");
        *fields[i] = field;
    }
    CActiveButton** checks[4] = {&m_HotFolderCheck1, &m_HotFolderCheck2, &m_HotFolderCheck3,
                                 &m_HotFolderCheck4};
    for (int i = 0; i < 4; ++i) {
        auto* check = new CActiveButton(this);
        check->Create("", RectFromLTRB(27, 100 + 13 * i, 35, 108 + 13 * i), this,
                      kHotFolderCheck1Id + i);
        const int normal = i == 0 ? 162 : 160;
        const int lit = i == 0 ? 161 : 159;
        check->LoadBitmaps(normal, lit, lit, normal);
        check->setFocusPolicy(Qt::StrongFocus);
        check->setAccessibleDescription("Switches hot folder " + QString::number(i + 1) +
                                        " on or off");
        connect(check, &CActiveButton::Command, this, &CFenrikWnd::OnCommand);
        *checks[i] = check;
    }
    m_ConfigDlg->m_Device = AppProfile().GetProfileString(kSettingsSection, kDevice, "");
    m_ConfigDlg->m_BiasInMinutes = AppProfile().GetProfileInt(kSettingsSection, kBiasInMinutes, 0);

    m_DeviceField = new CTextfield(this);
    m_DeviceField->m_TextColor = QColor(46, 214, 229);
    m_DeviceField->m_DisabledTextColor = QColor(43, 137, 160);
    m_DeviceField->Create(RectFromLTRB(29, 44, 264, 56), this, kDeviceFieldId);
    m_DeviceField->SetBackground(158);
    m_DeviceField->SetText(m_ConfigDlg->m_Device);
    m_DeviceField->setAccessibleDescription(
        "The GPX file that the next run reads; choose it with the GPX file button or drop it on "
        "the window");

    m_StatusField = new CTextfield(this);
    m_StatusField->m_TextColor = QColor(229, 178, 57);
    m_StatusField->m_DisabledTextColor = QColor(229, 178, 57);
    m_StatusField->Create(RectFromLTRB(29, 173, 103, 185), this, kStatusFieldId);
    m_StatusField->SetBackground(164);
    m_StatusField->SetText("Ready");
    SetStatusDescription("No tagging run yet");

    m_Spinner = new CSpinner(this);
    m_Spinner->Create(RectFromLTRB(99, 157, 131, 187), this, kSpinnerId);
    m_Spinner->setAccessibleName("Busy indicator");
    m_Spinner->setAccessibleDescription("Turns while photos are being tagged");

    // A plain mouse move reaches the window past a child only when the child tracks the mouse
    // (and, handling no moves itself, passes them on): so moving onto a text line or the busy
    // indicator takes the focus from the buttons as the window's body does.
    for (QWidget* child : std::initializer_list<QWidget*>{
             m_HotFolderField1, m_HotFolderField2, m_HotFolderField3, m_HotFolderField4,
             m_DeviceField, m_StatusField, m_Spinner}) {
        child->setMouseTracking(true);
    }
}

void CFenrikWnd::SetTabOrder() {
    QWidget* const order[] = {m_MinimizeButton,  m_CloseButton,     m_DeviceConfigButton,
                              m_DirConfigButton, m_HotFolderCheck1, m_HotFolderCheck2,
                              m_HotFolderCheck3, m_HotFolderCheck4, m_HelpButton,
                              m_StartButton,     m_HomePageButton};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void CFenrikWnd::UpdateAccessibleNames() {
    if (m_StatusField == nullptr) {
        return;  // released by DestroyWindow
    }
    CActiveButton* const checks[4] = {m_HotFolderCheck1, m_HotFolderCheck2, m_HotFolderCheck3,
                                      m_HotFolderCheck4};
    for (int n = 1; n <= 4; ++n) {
        CTextfield* field = HotFolderField(n);
        const QString name = QString::fromStdString(
            HotFolderAccessibleName(n, field->isEnabled(), field->GetText()));
        field->setAccessibleName(name);
        checks[n - 1]->setAccessibleName(name);
    }
    m_DeviceField->setAccessibleName(
        QString::fromStdString(GpxFileAccessibleName(m_DeviceField->GetText())));
    m_StatusField->setAccessibleName(
        QString::fromStdString(StatusAccessibleName(m_StatusField->GetText())));
}

void CFenrikWnd::SetStatusDescription(const std::string& text) {
    if (m_StatusField == nullptr) {
        return;  // released by DestroyWindow
    }
    const QString description = QString::fromStdString(text);
    m_StatusField->setToolTip(description);
    m_StatusField->setAccessibleDescription(description);
}

void CFenrikWnd::ApplyWindowShape(int maskBitmapId) {
    setMask(RegionFromMask(LoadSkinBitmap(maskBitmapId), width(), height()));
}

bool CFenrikWnd::DestroyWindow() {
    CActiveButton** buttons[] = {&m_CloseButton,     &m_MinimizeButton,     &m_StartButton,
                                 &m_HelpButton,      &m_DeviceConfigButton, &m_DirConfigButton,
                                 &m_HomePageButton,  &m_HotFolderCheck1,    &m_HotFolderCheck2,
                                 &m_HotFolderCheck3, &m_HotFolderCheck4};
    for (CActiveButton** button : buttons) {
        delete *button;
        *button = nullptr;
    }
    CTextfield** fields[] = {&m_HotFolderField1, &m_HotFolderField2, &m_HotFolderField3,
                             &m_HotFolderField4, &m_DeviceField};
    for (CTextfield** field : fields) {
        delete *field;
        *field = nullptr;
    }
    AttachLiveSettings(nullptr);
    m_ConfigDlg.reset();
    delete m_Spinner;
    m_Spinner = nullptr;
    delete m_StatusField;
    m_StatusField = nullptr;
    m_TrackLog.Empty();
    close();
    return true;
}

void CFenrikWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, LoadSkinBitmap(m_BackgroundBitmapId));
}

void CFenrikWnd::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    QWindow* window = windowHandle();
    m_ManualDrag = window == nullptr || !window->startSystemMove();
    m_DragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CFenrikWnd::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    if (m_ManualDrag && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_DragOffset);
    }
    setFocus();
}

void CFenrikWnd::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    m_ManualDrag = false;
}

void CFenrikWnd::closeEvent(QCloseEvent* event) {
    if (m_Worker.joinable()) {
        event->ignore();
        CloseAfterRun(false);
        return;
    }
    event->accept();
    QuitApplication();
}

void CFenrikWnd::QuitApplication() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->quit();
    }
}

void CFenrikWnd::CloseAfterRun(bool releaseFirst) {
    if (m_PendingClose != PendingClose::DestroyThenClose) {
        m_PendingClose = releaseFirst ? PendingClose::DestroyThenClose : PendingClose::Close;
    }
    RequestStop();
    hide();
}

void CFenrikWnd::OnCommand(int id) {
    switch (id) {
        case kCloseId:
            return OnCloseButton();
        case kMinimizeId:
            return OnMinimizeButton();
        case kStartId:
            return OnStart();
        case kHelpId:
            return OnHelpButton();
        case kDeviceConfigId:
            return OnDeviceConfig();
        case kDirConfigId:
            return OnDirConfig();
        case kHomePageId:
            return OnHomePageButton();
        default:
            if (id >= kHotFolderCheck1Id && id < kHotFolderCheck1Id + 4) {
                OnHotFolderToggle(id - kHotFolderCheck1Id + 1);
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
    AppProfile().WriteProfileString(kSettingsSection, kDevice, path);
    UpdateAccessibleNames();
}

void CFenrikWnd::OnDeviceConfig() {
    const std::string path = m_Services.chooseGpxFile();
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
    if (m_ConfigDlg->DoModal() != IDOK) {
        return;
    }
    for (int n = 1; n <= 4; ++n) {
        CTextfield* field = HotFolderField(n);
        const std::string& path = m_ConfigDlg->HotFolder(n);
        if (field->GetText() == path) {
            continue;
        }
        field->SetText(path);
        field->setEnabled(true);
        field->update();
        AppProfile().WriteProfileInt(kSettingsSection, kHotFolderEnabledKeys[n - 1], 1);
        AppProfile().WriteProfileString(kSettingsSection, kHotFolderKeys[n - 1], path);
    }
    UpdateAccessibleNames();
}

void CFenrikWnd::OnHotFolderToggle(int n) {
    CTextfield* field = HotFolderField(n);
    if (field->GetText().empty()) {
        return;
    }
    field->setEnabled(!field->isEnabled());
    field->update();
    AppProfile().WriteProfileInt(kSettingsSection, kHotFolderEnabledKeys[n - 1],
                                 field->isEnabled() ? 1 : 0);
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
    if (m_Running || m_Worker.joinable()) {
        return;
    }
    if (m_ConfigDlg->m_UseLogfile != 0) {
        Log::Instance().Open(Debug, JoinPath(m_ConfigDlg->m_LogfileDir, "fenrik.log"));
        Log::Instance().Write(Debug, "Starting Log");
    }
    m_Running = true;
    // A disabled button hands its focus on to the next one on the Tab path, which would light
    // up while the mouse still rests on Start; the window's body takes the focus instead.
    const auto controls = RunControls();
    if (std::find(controls.begin(), controls.end(), focusWidget()) != controls.end()) {
        setFocus(Qt::OtherFocusReason);
    }
    SetRunControlsEnabled(false);
    m_Spinner->show();
    ClearStopRequest();
    TaggingRunInputs inputs;
    inputs.gpxPath = m_ConfigDlg->m_Device;  // the run's own copy
    for (int n = 1; n <= 4; ++n) {
        inputs.hotFolderOn[static_cast<size_t>(n - 1)] = HotFolderField(n)->isEnabled();
    }
    try {
        m_Worker = std::thread([this, inputs] {
            RunTaggingPass(*this, inputs);
            PostToGuiThread(this, [this] { OnWorkerFinished(); });
        });
    } catch (const std::system_error&) {
        // No worker: back to idle at once.
        m_StatusField->SetText("Done!");
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
    ClearStopRequest();
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
    PostToGuiThread(this, [this] { UpdateAccessibleNames(); });
}

void CFenrikWnd::RunStarted() {
    SetStatusText("Tagging...");
    m_Spinner->Start();
}

void CFenrikWnd::RunProgressed(const RunSummary& counts) {
    PostToGuiThread(this, [this, counts] { SetStatusDescription(RunningCountText(counts)); });
}

void CFenrikWnd::RunFinished(const RunSummary& summary) {
    PostToGuiThread(this, [this, summary] { SetStatusDescription(RunSummaryText(summary)); });
    m_Spinner->Stop();
    SetStatusText("Done!");
    m_Running = false;
    RunOnGuiThreadAndWait(this, [this] { SetRunControlsEnabled(true); });
    RunOnGuiThreadAndWait(this, [this] { m_Spinner->hide(); });
}
