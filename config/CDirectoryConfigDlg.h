// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Directory Configuration" dialog (template 9), and the holder of the live settings, which
// keep their values between showings; it never shows or changes m_Device. GUI thread only; the
// tagging worker reads the live data while the dialog is closed.

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/DialogResult.h"
#include "config/FolderChooser.h"
#include "settings/LiveSettings.h"
#include "timezones/TimeZoneCatalogue.h"
#include "timezones/TzdbZoneSource.h"

class ProfileStore;
class QShowEvent;
class QCheckBox;
class QLabel;

// Qt's file dialog for one JPEG photo.
std::optional<std::string> ChooseClockPhoto(QWidget* parent);
// Asks for the true time a photo shows, "YYYY:MM:DD HH:MM:SS", offering `captureTime`.
std::optional<std::string> AskTrueTime(QWidget* parent, const std::string& captureTime);

// Seconds that make a camera reading `captureTime` show `trueTime` (Exif texts; the true time may
// be "HH:MM:SS" on the capture's date), positive when the camera was ahead; empty when invalid.
std::optional<int> CorrectionFromPhoto(const std::string& captureTime, const std::string& trueTime);

// A correction typed as whole seconds with an optional sign; empty for anything else.
std::optional<int> ParseCorrectionText(const std::string& text);

// What the dialog asks of the system, replaceable in tests; the zones must outlive the dialog.
struct ConfigServices {
    const ZoneSource* zones = &SystemZoneSource();
    FolderChooserFunction chooseFolder = ChooseFolderWithDialog;
    // "Set from a photo...": the photo, its capture time as "YYYY:MM:DD HH:MM:SS", the true time;
    // each empty when cancelled or absent. Without readCaptureTime the button is disabled.
    std::function<std::optional<std::string>(QWidget*)> chooseClockPhoto = ChooseClockPhoto;
    std::function<std::optional<std::string>(const std::string&)> readCaptureTime;
    std::function<std::optional<std::string>(QWidget*, const std::string&)> askTrueTime =
        AskTrueTime;
};

class CDirectoryConfigDlg : public QDialog, public LiveSettings {
    Q_OBJECT

public:
    // Reads the members from `profile` (which must outlive the dialog and takes its writes) and
    // loads m_TimeZones; m_BiasInMinutes is 0 and m_Device empty until the main window sets them.
    CDirectoryConfigDlg(QWidget* parent, ProfileStore& profile, ConfigServices services = {});
    ~CDirectoryConfigDlg() override;

    // Shows the dialog modally with fresh controls. IDOK: the members hold the controls' values and
    // OnBnClickedOk wrote them; IDCANCEL: unchanged, but a zone picked meanwhile stays in force.
    int DoModal();

    // Filled once by the constructor.
    TimeZoneCatalogue m_TimeZones;
    QLineEdit* m_HotFolderEdit1 = nullptr;       // edit 1031
    QLineEdit* m_HotFolderEdit2 = nullptr;       // edit 1032
    QLineEdit* m_HotFolderEdit3 = nullptr;       // edit 1033
    QLineEdit* m_HotFolderEdit4 = nullptr;       // edit 1034
    QLineEdit* m_LogfileDirEdit = nullptr;       // edit 1035
    QComboBox* m_TimeZoneCombo = nullptr;        // combo box 1030
    QLineEdit* m_ClockCorrectionEdit = nullptr;  // edit 1040

    // The control members are null outside CreateControls .. DestroyControls.
    void CreateControls();
    void DestroyControls();

    // Members into controls (false) or back (true), while the controls exist; check boxes read
    // back as 1 or 0, a correction that is not whole seconds leaves its member. The combo box
    // exchanges nothing.
    void DoDataExchange(bool saveAndValidate);

    // Fills the controls and the zone list (item data: the entry's Index) and selects TZIndex's
    // entry, if any. -1 selects the system's zone and stores its index; no TZIndex at all takes
    // the system's zone as a pick (OnSelchangeTimeZone). Returns true.
    bool OnInitDialog();

    // A zone the user picked takes effect and is written at once; with none selected only
    // BiasInMinutes is rewritten. The program's own selection changes never call this.
    void OnSelchangeTimeZone();

    // Browse buttons: a chosen folder goes into the button's edit; the member follows at OK.
    void OnBrowseHotFolder1();
    void OnBrowseHotFolder2();
    void OnBrowseHotFolder3();
    void OnBrowseHotFolder4();
    void OnBrowseLogfileDir();

    // Asks with `title`: true with the chosen folder's full path in `path`; false leaves it.
    bool BrowseForFolder(std::string& path, const std::string& title);

    // Takes the controls' values, ends with IDOK and writes them, all but the hot folders.
    void OnBnClickedOk();

    // Sets the correction edit from a photo; nothing changes when a step is cancelled or invalid.
    void OnSetClockFromPhoto();
    // Shows the typed correction in words beside the edit.
    void ShowCorrectionInWords();

protected:
    // Brings the dialog forward and focuses the first tab stop.
    void showEvent(QShowEvent* event) override;

private:
    void OnOK();
    void ConnectHandlers();
    void FillTimeZoneCombo(int32_t selectedIndex);
    // The catalogue Index carried by the selected item, or -1 when none is selected.
    int32_t SelectedZoneIndex() const;
    void BrowseInto(QLineEdit* edit, const char* title);
    // Names the controls for screen readers and sets the Tab order to the reading order.
    void NameControlsForScreenReaders();

    FolderChooserFunction m_ChooseFolder;
    ProfileStore& m_Profile;
    ConfigServices m_Services;
};
