// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration object driven through its real dialog: construction from the profile, the
// zone list and its selection, data exchange at OK and Cancel, the browse buttons and the order
// in which settings are written.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeZoneSource.h"
#include "TestSupport.h"
#include "WidgetTestSupport.h"
#include "config/CDirectoryConfigDlg.h"
#include "config/DialogBuilder.h"
#include "config/DirectoryConfigTemplate.h"
#include "config/FolderChooser.h"
#include "platform/Log.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

namespace {

constexpr char kAbsent[] = "<absent>";
constexpr int kAbsentInt = -777;

// Catalogue order 0..3; sorted ignoring case the list reads 2, 0, 3, 1.
FakeZoneSource FourZones() {
    FakeZoneSource source;
    source.AddZone("W. Europe Standard Time", -60, "(UTC+01:00) Berlin", "W. Europe Standard Time");
    source.AddZone("Pacific Standard Time", 480, "(UTC-08:00) Pacific Time",
                   "Pacific Standard Time");
    source.AddZone("UTC", 0, "(UTC) Coordinated Universal Time", "Coordinated Universal Time");
    source.AddZone("Nepal Standard Time", -345, "(utc+05:45) kathmandu", "Nepal Standard Time");
    return source;
}

class ConfigDlgTest : public WidgetTest {
protected:
    void SetUp() override { Log::Instance().Close(); }
    void TearDown() override { Log::Instance().Close(); }

    std::string ProfilePath() const { return m_Dir.File("fenrik.conf"); }
    ProfileStore Profile() const { return ProfileStore(ProfilePath()); }
    std::string StoredString(const char* key) const {
        return Profile().GetProfileString(kSettingsSection, key, kAbsent);
    }
    int StoredInt(const char* key) const {
        return Profile().GetProfileInt(kSettingsSection, key, kAbsentInt);
    }
    void Store(const char* key, const std::string& value) {
        Profile().WriteProfileString(kSettingsSection, key, value);
    }
    void Store(const char* key, int value) {
        Profile().WriteProfileInt(kSettingsSection, key, value);
    }

    // Shows the dialog modally and runs `whileOpen` inside its loop; a dialog still open
    // afterwards is cancelled.
    static int RunModal(CDirectoryConfigDlg& dialog, const std::function<void()>& whileOpen) {
        bool ran = false;
        QTimer::singleShot(0, &dialog, [&] {
            ran = true;
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            whileOpen();
            if (dialog.isVisible()) {
                dialog.reject();
            }
        });
        const int result = dialog.DoModal();
        EXPECT_TRUE(ran);
        return result;
    }

    template <class T>
    static T* Control(CDirectoryConfigDlg& dialog, int id) {
        return qobject_cast<T*>(FindControl(dialog, id));
    }
    static void Click(CDirectoryConfigDlg& dialog, int id) {
        QTest::mouseClick(FindControl(dialog, id), Qt::LeftButton);
    }
    static void Retype(CDirectoryConfigDlg& dialog, int id, const char* text) {
        QLineEdit* edit = Control<QLineEdit>(dialog, id);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    // Catalogue Index of every list item, top to bottom.
    static std::vector<int> ItemIndexes(const QComboBox& combo) {
        std::vector<int> indexes;
        for (int i = 0; i < combo.count(); ++i) {
            indexes.push_back(combo.itemData(i).toInt());
        }
        return indexes;
    }
    // What the user does to pick the item at `position`: drop the list down and click it.
    static void PickInList(QComboBox& combo, int position) {
        combo.showPopup();
        QAbstractItemView* view = combo.view();
        QTest::qWait(QApplication::doubleClickInterval() + 50);  // the list ignores a hasty release
        const QRect item = view->visualRect(view->model()->index(position, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    }
    // Keys of the settings whose writes failed, in order, from the debugger output.
    static std::vector<std::string> FailedWrites(const std::string& trace) {
        const std::string prefix =
            std::string("Cannot write the setting ") + kSettingsSection + "/";
        std::vector<std::string> keys;
        for (const std::string& line : SplitLines(trace)) {
            if (line.rfind(prefix, 0) == 0) {
                keys.push_back(
                    line.substr(prefix.size(), line.find(' ', prefix.size()) - prefix.size()));
            }
        }
        return keys;
    }
    // A profile that cannot be written: its folder would have to be below a file.
    std::string UnwritableProfilePath() const {
        WriteFileText(m_Dir.File("blocker"), "");
        return m_Dir.File("blocker") + "/fenrik.conf";
    }

    TempDir m_Dir;
    // The application's profile as the dialog is handed it.
    ProfileStore m_AppProfile{ProfilePath()};
    FakeZoneSource m_Source = FourZones();

    // The fake zones, and a folder chooser that records its titles and gives m_ChooserAnswer.
    ConfigServices Services() {
        ConfigServices services;
        services.zones = &m_Source;
        services.chooseFolder = [this](QWidget*, const std::string& title) {
            m_ChooserTitles.push_back(title);
            return m_ChooserAnswer;
        };
        return services;
    }
    std::optional<std::string> m_ChooserAnswer;
    std::vector<std::string> m_ChooserTitles;
};

TEST_F(ConfigDlgTest, ConstructionReadsTheSettingsAndLoadsTheCatalogue) {
    Store(kHotFolder1, "/photos/one");
    Store(kHotFolder4, "/photos/four");
    Store(kToleranceHours, "1");
    Store(kToleranceMinutes, "30");
    Store(kUseLogfile, 1);
    Store(kLogfileDir, "/var/log/fenrik");
    Store(kBiasInMinutes, -60);
    Store(kDevice, "/gps/track.gpx");

    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    EXPECT_EQ(dialog.m_HotFolder1, "/photos/one");
    EXPECT_EQ(dialog.m_HotFolder2, "");
    EXPECT_EQ(dialog.m_HotFolder4, "/photos/four");
    EXPECT_EQ(dialog.m_ToleranceHours, "1");
    EXPECT_EQ(dialog.m_ToleranceMinutes, "30");
    EXPECT_EQ(dialog.m_UseLogfile, 1);
    EXPECT_EQ(dialog.m_LogfileDir, "/var/log/fenrik");
    EXPECT_EQ(dialog.m_BiasInMinutes, 0);  // the main window loads it afterwards
    EXPECT_EQ(dialog.m_Device, "");
    ASSERT_EQ(dialog.m_TimeZones.size(), 4u);
    EXPECT_EQ(dialog.m_TimeZones[3].Bias, -345);
    EXPECT_EQ(dialog.m_TimeZoneCombo, nullptr);  // no controls until shown
    EXPECT_STREQ(dialog.metaObject()->className(), "CDirectoryConfigDlg");
    EXPECT_TRUE(dialog.inherits("QDialog"));
}

TEST_F(ConfigDlgTest, EmptyProfileShowsEmptyFieldsAndSelectsNoZoneItDoesNotKnow) {
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile,
                               Services());  // the system's zone is not recognised
    DebugCapture capture;
    const int result = RunModal(dialog, [&] {
        for (int id : {1017, 1018, 1031, 1032, 1033, 1034, 1035}) {
            EXPECT_EQ(Control<QLineEdit>(dialog, id)->text(), QString()) << id;
        }
        EXPECT_FALSE(Control<QCheckBox>(dialog, kIdUseLogfileCheck)->isChecked());
        ASSERT_NE(dialog.m_TimeZoneCombo, nullptr);
        EXPECT_EQ(ItemIndexes(*dialog.m_TimeZoneCombo), (std::vector<int>{2, 0, 3, 1}));
        EXPECT_EQ(dialog.m_TimeZoneCombo->currentIndex(), -1);
        EXPECT_EQ(dialog.focusWidget(), FindControl(dialog, kIdHotFolderEdit1));
        EXPECT_EQ(dialog.m_HotFolderEdit1, FindControl(dialog, kIdHotFolderEdit1));
        EXPECT_EQ(dialog.m_LogfileDirEdit, FindControl(dialog, kIdLogfileDirEdit));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(capture.Text().find("Berlin"), std::string::npos);  // the list is not traced
    // The selection made by the program wrote nothing; Cancel writes nothing either.
    EXPECT_EQ(StoredInt(kBiasInMinutes), kAbsentInt);
    EXPECT_EQ(StoredInt(kTZIndex), kAbsentInt);
    EXPECT_EQ(StoredString(kToleranceHours), kAbsent);
    EXPECT_EQ(dialog.m_BiasInMinutes, 0);
    EXPECT_EQ(dialog.m_TimeZoneCombo, nullptr);  // detached once the dialog has closed
    EXPECT_EQ(dialog.m_HotFolderEdit1, nullptr);
}

TEST_F(ConfigDlgTest, AFirstShowingPreselectsTheSystemZoneByNameAndTakesIt) {
    m_Source.current.standardName = "Coordinated Universal Time";  // a UTC system
    Store(kBiasInMinutes, 15);
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.m_TimeZoneCombo->currentText(),
                  QStringLiteral("(UTC) Coordinated Universal Time"));
    });
    EXPECT_EQ(StoredInt(kTZIndex), 2);
    EXPECT_EQ(StoredInt(kBiasInMinutes), 0);  // what the list shows is what a run uses
    EXPECT_EQ(StoredString(kTimeZoneId), "Coordinated Universal Time");
}

// The keyboard path follows the reading order, and every stop has a name of its own.
TEST_F(ConfigDlgTest, TabFollowsTheReadingOrderAndEveryStopHasAUniqueName) {
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    RunModal(dialog, [&] {
        std::vector<std::string> names;
        QWidget* first = QApplication::focusWidget();
        QWidget* at = first;
        do {
            names.push_back(at->accessibleName().isEmpty()
                                ? at->property("text").toString().toStdString()
                                : at->accessibleName().toStdString());
            QTest::keyClick(at, Qt::Key_Tab);
            at = QApplication::focusWidget();
            if (at != nullptr && at->parentWidget() != &dialog) {
                at = at->parentWidget();  // the combo box's own text field
            }
        } while (at != nullptr && at != first && names.size() < 40);
        const std::vector<std::string> expected = {
            "Hot folder 1", "Choose hot folder 1", "Hot folder 2", "Choose hot folder 2",
            "Hot folder 3", "Choose hot folder 3", "Hot folder 4", "Choose hot folder 4", "Hours",
            "Minutes", "Camera time zone", "Write a log file", "Log folder", "Choose log folder",
            "Camera clock correction in seconds, positive when fast",
            // "Set from a photo..." is disabled here: it has no capture-time reader
            "Use the time zone the photo records", "Follow daylight saving",
            "Replace positions the photos already carry",
            "Write the positions of RAW photos into XMP sidecar files",
            // the gap limit is disabled while photos are not placed between points
            "Place photos between track points", "OK", "Cancel"};
        EXPECT_EQ(names, expected);
    });
}

TEST_F(ConfigDlgTest, ReturnPressesOkUnlessTheFocusIsOnAnotherButton) {
    for (int id : {kIdHotFolderEdit2, kIdToleranceMinutesEdit, kIdUseLogfileCheck,
                   kIdFollowDaylightSavingCheck}) {
        CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
        const int result = RunModal(dialog, [&] {
            FindControl(dialog, id)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(FindControl(dialog, id), Qt::Key_Return);
        });
        EXPECT_EQ(result, IDOK) << id;
    }
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    m_ChooserAnswer = "/chosen";
    const int result = RunModal(dialog, [&] {
        QWidget* browse = FindControl(dialog, kIdBrowseHotFolder3);
        browse->setFocus(Qt::TabFocusReason);
        QTest::keyClick(browse, Qt::Key_Return);
        EXPECT_EQ(dialog.m_HotFolderEdit3->text(), "/chosen");
        EXPECT_TRUE(dialog.isVisible());
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ConfigDlgTest, RecognisedSystemZoneIsSelectedAndStoredWithoutTouchingTheBias) {
    Store(kTZIndex, kTZIndexSystemZone);
    Store(kBiasInMinutes, 15);
    m_Source.current.standardName = "Nepal Standard Time";
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.m_TimeZoneCombo->currentText(), QStringLiteral("(utc+05:45) kathmandu"));
        EXPECT_EQ(dialog.m_TimeZoneCombo->currentData().toInt(), 3);
    });
    EXPECT_EQ(StoredInt(kTZIndex), 3);
    EXPECT_EQ(StoredInt(kBiasInMinutes), 15);
}

TEST_F(ConfigDlgTest, UnrecognisedSystemZoneSelectsNothingAndIsSearchedAgainNextTime) {
    Store(kTZIndex, kTZIndexSystemZone);
    m_Source.current.standardName = "nepal standard time";  // differs in case only
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.m_TimeZoneCombo->count(), 4);
        EXPECT_EQ(dialog.m_TimeZoneCombo->currentIndex(), -1);
        EXPECT_EQ(dialog.m_TimeZoneCombo->currentText(), QString());
    });
    EXPECT_EQ(StoredInt(kTZIndex), kTZIndexSystemZone);

    m_Source.current.standardName = "Pacific Standard Time";
    RunModal(dialog, [&] {
        EXPECT_EQ(dialog.m_TimeZoneCombo->count(), 4);  // filled afresh, not appended
        EXPECT_EQ(dialog.m_TimeZoneCombo->currentData().toInt(), 1);
    });
    EXPECT_EQ(StoredInt(kTZIndex), 1);
}

TEST_F(ConfigDlgTest, StoredIndexThatNoEntryCarriesSelectsNothing) {
    Store(kTZIndex, 4);
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    RunModal(dialog, [&] { EXPECT_EQ(dialog.m_TimeZoneCombo->currentIndex(), -1); });
    EXPECT_EQ(StoredInt(kTZIndex), 4);
}

TEST_F(ConfigDlgTest, PickedZoneTakesEffectAtOnceAndSurvivesCancel) {
    Store(kHotFolder1, "/photos");
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    const int result = RunModal(dialog, [&] {
        PickInList(*dialog.m_TimeZoneCombo, 3);  // Pacific, catalogue Index 1
        EXPECT_EQ(dialog.m_BiasInMinutes, 480);
        EXPECT_EQ(StoredInt(kBiasInMinutes), 480);
        EXPECT_EQ(StoredInt(kTZIndex), 1);
        Retype(dialog, kIdHotFolderEdit1, "/elsewhere");
        Click(dialog, kIdCancel);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_BiasInMinutes, 480);
    EXPECT_EQ(StoredInt(kBiasInMinutes), 480);
    EXPECT_EQ(StoredInt(kTZIndex), 1);
    EXPECT_EQ(dialog.m_HotFolder1, "/photos");

    RunModal(dialog, [&] { EXPECT_EQ(dialog.m_TimeZoneCombo->currentData().toInt(), 1); });
}

TEST_F(ConfigDlgTest, TheEditableFieldNeverChangesTheZone) {
    Store(kBiasInMinutes, 15);
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    dialog.m_BiasInMinutes = 15;
    const int result = RunModal(dialog, [&] {
        QComboBox* combo = dialog.m_TimeZoneCombo;
        QLineEdit* field = combo->lineEdit();
        combo->setFocus();
        field->selectAll();
        QTest::keyClicks(field, "(UTC-08:00) Pacific Time");
        QTest::keyClick(field, Qt::Key_Tab);  // leaving the field
        EXPECT_NE(QApplication::focusWidget(), combo);
        EXPECT_EQ(dialog.m_BiasInMinutes, 15);
        EXPECT_EQ(combo->currentData().toInt(), 0);

        combo->setFocus();
        field->selectAll();
        QTest::keyClicks(field, "(utc+05:45) kathmandu");
        QTest::keyClick(field, Qt::Key_Return);  // presses the default button, OK
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_BiasInMinutes, 15);
    EXPECT_EQ(StoredInt(kBiasInMinutes), 15);
    EXPECT_EQ(StoredInt(kTZIndex), kAbsentInt);
}

TEST_F(ConfigDlgTest, SelectionChangeWithoutASelectionRewritesTheOldBiasOnly) {
    Store(kTZIndex, 9);
    for (bool emptyCatalogue : {false, true}) {
        SCOPED_TRACE(emptyCatalogue ? "empty catalogue" : "unknown index");
        const FakeZoneSource none;
        ConfigServices services = Services();
        services.zones = emptyCatalogue ? &none : &m_Source;
        CDirectoryConfigDlg dialog(nullptr, m_AppProfile, services);
        dialog.m_BiasInMinutes = 30;
        dialog.CreateControls();
        EXPECT_TRUE(dialog.OnInitDialog());
        EXPECT_EQ(dialog.m_TimeZoneCombo->currentIndex(), -1);
        dialog.OnSelchangeTimeZone();
        EXPECT_EQ(dialog.m_BiasInMinutes, 30);
        EXPECT_EQ(StoredInt(kBiasInMinutes), 30);
        EXPECT_EQ(StoredInt(kTZIndex), 9);
    }
}

// A profile that cannot be written: the picked zone still holds for this session, and each
// setting that could not be stored is traced.
TEST_F(ConfigDlgTest, APickedZoneHoldsForTheSessionWhenTheProfileCannotBeWritten) {
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    dialog.CreateControls();
    dialog.OnInitDialog();
    dialog.m_TimeZoneCombo->setCurrentIndex(2);  // Kathmandu, catalogue Index 3
    m_AppProfile.SetPath(UnwritableProfilePath());
    DebugCapture capture;
    dialog.OnSelchangeTimeZone();
    EXPECT_EQ(dialog.m_BiasInMinutes, -345);
    std::vector<std::string> failed = FailedWrites(capture.Text());
    std::sort(failed.begin(), failed.end());
    EXPECT_EQ(failed, (std::vector<std::string>{"BiasInMinutes", "TZIndex", "TimeZoneId"}));
}

TEST_F(ConfigDlgTest, OkTakesTypedAndEmptiedTextsAndWritesFourSettings) {
    Store(kHotFolder1, "/old/one");
    Store(kHotFolder2, "/old/two");
    Store(kToleranceHours, "1");
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    const int result = RunModal(dialog, [&] {
        Retype(dialog, kIdHotFolderEdit1, "/typed/path");
        Retype(dialog, kIdHotFolderEdit2, "");
        Retype(dialog, kIdToleranceHoursEdit, "2x5");
        Click(dialog, kIdUseLogfileCheck);
        Retype(dialog, kIdLogfileDirEdit, "/logs");
        EXPECT_EQ(dialog.m_HotFolder1, "/old/one");  // members follow only at OK
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_HotFolder1, "/typed/path");
    EXPECT_EQ(dialog.m_HotFolder2, "");
    EXPECT_EQ(dialog.m_ToleranceHours, "25");
    EXPECT_EQ(dialog.m_ToleranceMinutes, "");
    EXPECT_EQ(dialog.m_UseLogfile, 1);
    EXPECT_EQ(dialog.m_LogfileDir, "/logs");
    EXPECT_EQ(StoredString(kToleranceHours), "25");
    EXPECT_EQ(StoredString(kToleranceMinutes), "");
    EXPECT_EQ(StoredString(kLogfileDir), "/logs");
    EXPECT_EQ(StoredInt(kUseLogfile), 1);
    // The hot folders are the main window's to store.
    EXPECT_EQ(StoredString(kHotFolder1), "/old/one");
    EXPECT_EQ(StoredString(kHotFolder2), "/old/two");
}

// What OK took is what the next start of the program shows: a dialog made afresh from the
// profile holds the same values.
TEST_F(ConfigDlgTest, WhatOkTookIsWhatTheNextStartShows) {
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           Retype(dialog, kIdToleranceHoursEdit, "3");
                           Retype(dialog, kIdToleranceMinutesEdit, "15");
                           Click(dialog, kIdUseLogfileCheck);
                           Retype(dialog, kIdLogfileDirEdit, "/logs");
                           PickInList(*dialog.m_TimeZoneCombo, 2);  // Kathmandu
                           Click(dialog, kIdUsePhotoTimeZoneCheck);
                           Click(dialog, kIdRawSidecarsCheck);
                           Click(dialog, kIdOk);
                       }),
              IDOK);
    ProfileStore reopened(ProfilePath());
    CDirectoryConfigDlg next(nullptr, reopened, Services());
    EXPECT_EQ(next.m_ToleranceHours, "3");
    EXPECT_EQ(next.m_ToleranceMinutes, "15");
    EXPECT_EQ(next.m_UseLogfile, 1);
    EXPECT_EQ(next.m_LogfileDir, "/logs");
    EXPECT_EQ(next.m_UsePhotoTimeZone, 0);
    EXPECT_EQ(next.m_RawSidecars, 0);
    EXPECT_EQ(next.m_FollowDaylightSaving, dialog.m_FollowDaylightSaving);
    EXPECT_EQ(next.m_ClockCorrectionSeconds, dialog.m_ClockCorrectionSeconds);
    // The zone is the main window's to read at its start; it finds the pick stored.
    EXPECT_EQ(StoredInt(kBiasInMinutes), -345);
    RunModal(next, [&] { EXPECT_EQ(next.m_TimeZoneCombo->currentData().toInt(), 3); });
}

TEST_F(ConfigDlgTest, CancelEscapeAndTheCloseBoxLeaveTheMembersAsTheyWere) {
    Store(kHotFolder3, "/three");
    Store(kToleranceMinutes, "5");
    Store(kUseLogfile, 1);
    const std::vector<std::pair<const char*, std::function<void(CDirectoryConfigDlg&)>>> ways = {
        {"Cancel", [](CDirectoryConfigDlg& d) { Click(d, kIdCancel); }},
        {"Escape",
         [](CDirectoryConfigDlg& d) { QTest::keyClick(d.m_HotFolderEdit3, Qt::Key_Escape); }},
        {"close box", [](CDirectoryConfigDlg& d) { d.close(); }},
    };
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    for (const auto& way : ways) {
        SCOPED_TRACE(way.first);
        const auto& closeIt = way.second;
        const int result = RunModal(dialog, [&] {
            EXPECT_EQ(dialog.m_HotFolderEdit3->text(), QStringLiteral("/three"));  // refilled
            EXPECT_EQ(Control<QLineEdit>(dialog, kIdToleranceMinutesEdit)->text(),
                      QStringLiteral("5"));
            Retype(dialog, kIdHotFolderEdit3, "/changed");
            Retype(dialog, kIdToleranceMinutesEdit, "7");
            Click(dialog, kIdUseLogfileCheck);
            closeIt(dialog);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(dialog.m_HotFolder3, "/three");
        EXPECT_EQ(dialog.m_ToleranceMinutes, "5");
        EXPECT_EQ(dialog.m_UseLogfile, 1);
    }
    EXPECT_EQ(StoredString(kToleranceMinutes), "5");
    EXPECT_EQ(StoredInt(kTZIndex), kAbsentInt);
}

TEST_F(ConfigDlgTest, EachBrowseButtonFillsOnlyItsEditAndCancelKeepsTheText) {
    struct Browse {
        int button;
        int edit;
        const char* title;
    };
    const Browse kBrowses[] = {
        {1005, 1031, "Select a directory"},
        {1007, 1032, "Select a directory"},
        {1008, 1033, "Select a directory"},
        {1009, 1034, "Select a directory"},
        {1010, 1035, "Select a directory for the logfiles"},
    };
    const int kEdits[] = {1031, 1032, 1033, 1034, 1035};
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    const int result = RunModal(dialog, [&] {
        for (const Browse& browse : kBrowses) {
            SCOPED_TRACE(browse.button);
            std::vector<QString> before;
            for (int edit : kEdits) {
                before.push_back(Control<QLineEdit>(dialog, edit)->text());
            }
            const std::string chosen = "/chosen/" + std::to_string(browse.button);
            m_ChooserAnswer = chosen;
            m_ChooserTitles.clear();
            Click(dialog, browse.button);
            EXPECT_EQ(m_ChooserTitles, std::vector<std::string>{browse.title});
            for (size_t i = 0; i < std::size(kEdits); ++i) {
                const QString text = Control<QLineEdit>(dialog, kEdits[i])->text();
                EXPECT_EQ(text,
                          kEdits[i] == browse.edit ? QString::fromStdString(chosen) : before[i])
                    << kEdits[i];
            }
            m_ChooserAnswer.reset();
            Click(dialog, browse.button);
            EXPECT_EQ(Control<QLineEdit>(dialog, browse.edit)->text(),
                      QString::fromStdString(chosen));
        }
        EXPECT_EQ(dialog.m_HotFolder1, "");  // the members follow at OK
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_HotFolder1, "/chosen/1005");
    EXPECT_EQ(dialog.m_HotFolder4, "/chosen/1009");
    EXPECT_EQ(dialog.m_LogfileDir, "/chosen/1010");
}

TEST_F(ConfigDlgTest, AnyNonZeroLogSettingShowsCheckedAndIsStoredAsOne) {
    Store(kUseLogfile, 5);
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           EXPECT_TRUE(Control<QCheckBox>(dialog, kIdUseLogfileCheck)->isChecked());
                           Click(dialog, kIdOk);
                       }),
              IDOK);
    EXPECT_EQ(dialog.m_UseLogfile, 1);
    EXPECT_EQ(StoredInt(kUseLogfile), 1);
}

}  // namespace

TEST_F(ConfigDlgTest, CameraClockGroupShowsTheCorrectionInWordsAndIsStoredOnOk) {
    m_AppProfile.WriteProfileInt(kSettingsSection, kClockCorrectionSeconds, -5);
    ConfigServices services = Services();
    services.chooseClockPhoto = [](QWidget*) { return std::optional<std::string>("/clock.jpg"); };
    services.readCaptureTime = [](const std::string& path) {
        return path == "/clock.jpg" ? std::optional<std::string>("2024:07:14 12:08:10")
                                    : std::nullopt;
    };
    std::string offered;
    services.askTrueTime = [&](QWidget*, const std::string& capture) {
        offered = capture;
        return std::optional<std::string>("12:04:50");
    };
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, services);
    EXPECT_EQ(dialog.m_UsePhotoTimeZone, 1);  // the defaults of a profile without them
    EXPECT_EQ(dialog.m_ReplaceRecordedPositions, 1);
    EXPECT_EQ(dialog.m_RawSidecars, 1);
    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           auto* words =
                               qobject_cast<QLabel*>(FindControl(dialog, kIdClockCorrectionWords));
                           ASSERT_NE(words, nullptr);
                           EXPECT_EQ(words->text(), "camera 5 s slow");
                           Click(dialog, kIdSetClockFromPhoto);
                           EXPECT_EQ(offered, "2024:07:14 12:08:10");
                           EXPECT_EQ(dialog.m_ClockCorrectionEdit->text(), "200");
                           EXPECT_EQ(words->text(), "camera 3 min 20 s fast");
                           for (int id : {kIdUsePhotoTimeZoneCheck, kIdFollowDaylightSavingCheck,
                                          kIdReplaceRecordedPositionsCheck, kIdRawSidecarsCheck}) {
                               auto* check = qobject_cast<QCheckBox*>(FindControl(dialog, id));
                               ASSERT_NE(check, nullptr);
                               EXPECT_FALSE(check->accessibleName().isEmpty());
                               check->toggle();
                           }
                           Click(dialog, kIdOk);
                       }),
              IDOK);
    EXPECT_EQ(StoredInt(kClockCorrectionSeconds), 200);
    EXPECT_EQ(StoredInt(kUsePhotoTimeZone), 0);
    EXPECT_EQ(StoredInt(kFollowDaylightSaving), 1);
    EXPECT_EQ(StoredInt(kReplaceRecordedPositions), 0);
    EXPECT_EQ(StoredInt(kRawSidecars), 0);
}

TEST(CorrectionFromPhoto, CameraLessTrueTimeInSeconds) {
    EXPECT_EQ(CorrectionFromPhoto("2024:07:14 12:08:10", "2024:07:14 12:04:50"), 200);
    EXPECT_EQ(CorrectionFromPhoto("2024:07:14 23:59:50", "2024:07:15 00:00:05"), -15);
    EXPECT_EQ(CorrectionFromPhoto("2024:07:14 12:08:10", "12:09:10"), -60);
    EXPECT_FALSE(CorrectionFromPhoto("2024:07:14 12:08:10", "noon"));
    EXPECT_FALSE(CorrectionFromPhoto("", "12:00:00"));
    EXPECT_EQ(ParseCorrectionText("-200"), -200);
    EXPECT_EQ(ParseCorrectionText("+5"), 5);
    EXPECT_FALSE(ParseCorrectionText("3m"));
    EXPECT_FALSE(ParseCorrectionText("-"));
    EXPECT_FALSE(ParseCorrectionText("99999999999"));
}

// The placement between track points: a switch and the gap limit in minutes, stored in seconds;
// the limit takes input only while the switch is on.
TEST_F(ConfigDlgTest, PlacementBetweenPointsIsSwitchedAndLimitedInMinutes) {
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    EXPECT_EQ(dialog.m_InterpolatePositions, 0);
    EXPECT_EQ(dialog.m_MaxInterpolationGapSeconds, 1800);
    EXPECT_EQ(
        RunModal(dialog,
                 [&] {
                     EXPECT_EQ(Control<QLineEdit>(dialog, kIdMaxGapEdit)->text(), "30");
                     EXPECT_FALSE(FindControl(dialog, kIdMaxGapEdit)->isEnabled());
                     Click(dialog, kIdInterpolateCheck);
                     EXPECT_TRUE(FindControl(dialog, kIdMaxGapEdit)->isEnabled());
                     EXPECT_FALSE(FindControl(dialog, kIdMaxGapEdit)->accessibleName().isEmpty());
                     // Switched on, the limit is the next Tab stop after the switch.
                     FindControl(dialog, kIdInterpolateCheck)->setFocus();
                     QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                     EXPECT_EQ(QApplication::focusWidget(), FindControl(dialog, kIdMaxGapEdit));
                     Retype(dialog, kIdMaxGapEdit, "15");
                     Click(dialog, kIdOk);
                 }),
        IDOK);
    EXPECT_EQ(StoredInt(kInterpolatePositions), 1);
    EXPECT_EQ(StoredInt(kMaxInterpolationGapSeconds), 900);
    // A limit of no minutes keeps the one before.
    RunModal(dialog, [&] {
        Retype(dialog, kIdMaxGapEdit, "0");
        Click(dialog, kIdOk);
    });
    EXPECT_EQ(StoredInt(kMaxInterpolationGapSeconds), 900);
}

// A log folder that cannot hold the log says so under it, the moment it is chosen, while the
// log is on.
TEST_F(ConfigDlgTest, ALogFolderThatCannotHoldTheLogSaysSoWhenChosen) {
    const std::string missing = m_Dir.File("missing");
    m_ChooserAnswer = missing;
    CDirectoryConfigDlg dialog(nullptr, m_AppProfile, Services());
    RunModal(dialog, [&] {
        auto* problem = Control<QLabel>(dialog, kIdLogfileProblem);
        ASSERT_NE(problem, nullptr);
        Click(dialog, kIdBrowseLogfileDir);
        EXPECT_EQ(problem->text(), "");  // the log is off
        Click(dialog, kIdUseLogfileCheck);
        EXPECT_EQ(problem->text().toStdString(),
                  "The log cannot be written in " + missing + ": No such file or directory");
        EXPECT_EQ(dialog.m_LogfileDirEdit->accessibleDescription(), problem->text());
        Retype(dialog, kIdLogfileDirEdit, m_Dir.Path().c_str());
        EXPECT_EQ(problem->text(), "");
        Click(dialog, kIdCancel);
    });
}
