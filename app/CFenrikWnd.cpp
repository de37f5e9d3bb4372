// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CFenrikWnd.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPainter>
#include <QWindow>

#include "app/AccessibleTexts.h"
#include "app/GuiThread.h"
#include "app/WindowShape.h"
#include "config/CDirectoryConfigDlg.h"
#include "controls/CActiveButton.h"
#include "controls/CSpinner.h"
#include "controls/CTextfield.h"
#include "controls/ControlRect.h"
#include "controls/SkinBitmap.h"
#include "photo/ExifDate.h"
#include "resources/MainWindowLayout.h"
#include "resources/SkinResources.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

namespace {

// The main window as screen readers see it: a frame named by its title.
QAccessibleInterface* WindowAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CFenrikWnd") && object != nullptr && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

void InstallWindowAccessibility() {
    static const bool installed = [] {
        InstallTextfieldAccessibility();
        QAccessible::installFactory(WindowAccessibleFactory);
        return true;
    }();
    (void)installed;
}

// Sets a name or description only when it changes, so that screen readers hear only news.
void SetAccessibleNameIfChanged(QWidget* widget, const std::string& text) {
    const QString name = QString::fromStdString(text);
    if (widget->accessibleName() != name) {
        widget->setAccessibleName(name);
    }
}

void SetAccessibleDescriptionIfChanged(QWidget* widget, const std::string& text) {
    const QString description = QString::fromStdString(text);
    if (widget->accessibleDescription() != description) {
        widget->setAccessibleDescription(description);
    }
}

}  // namespace

CFenrikWnd::CFenrikWnd(ProfileStore& profile, WindowServices services)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      m_Profile(profile),
      m_Services(std::move(services)),
      m_Runner(m_Services.makeRunner()) {
    InstallWindowAccessibility();
    if (!m_Services.config.readCaptureTime) {
        m_Services.config.readCaptureTime = ReadCaptureTimeText;
    }
    if (!m_Services.config.previewOnMap) {
        m_Services.config.previewOnMap = [this](CDirectoryConfigDlg& dialog) {
            PreviewFromDialog(dialog);
        };
    }
}

CFenrikWnd::~CFenrikWnd() {
    // A run still in progress stops after the image in hand. The worker never waits for this
    // thread, so it can be joined here; what it posted to the window goes with the window.
    m_PendingClose = PendingClose::None;
    if (m_Runner != nullptr) {
        m_Runner->RequestStop();
    }
    if (m_Worker.joinable()) {
        m_Worker.join();
    }
    // The children outlive this part of the window: a check that loses the focus while they
    // are destroyed must not reach the fields through it.
    for (CActiveButton* check :
         {m_HotFolderCheck1, m_HotFolderCheck2, m_HotFolderCheck3, m_HotFolderCheck4}) {
        if (check != nullptr) {
            disconnect(check, nullptr, this, nullptr);
        }
    }
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
    m_ConfigDlg = std::make_unique<CDirectoryConfigDlg>(nullptr, m_Profile, m_Services.config);
    setCursor(Qt::ArrowCursor);
    CreateControls();
    CreatePreviewCommand();
    SetTabOrder();
    UpdateHotFolderChecks();
    UpdateAccessibleNames();
    // No button is lit when the window first appears.
    setFocus(Qt::OtherFocusReason);
}

void CFenrikWnd::CreateControls() {
    m_ConfigDlg->m_Device = m_Profile.GetProfileString(kSettingsSection, kDevice, "");
    m_ConfigDlg->m_BiasInMinutes = m_Profile.GetProfileInt(kSettingsSection, kBiasInMinutes, 0);
    for (const ControlLayout& layout : MainWindowLayout()) {
        if (layout.kind == WindowControlKind::Field) {
            CreateField(layout);
        } else if (layout.kind == WindowControlKind::Spinner) {
            CreateSpinner(layout);
        } else {
            CreateButton(layout);
        }
    }
}

void CFenrikWnd::CreateButton(const ControlLayout& layout) {
    auto* button = new CActiveButton(this);
    button->Create(layout.text, layout.rect, this, layout.id);
    button->LoadBitmaps(layout.normal, layout.pressed, layout.focus, layout.disabled);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAccessibleName(QString::fromStdString(ControlAccessibleName(layout.id)));
    button->setAccessibleDescription(
        QString::fromStdString(ControlAccessibleDescription(layout.id)));
    button->setToolTip(QString::fromStdString(ControlToolTip(layout.id)));
    connect(button, &CActiveButton::Command, this, &CFenrikWnd::OnCommand);
    ButtonSlot(layout.id) = button;
    if (layout.kind == WindowControlKind::Check) {
        button->SetCheckBox();
        // Its focus is shown by a frame around its folder line, apart from its tick.
        connect(button, &CActiveButton::FocusChanged, this, [this](int id, bool focused) {
            if (CTextfield* field = HotFolderField(id - kIdHotFolderCheck1 + 1)) {
                field->SetFocusFrame(focused);
            }
        });
    }
}

void CFenrikWnd::CreateField(const ControlLayout& layout) {
    auto* field = new CTextfield(this);
    field->m_TextColor = QColor(layout.textColor);
    field->m_DisabledTextColor = QColor(layout.disabledTextColor);
    field->Create(layout.rect, this, layout.id);
    field->SetBackground(layout.normal);
    field->setAccessibleDescription(
        QString::fromStdString(ControlAccessibleDescription(layout.id)));
    // A plain mouse move reaches the window past a child only when the child tracks the mouse
    // (and, handling no moves itself, passes them on): so moving onto a text line takes the
    // focus from the buttons as the window's body does.
    field->setMouseTracking(true);
    FieldSlot(layout.id) = field;
    const int hotFolder = layout.id - kIdHotFolderField1 + 1;
    if (hotFolder >= 1 && hotFolder <= 4) {
        field->SetText(m_ConfigDlg->HotFolder(hotFolder));
        field->setEnabled(m_Profile.GetProfileInt(kSettingsSection,
                                                  kHotFolderEnabledKeys[hotFolder - 1], 0) != 0);
    } else if (layout.id == kIdDeviceField) {
        field->SetText(m_ConfigDlg->m_Device);
    } else {
        field->SetAccessibleRole(QAccessible::StatusBar);
        field->SetText("Ready");
        SetStatusDescription("No tagging run yet");
    }
}

void CFenrikWnd::CreateSpinner(const ControlLayout& layout) {
    m_Spinner = new CSpinner(this);
    m_Spinner->Create(layout.rect, this, layout.id);
    m_Spinner->setAccessibleName(QString::fromStdString(ControlAccessibleName(layout.id)));
    m_Spinner->setAccessibleDescription(
        QString::fromStdString(ControlAccessibleDescription(layout.id)));
    m_Spinner->setMouseTracking(true);  // as the text lines do
}

CActiveButton*& CFenrikWnd::ButtonSlot(int id) {
    CActiveButton** const buttons[] = {&m_CloseButton,
                                       &m_MinimizeButton,
                                       &m_StartButton,
                                       &m_HelpButton,
                                       &m_DeviceConfigButton,
                                       &m_DirConfigButton,
                                       &m_HomePageButton,
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       &m_HotFolderCheck1,
                                       &m_HotFolderCheck2,
                                       &m_HotFolderCheck3,
                                       &m_HotFolderCheck4};
    return *buttons[id - kIdClose];
}

CTextfield*& CFenrikWnd::FieldSlot(int id) {
    CTextfield** const fields[] = {&m_HotFolderField1,
                                   &m_HotFolderField2,
                                   &m_HotFolderField3,
                                   &m_HotFolderField4,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   &m_DeviceField,
                                   &m_StatusField};
    return *fields[id - kIdHotFolderField1];
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

CActiveButton* CFenrikWnd::HotFolderCheck(int n) const {
    CActiveButton* const checks[4] = {m_HotFolderCheck1, m_HotFolderCheck2, m_HotFolderCheck3,
                                      m_HotFolderCheck4};
    return n >= 1 && n <= 4 ? checks[n - 1] : nullptr;
}

bool CFenrikWnd::IsHotFolderOn(int n) const {
    const CTextfield* field = HotFolderField(n);
    return field->isEnabled() && !field->GetText().empty();
}

void CFenrikWnd::UpdateHotFolderChecks() {
    for (int n = 1; n <= 4; ++n) {
        CActiveButton* check = HotFolderCheck(n);
        check->setChecked(IsHotFolderOn(n));
        // A check without a folder would switch nothing: it is no stop on the Tab path.
        const bool hasFolder = !HotFolderField(n)->GetText().empty();
        check->setFocusPolicy(hasFolder ? Qt::StrongFocus : Qt::NoFocus);
        if (!hasFolder && check->hasFocus()) {
            setFocus(Qt::OtherFocusReason);
        }
    }
}

void CFenrikWnd::UpdateAccessibleNames() {
    if (m_StatusField == nullptr) {
        return;  // released by DestroyWindow
    }
    for (int n = 1; n <= 4; ++n) {
        CActiveButton* check = HotFolderCheck(n);
        SetAccessibleNameIfChanged(HotFolderField(n),
                                   HotFolderAccessibleDescription(HotFolderField(n)->GetText()));
        SetAccessibleNameIfChanged(check, HotFolderAccessibleName(n));
        SetAccessibleDescriptionIfChanged(
            check, HotFolderAccessibleDescription(HotFolderField(n)->GetText()));
    }
    SetAccessibleNameIfChanged(m_DeviceField, GpxFileAccessibleName(m_DeviceField->GetText()));
    // A status bar whose name changes: what screen readers announce of a run's end.
    SetAccessibleNameIfChanged(m_StatusField, StatusAccessibleName(m_StatusField->GetText()));
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
    const int scale = SkinScaleFor(devicePixelRatioF());
    setMask(RegionFromMask(LoadSkinBitmap(maskBitmapId, scale), width(), height()));
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
    m_ConfigDlg.reset();
    delete m_Spinner;
    m_Spinner = nullptr;
    delete m_StatusField;
    m_StatusField = nullptr;
    m_Runner.reset();  // and the track points it held
    close();
    return true;
}

void CFenrikWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int scale = SkinScaleFor(DevicePixelsPerPixel(painter));
    const QImage background = LoadSkinBitmap(m_BackgroundBitmapId, scale);
    DrawSkinImage(painter, QPoint(0, 0), background, QRect(QPoint(0, 0), size()));
}

void CFenrikWnd::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // The move begins with the first motion while the button is held, never on the press: a
    // press and release with nothing between must not hand the window to the window manager,
    // which would then have it follow the pointer.
    m_Drag = DragState::Pressed;
    m_DragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CFenrikWnd::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    if (!(event->buttons() & Qt::LeftButton)) {
        m_Drag = DragState::None;
    } else if (m_Drag == DragState::Pressed) {
        QWindow* window = windowHandle();
        m_Drag = window != nullptr && window->startSystemMove() ? DragState::BySystem
                                                                : DragState::Manual;
    }
    if (m_Drag == DragState::Manual) {
        move(event->globalPosition().toPoint() - m_DragOffset);
    }
    setFocus();
}

void CFenrikWnd::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    m_Drag = DragState::None;
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
    m_Runner->RequestStop();
    hide();
}
