#include "config/CDirectoryConfigDlg.h"

#include <QCheckBox>
#include <QPushButton>
#include <QShowEvent>

#include "config/ComboBoxItems.h"
#include "config/DialogBuilder.h"
#include "config/DirectoryConfigTemplate.h"
#include "config/FolderChooser.h"
#include "config/SettingKeys.h"
#include "platform/DebugOutput.h"
#include "platform/ProfileStore.h"

namespace {

constexpr char kHotFolderTitle[] = "Select a directory";
constexpr char kLogfileDirTitle[] = "Select a directory for the logfiles";

// Puts text into an edit, showing its start as a Windows edit does (Qt would show its end).
void SetEditText(QLineEdit& edit, const std::string& text) {
    edit.setText(QString::fromStdString(text));
    edit.setCursorPosition(0);
}

std::string ReadString(const char* key) {
    return AppProfile().GetProfileString(kSettingsSection, key, "");
}

// Text exchange between an edit and a member.
void ExchangeText(bool saveAndValidate, QWidget* control, std::string& value) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (edit == nullptr) {
        return;
    }
    if (saveAndValidate) {
        value = edit->text().toStdString();
    } else {
        SetEditText(*edit, value);
    }
}

// Check state exchange between a check box and a member: 1 checked, 0 clear.
void ExchangeCheck(bool saveAndValidate, QWidget* control, int& value) {
    auto* check = qobject_cast<QCheckBox*>(control);
    if (check == nullptr) {
        return;
    }
    if (saveAndValidate) {
        value = check->isChecked() ? 1 : 0;
    } else {
        check->setChecked(value != 0);
    }
}

template <class Control>
void AttachControl(QWidget* control, Control*& member) {
    member = qobject_cast<Control*>(control);
}

}  // namespace

CDirectoryConfigDlg::CDirectoryConfigDlg(QWidget* parent, ConfigServices services)
    : QDialog(parent),
      m_TimeZones(*services.zones),
      m_ChooseFolder(std::move(services.chooseFolder)) {
    m_HotFolder1 = ReadString(kHotFolder1);
    m_HotFolder2 = ReadString(kHotFolder2);
    m_HotFolder3 = ReadString(kHotFolder3);
    m_HotFolder4 = ReadString(kHotFolder4);
    m_ToleranceHours = ReadString(kToleranceHours);
    m_ToleranceMinutes = ReadString(kToleranceMinutes);
    m_UseLogfile = AppProfile().GetProfileInt(kSettingsSection, kUseLogfile, 0);
    m_LogfileDir = ReadString(kLogfileDir);
    m_TimeZones.clear();
    m_BiasInMinutes = 0;
    m_TimeZones.LoadTimeZones();
}

CDirectoryConfigDlg::~CDirectoryConfigDlg() = default;

int CDirectoryConfigDlg::DoModal() {
    CreateControls();
    OnInitDialog();
    const int result = exec();
    DestroyControls();
    return result == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CDirectoryConfigDlg::CreateControls() {
    DestroyControls();
    BuildDialogControls(*this, DirectoryConfigTemplate());
    ConnectHandlers();
}

void CDirectoryConfigDlg::DestroyControls() {
    DestroyDialogControls(*this);
    m_HotFolderEdit1 = nullptr;
    m_HotFolderEdit2 = nullptr;
    m_HotFolderEdit3 = nullptr;
    m_HotFolderEdit4 = nullptr;
    m_LogfileDirEdit = nullptr;
    m_TimeZoneCombo = nullptr;
}

void CDirectoryConfigDlg::ConnectHandlers() {
    const struct {
        int id;
        void (CDirectoryConfigDlg::*handler)();
    } kButtonHandlers[] = {
        {kIdBrowseHotFolder1, &CDirectoryConfigDlg::OnBrowseHotFolder1},
        {kIdBrowseHotFolder2, &CDirectoryConfigDlg::OnBrowseHotFolder2},
        {kIdBrowseHotFolder3, &CDirectoryConfigDlg::OnBrowseHotFolder3},
        {kIdBrowseHotFolder4, &CDirectoryConfigDlg::OnBrowseHotFolder4},
        {kIdOk, &CDirectoryConfigDlg::OnBnClickedOk},
        {kIdBrowseLogfileDir, &CDirectoryConfigDlg::OnBrowseLogfileDir},
        {kIdCancel, &CDirectoryConfigDlg::reject},
    };
    for (const auto& entry : kButtonHandlers) {
        if (auto* button = qobject_cast<QPushButton*>(FindControl(*this, entry.id))) {
            connect(button, &QPushButton::clicked, this, entry.handler);
        }
    }
    // `activated` comes only from the user (a pick in the list, or the arrow keys and the wheel
    // on the closed box), never from a selection made by the program.
    if (auto* combo = qobject_cast<QComboBox*>(FindControl(*this, kIdTimeZoneCombo))) {
        connect(combo, &QComboBox::activated, this, &CDirectoryConfigDlg::OnSelchangeTimeZone);
    }
}

void CDirectoryConfigDlg::DoDataExchange(bool saveAndValidate) {
    const bool save = saveAndValidate;
    ExchangeText(save, FindControl(*this, kIdToleranceHoursEdit), m_ToleranceHours);
    ExchangeText(save, FindControl(*this, kIdToleranceMinutesEdit), m_ToleranceMinutes);
    ExchangeText(save, FindControl(*this, kIdHotFolderEdit1), m_HotFolder1);
    ExchangeText(save, FindControl(*this, kIdHotFolderEdit2), m_HotFolder2);
    ExchangeText(save, FindControl(*this, kIdHotFolderEdit3), m_HotFolder3);
    ExchangeText(save, FindControl(*this, kIdHotFolderEdit4), m_HotFolder4);
    AttachControl(FindControl(*this, kIdHotFolderEdit1), m_HotFolderEdit1);
    AttachControl(FindControl(*this, kIdHotFolderEdit2), m_HotFolderEdit2);
    AttachControl(FindControl(*this, kIdHotFolderEdit3), m_HotFolderEdit3);
    AttachControl(FindControl(*this, kIdHotFolderEdit4), m_HotFolderEdit4);
    AttachControl(FindControl(*this, kIdLogfileDirEdit), m_LogfileDirEdit);
    ExchangeCheck(save, FindControl(*this, kIdUseLogfileCheck), m_UseLogfile);
    ExchangeText(save, FindControl(*this, kIdLogfileDirEdit), m_LogfileDir);
    AttachControl(FindControl(*this, kIdTimeZoneCombo), m_TimeZoneCombo);
}

bool CDirectoryConfigDlg::OnInitDialog() {
    DoDataExchange(false);
    int32_t zoneIndex = AppProfile().GetProfileInt(kSettingsSection, kTZIndex, 0);
    if (zoneIndex == kTZIndexSystemZone) {
        zoneIndex = m_TimeZones.FindCurrentTimeZone();
    }
    FillTimeZoneCombo(zoneIndex);
    return true;
}

void CDirectoryConfigDlg::FillTimeZoneCombo(int32_t selectedIndex) {
    if (m_TimeZoneCombo == nullptr) {
        return;
    }
    m_TimeZoneCombo->clear();
    m_TimeZoneCombo->setCurrentIndex(-1);
    for (const TimeZoneEntry& entry : m_TimeZones) {
        const int position =
            AddComboString(*m_TimeZoneCombo, QString::fromStdString(entry.Display));
        m_TimeZoneCombo->setItemData(position, entry.Index);
        if (entry.Index == selectedIndex) {
            m_TimeZoneCombo->setCurrentIndex(position);
        }
        OutputDebugStringA(entry.Display + "\n");
    }
}

int32_t CDirectoryConfigDlg::SelectedZoneIndex() const {
    const int position = m_TimeZoneCombo != nullptr ? m_TimeZoneCombo->currentIndex() : -1;
    if (position < 0) {
        return -1;
    }
    bool ok = false;
    const int index = m_TimeZoneCombo->itemData(position).toInt(&ok);
    return ok ? index : -1;
}

void CDirectoryConfigDlg::OnSelchangeTimeZone() {
    const TimeZoneEntry* entry = m_TimeZones.FindTimeZoneByIndex(SelectedZoneIndex());
    if (entry != nullptr) {
        m_BiasInMinutes = entry->Bias;
    }
    AppProfile().WriteProfileInt(kSettingsSection, kBiasInMinutes, m_BiasInMinutes);
    if (entry != nullptr) {
        AppProfile().WriteProfileInt(kSettingsSection, kTZIndex, entry->Index);
    }
}

void CDirectoryConfigDlg::OnBrowseHotFolder1() {
    BrowseInto(m_HotFolderEdit1, kHotFolderTitle);
}

void CDirectoryConfigDlg::OnBrowseHotFolder2() {
    BrowseInto(m_HotFolderEdit2, kHotFolderTitle);
}

void CDirectoryConfigDlg::OnBrowseHotFolder3() {
    BrowseInto(m_HotFolderEdit3, kHotFolderTitle);
}

void CDirectoryConfigDlg::OnBrowseHotFolder4() {
    BrowseInto(m_HotFolderEdit4, kHotFolderTitle);
}

void CDirectoryConfigDlg::OnBrowseLogfileDir() {
    BrowseInto(m_LogfileDirEdit, kLogfileDirTitle);
}

void CDirectoryConfigDlg::BrowseInto(QLineEdit* edit, const char* title) {
    if (edit == nullptr) {
        return;
    }
    // The buffer starts with the edit's text, so a cancelled chooser puts that text back.
    std::string path = edit->text().toStdString();
    BrowseForFolder(path, title);
    SetEditText(*edit, path);
}

bool CDirectoryConfigDlg::BrowseForFolder(std::string& path, const std::string& title) {
    const std::optional<std::string> folder = m_ChooseFolder(this, title);
    if (!folder) {
        return false;
    }
    path = *folder;
    return true;
}

void CDirectoryConfigDlg::OnOK() {
    DoDataExchange(true);
    accept();
}

void CDirectoryConfigDlg::OnBnClickedOk() {
    OnOK();
    ProfileStore& profile = AppProfile();
    profile.WriteProfileString(kSettingsSection, kToleranceHours, m_ToleranceHours);
    profile.WriteProfileString(kSettingsSection, kToleranceMinutes, m_ToleranceMinutes);
    profile.WriteProfileString(kSettingsSection, kLogfileDir, m_LogfileDir);
    profile.WriteProfileInt(kSettingsSection, kUseLogfile, m_UseLogfile);
}

void CDirectoryConfigDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    activateWindow();
    for (const DialogControlTemplate& control : DirectoryConfigTemplate().controls) {
        QWidget* widget = FindControl(*this, control.id);
        if ((control.style & kTabStop) && widget != nullptr && widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}
