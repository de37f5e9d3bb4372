// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/CDirectoryConfigDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <cstdint>

#include "config/ClockFromPhoto.h"
#include "config/ComboBoxItems.h"
#include "config/DataExchange.h"
#include "config/DialogBuilder.h"
#include "config/DirectoryConfigTemplate.h"
#include "config/FolderChooser.h"
#include "match/ClockCorrectionText.h"
#include "platform/DebugOutput.h"
#include "platform/Log.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

namespace {

template <class Control>
void AttachControl(QWidget* control, Control*& member) {
    member = qobject_cast<Control*>(control);
}

constexpr char kHotFolderTitle[] = "Select a directory";
constexpr char kLogfileDirTitle[] = "Select a directory for the logfiles";

}  // namespace

CDirectoryConfigDlg::CDirectoryConfigDlg(QWidget* parent, ProfileStore& profile,
                                         ConfigServices services)
    : QDialog(parent),
      m_TimeZones(*services.zones),
      m_ChooseFolder(std::move(services.chooseFolder)),
      m_Profile(profile),
      m_Services(std::move(services)) {
    const auto readString = [&profile](const char* key) {
        return profile.GetProfileString(kSettingsSection, key, "");
    };
    m_HotFolder1 = readString(kHotFolder1);
    m_HotFolder2 = readString(kHotFolder2);
    m_HotFolder3 = readString(kHotFolder3);
    m_HotFolder4 = readString(kHotFolder4);
    m_ToleranceHours = readString(kToleranceHours);
    m_ToleranceMinutes = readString(kToleranceMinutes);
    m_UseLogfile = profile.GetProfileInt(kSettingsSection, kUseLogfile, 0);
    m_LogfileDir = readString(kLogfileDir);
    ReadCameraClockSettings(profile, *this);
    m_RawSidecars = profile.GetProfileInt(kSettingsSection, kRawSidecars, 1);
    m_TimeZones.clear();
    m_BiasInMinutes = 0;
    m_TimeZones.LoadTimeZones();
    // A profile from before the zone's name was kept: the name of the zone at TZIndex.
    const TimeZoneEntry* entry =
        m_TimeZones.FindTimeZoneByIndex(profile.GetProfileInt(kSettingsSection, kTZIndex, 0));
    if (entry != nullptr && m_TimeZoneId.empty()) {
        m_TimeZoneId = entry->Std;
    }
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
    NameControlsForScreenReaders();
    if (QWidget* button = FindControl(*this, kIdSetClockFromPhoto)) {
        button->setEnabled(static_cast<bool>(m_Services.readCaptureTime));
    }
    if (QWidget* button = FindControl(*this, kIdPreviewOnMap)) {
        button->setVisible(static_cast<bool>(m_Services.previewOnMap));
    }
}

namespace {

// The focusable controls in reading order, each with its name for screen readers (null: the
// control's own text names it).
struct ReadingOrderControl {
    int id;
    const char* name;
};

const ReadingOrderControl kReadingOrder[] = {
    {kIdHotFolderEdit1, "Hot folder 1"},
    {kIdBrowseHotFolder1, "Choose hot folder 1"},
    {kIdHotFolderEdit2, "Hot folder 2"},
    {kIdBrowseHotFolder2, "Choose hot folder 2"},
    {kIdHotFolderEdit3, "Hot folder 3"},
    {kIdBrowseHotFolder3, "Choose hot folder 3"},
    {kIdHotFolderEdit4, "Hot folder 4"},
    {kIdBrowseHotFolder4, "Choose hot folder 4"},
    {kIdToleranceHoursEdit, "Hours"},
    {kIdToleranceMinutesEdit, "Minutes"},
    {kIdTimeZoneCombo, "Camera time zone"},
    {kIdUseLogfileCheck, "Write a log file"},
    {kIdLogfileDirEdit, "Log folder"},
    {kIdBrowseLogfileDir, "Choose log folder"},
    {kIdClockCorrectionEdit, "Camera clock correction in seconds, positive when fast"},
    {kIdSetClockFromPhoto, "Set the clock correction from a photo of a clock"},
    {kIdPreviewOnMap, "Preview the photos on a map with these settings"},
    {kIdUsePhotoTimeZoneCheck, "Use the time zone the photo records"},
    {kIdFollowDaylightSavingCheck, "Follow daylight saving"},
    {kIdReplaceRecordedPositionsCheck, "Replace positions the photos already carry"},
    {kIdRawSidecarsCheck, "Write the positions of RAW photos into XMP sidecar files"},
    {kIdInterpolateCheck, "Place photos between track points"},
    {kIdMaxGapEdit, "Largest gap between track points to place a photo in, in minutes"},
    {kIdOk, nullptr},
    {kIdCancel, nullptr},
};

}  // namespace

void CDirectoryConfigDlg::NameControlsForScreenReaders() {
    if (QWidget* words = FindControl(*this, kIdClockCorrectionWords)) {
        words->setAccessibleName("Camera clock correction");
    }
    // On Linux a screen reader names a combo box by its value and takes its name from the label
    // it is labelled by: the sentence above the zone list is that label.
    if (auto* zones = qobject_cast<QComboBox*>(FindControl(*this, kIdTimeZoneCombo))) {
        for (QLabel* label : findChildren<QLabel*>()) {
            if (label->text().startsWith("Select your picture")) {
                label->setBuddy(zones);
            }
        }
        if (zones->lineEdit() != nullptr) {
            zones->lineEdit()->setAccessibleName("Camera time zone");
        }
    }
    QWidget* previous = nullptr;
    for (const ReadingOrderControl& entry : kReadingOrder) {
        QWidget* control = FindControl(*this, entry.id);
        if (control == nullptr) {
            continue;
        }
        if (entry.name != nullptr) {
            control->setAccessibleName(entry.name);
        }
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
    }
}

void CDirectoryConfigDlg::DestroyControls() {
    DestroyDialogControls(*this);
    m_HotFolderEdit1 = nullptr;
    m_HotFolderEdit2 = nullptr;
    m_HotFolderEdit3 = nullptr;
    m_HotFolderEdit4 = nullptr;
    m_LogfileDirEdit = nullptr;
    m_TimeZoneCombo = nullptr;
    m_ClockCorrectionEdit = nullptr;
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
        {kIdSetClockFromPhoto, &CDirectoryConfigDlg::OnSetClockFromPhoto},
        {kIdPreviewOnMap, &CDirectoryConfigDlg::OnPreviewOnMap},
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
    if (auto* edit = qobject_cast<QLineEdit*>(FindControl(*this, kIdClockCorrectionEdit))) {
        connect(edit, &QLineEdit::textChanged, this, &CDirectoryConfigDlg::ShowCorrectionInWords);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(FindControl(*this, kIdLogfileDirEdit))) {
        connect(edit, &QLineEdit::textChanged, this, &CDirectoryConfigDlg::ShowLogProblem);
    }
    if (auto* check = qobject_cast<QCheckBox*>(FindControl(*this, kIdUseLogfileCheck))) {
        connect(check, &QCheckBox::toggled, this, &CDirectoryConfigDlg::ShowLogProblem);
    }
    if (auto* check = qobject_cast<QCheckBox*>(FindControl(*this, kIdInterpolateCheck))) {
        connect(check, &QCheckBox::toggled, this, &CDirectoryConfigDlg::EnableGapLimit);
    }
}

void CDirectoryConfigDlg::ShowLogProblem() {
    auto* label = qobject_cast<QLabel*>(FindControl(*this, kIdLogfileProblem));
    auto* check = qobject_cast<QCheckBox*>(FindControl(*this, kIdUseLogfileCheck));
    if (label == nullptr || check == nullptr || m_LogfileDirEdit == nullptr) {
        return;
    }
    std::string text;
    if (check->isChecked()) {
        const Status problem = CheckLogFolder(m_LogfileDirEdit->text().toStdString());
        if (!problem.ok()) {
            text = problem.message();
            text[0] = 'T';  // a sentence of its own
        }
    }
    label->setText(QString::fromStdString(text));
    if (m_LogfileDirEdit->accessibleDescription() != label->text()) {
        m_LogfileDirEdit->setAccessibleDescription(label->text());
    }
}

void CDirectoryConfigDlg::EnableGapLimit() {
    auto* check = qobject_cast<QCheckBox*>(FindControl(*this, kIdInterpolateCheck));
    if (QWidget* gap = FindControl(*this, kIdMaxGapEdit); gap != nullptr && check != nullptr) {
        gap->setEnabled(check->isChecked());
    }
}

void CDirectoryConfigDlg::ShowCorrectionInWords() {
    auto* words = qobject_cast<QLabel*>(FindControl(*this, kIdClockCorrectionWords));
    if (words == nullptr || m_ClockCorrectionEdit == nullptr) {
        return;
    }
    const std::optional<int> seconds =
        ParseCorrectionText(m_ClockCorrectionEdit->text().trimmed().toStdString());
    words->setText(QString::fromStdString(seconds ? CorrectionText(*seconds)
                                                  : std::string("whole seconds, please")));
}

void CDirectoryConfigDlg::OnSetClockFromPhoto() {
    if (!m_Services.readCaptureTime || m_ClockCorrectionEdit == nullptr) {
        return;
    }
    const ClockPhotoServices services{m_Services.chooseClockPhoto, m_Services.readCaptureTime,
                                      m_Services.askTrueTime};
    if (const std::optional<int> correction = AskCorrectionFromPhoto(this, services)) {
        m_ClockCorrectionEdit->setText(QString::number(*correction));
    }
}

void CDirectoryConfigDlg::OnPreviewOnMap() {
    if (m_Services.previewOnMap) {
        m_Services.previewOnMap(*this);
    }
}

LiveSettings CDirectoryConfigDlg::ShownSettings() {
    const LiveSettings kept = *this;
    DoDataExchange(true);
    const LiveSettings shown = *this;
    static_cast<LiveSettings&>(*this) = kept;
    return shown;
}

void CDirectoryConfigDlg::ShowSettings(const LiveSettings& settings, int32_t zoneIndex) {
    const LiveSettings kept = *this;
    static_cast<LiveSettings&>(*this) = settings;
    DoDataExchange(false);
    static_cast<LiveSettings&>(*this) = kept;
    const int position = m_TimeZoneCombo != nullptr ? m_TimeZoneCombo->findData(zoneIndex) : -1;
    if (position >= 0 && zoneIndex != SelectedZoneIndex()) {
        m_TimeZoneCombo->setCurrentIndex(position);
        OnSelchangeTimeZone();
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
    ExchangeSeconds(save, FindControl(*this, kIdClockCorrectionEdit), m_ClockCorrectionSeconds);
    AttachControl(FindControl(*this, kIdClockCorrectionEdit), m_ClockCorrectionEdit);
    ExchangeCheck(save, FindControl(*this, kIdUsePhotoTimeZoneCheck), m_UsePhotoTimeZone);
    ExchangeCheck(save, FindControl(*this, kIdFollowDaylightSavingCheck), m_FollowDaylightSaving);
    ExchangeCheck(save, FindControl(*this, kIdReplaceRecordedPositionsCheck),
                  m_ReplaceRecordedPositions);
    ExchangeCheck(save, FindControl(*this, kIdRawSidecarsCheck), m_RawSidecars);
    ExchangeCheck(save, FindControl(*this, kIdInterpolateCheck), m_InterpolatePositions);
    ExchangeMinutes(save, FindControl(*this, kIdMaxGapEdit), m_MaxInterpolationGapSeconds);
    ShowCorrectionInWords();
    ShowLogProblem();
    EnableGapLimit();
}

bool CDirectoryConfigDlg::OnInitDialog() {
    DoDataExchange(false);
    // No zone chosen yet: the system's own, found by its name, taken as if the user had picked
    // it, so that what the list shows is what the run uses.
    constexpr int32_t kNoZoneChosen = INT32_MIN;
    int32_t zoneIndex = m_Profile.GetProfileInt(kSettingsSection, kTZIndex, kNoZoneChosen);
    const bool firstChoice = zoneIndex == kNoZoneChosen;
    if (firstChoice || zoneIndex == kTZIndexSystemZone) {
        zoneIndex = m_TimeZones.FindCurrentTimeZone();
        if (!firstChoice && zoneIndex >= 0) {  // the system's zone, recognised, is the choice
            m_Profile.WriteProfileInt(kSettingsSection, kTZIndex, zoneIndex);
        }
    }
    FillTimeZoneCombo(zoneIndex);
    if (firstChoice && SelectedZoneIndex() >= 0) {
        OnSelchangeTimeZone();
    }
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
    m_Profile.WriteProfileInt(kSettingsSection, kBiasInMinutes, m_BiasInMinutes);
    if (entry != nullptr) {
        m_Profile.WriteProfileInt(kSettingsSection, kTZIndex, entry->Index);
        m_TimeZoneId = entry->Std;
        m_Profile.WriteProfileString(kSettingsSection, kTimeZoneId, m_TimeZoneId);
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
    ProfileStore& profile = m_Profile;
    profile.WriteProfileString(kSettingsSection, kToleranceHours, m_ToleranceHours);
    profile.WriteProfileString(kSettingsSection, kToleranceMinutes, m_ToleranceMinutes);
    profile.WriteProfileString(kSettingsSection, kLogfileDir, m_LogfileDir);
    profile.WriteProfileInt(kSettingsSection, kUseLogfile, m_UseLogfile);
    WriteCameraClockSettings(*this, profile);
    profile.WriteProfileInt(kSettingsSection, kRawSidecars, m_RawSidecars);
}

void CDirectoryConfigDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    activateWindow();
    for (const ReadingOrderControl& entry : kReadingOrder) {
        QWidget* widget = FindControl(*this, entry.id);
        if (widget != nullptr && widget->isEnabled()) {
            widget->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}
