// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration object: the modal "Directory Configuration" dialog (dialog template 9), in
// which the user sets the hot-folder paths, the matching tolerance, the camera's time zone and
// the log file, and at once the holder of the live settings that a tagging run reads.
//
// The live data members (m_BiasInMinutes, m_ToleranceHours, m_ToleranceMinutes, m_HotFolder1 ..
// m_HotFolder4, m_Device, m_UseLogfile, m_LogfileDir) are those of LiveSettings; they keep their
// values between showings. The dialog never shows or changes m_Device. The control members are
// attached only while the dialog's controls exist (from CreateControls to DestroyControls) and
// are null otherwise. GUI thread only; the tagging worker reads the live data while the main
// window keeps the dialog closed.

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

// The correction that makes a camera reading `captureTime` show `trueTime` (both Exif texts
// "YYYY:MM:DD HH:MM:SS"; the true time may be "HH:MM:SS" alone, on the capture's date), in
// seconds, positive when the camera was ahead. Empty when either text is no valid time.
std::optional<int> CorrectionFromPhoto(const std::string& captureTime, const std::string& trueTime);

// A correction typed as whole seconds with an optional sign; empty for anything else.
std::optional<int> ParseCorrectionText(const std::string& text);

// What the dialog asks of the system: its time zones and a folder chooser. Replaceable, so that
// tests read no system zones and open no real dialogs; the zone source must outlive the dialog.
struct ConfigServices {
    const ZoneSource* zones = &SystemZoneSource();
    FolderChooserFunction chooseFolder = ChooseFolderWithDialog;
    // "Set from a photo...": picks the photo (empty when cancelled), reads its capture time as
    // Exif text "YYYY:MM:DD HH:MM:SS" (empty when it has none; without this service the button
    // is disabled), and asks for the true time the photo shows, offering the capture time
    // (empty when cancelled).
    std::function<std::optional<std::string>(QWidget*)> chooseClockPhoto = ChooseClockPhoto;
    std::function<std::optional<std::string>(const std::string&)> readCaptureTime;
    std::function<std::optional<std::string>(QWidget*, const std::string&)> askTrueTime =
        AskTrueTime;
};

class CDirectoryConfigDlg : public QDialog, public LiveSettings {
    Q_OBJECT

public:
    // Reads, from section Settings of `profile` (the application's, which must outlive the
    // dialog and which it writes its settings to) and in this order, HotFolder1 .. HotFolder4,
    // ToleranceHours, ToleranceMinutes (absent reads empty), UseLogfile (absent reads 0) and
    // LogfileDir into their members; then sets m_BiasInMinutes to 0 and loads m_TimeZones from
    // the services' zone source. m_Device stays empty: the main window sets it, and
    // m_BiasInMinutes, from their settings afterwards. Creates no controls yet.
    CDirectoryConfigDlg(QWidget* parent, ProfileStore& profile, ConfigServices services = {});
    ~CDirectoryConfigDlg() override;

    // Shows the dialog modally: creates its controls afresh from template 9, runs OnInitDialog,
    // and destroys the controls again once the dialog has closed. Returns IDOK when the user
    // pressed OK (the members then hold the controls' texts and four settings are written), or
    // IDCANCEL for Cancel, Escape or the close box (the members are left as they were; a zone
    // picked in the meantime stays in force).
    int DoModal();

    // The time zone catalogue, filled once by the constructor and never changed after.
    TimeZoneCatalogue m_TimeZones;
    QLineEdit* m_HotFolderEdit1 = nullptr;       // edit 1031
    QLineEdit* m_HotFolderEdit2 = nullptr;       // edit 1032
    QLineEdit* m_HotFolderEdit3 = nullptr;       // edit 1033
    QLineEdit* m_HotFolderEdit4 = nullptr;       // edit 1034
    QLineEdit* m_LogfileDirEdit = nullptr;       // edit 1035
    QComboBox* m_TimeZoneCombo = nullptr;        // combo box 1030
    QLineEdit* m_ClockCorrectionEdit = nullptr;  // edit 1040

    // Creates the controls of template 9 (removing those of an earlier showing), wires the
    // buttons and the combo box list to their handlers and attaches the control members.
    // DoModal calls it; tests call it to drive the pieces without the modal loop.
    void CreateControls();
    // Deletes the controls and sets the control members to null.
    void DestroyControls();

    // Moves the members into the controls (saveAndValidate false) or the controls into the
    // members (true): tolerance texts 1017 and 1018, hot folders 1031 .. 1034, the check box 1001
    // (shown checked when m_UseLogfile is not 0, read back as 1 or 0), the log folder 1035, the
    // clock correction 1040 (a text that is not whole seconds leaves the member as it was) and
    // the three switches 1043 .. 1045, and attaches the control members. The combo box exchanges no
    // value. Does nothing while the controls do not exist.
    void DoDataExchange(bool saveAndValidate);

    // Moves the members into the controls, then fills the combo box with every catalogue entry's
    // display text (sorted by the box; each item's data is the entry's Index) and selects the
    // item whose Index equals TZIndex. A stored TZIndex of -1 selects the system's zone, as
    // FindCurrentTimeZone finds it by its name. No stored TZIndex at all selects the system's
    // zone the same way and takes it as a pick (OnSelchangeTimeZone); an unrecognised system
    // zone selects nothing. A TZIndex that no entry carries leaves the box without a selection.
    // Returns true.
    bool OnInitDialog();

    // The user picked an item in the combo box list: m_BiasInMinutes takes the Bias of the entry
    // whose Index is the item's data, and BiasInMinutes, then TZIndex, are written at once. With
    // no item selected m_BiasInMinutes stays, BiasInMinutes is rewritten with it and TZIndex is
    // left alone. Changes the program makes to the selection never call this.
    void OnSelchangeTimeZone();

    // Browse buttons 1005, 1007, 1008, 1009 and 1010: ask for a folder ("Select a directory", or
    // "Select a directory for the logfiles" for the log folder) and put it into edit 1031 ..
    // 1034 or 1035. A cancelled chooser leaves the edit's text as it was. Only the edit changes;
    // the member follows at OK.
    void OnBrowseHotFolder1();
    void OnBrowseHotFolder2();
    void OnBrowseHotFolder3();
    void OnBrowseHotFolder4();
    void OnBrowseLogfileDir();

    // Shows the folder chooser (see FolderChooser.h) with `title`. Returns true and puts the
    // chosen folder's full path into `path`, or returns false and leaves `path` unchanged.
    bool BrowseForFolder(std::string& path, const std::string& title);

    // The OK button (the dialog's default button): moves the controls into the members, ends the
    // dialog with IDOK, then writes ToleranceHours, ToleranceMinutes, LogfileDir and UseLogfile,
    // in that order, then the camera clock settings. The hot-folder paths are left to the main
    // window.
    void OnBnClickedOk();

    // "Set from a photo...": the chosen photo's capture time and the true time the user types
    // give the correction, which the edit then shows; nothing changes when either is cancelled
    // or not a time.
    void OnSetClockFromPhoto();
    // Shows the typed correction in words beside the edit ("camera 3 min 20 s fast").
    void ShowCorrectionInWords();

protected:
    // Brings the dialog to the foreground and gives the first hot folder (the first tab stop)
    // the focus.
    void showEvent(QShowEvent* event) override;

private:
    // The base dialog's OK: data exchange into the members, then the dialog ends with IDOK.
    void OnOK();
    void ConnectHandlers();
    void FillTimeZoneCombo(int32_t selectedIndex);
    // The catalogue Index carried by the selected item, or -1 when none is selected.
    int32_t SelectedZoneIndex() const;
    void BrowseInto(QLineEdit* edit, const char* title);
    // Names the controls for screen readers, each from its label, and puts them on the Tab
    // path in reading order: each path with its "...", the tolerance, the zone, the log, the
    // camera clock, OK, Cancel.
    void NameControlsForScreenReaders();

    FolderChooserFunction m_ChooseFolder;
    ProfileStore& m_Profile;
    ConfigServices m_Services;
};
