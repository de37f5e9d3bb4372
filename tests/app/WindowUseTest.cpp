// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: hovering, dropping files, the keyboard path and what a
// screen reader reads.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>

#include "AppFixture.h"
#include "app/AccessibleTexts.h"
#include "app/FileDrop.h"
#include "app/ProductLinks.h"
#include "config/DialogTemplate.h"  // beside the window layout: no two types share a name
#include "resources/MainWindowLayout.h"
#include "resources/SkinResources.h"

namespace {

class WindowUse : public AppTest {
protected:
    // The eleven buttons and checks, in the order of the control table.
    std::vector<CActiveButton*> Buttons() const {
        return {Of(*window).m_CloseButton,        Of(*window).m_MinimizeButton,
                Of(*window).m_StartButton,        Of(*window).m_HelpButton,
                Of(*window).m_DeviceConfigButton, Of(*window).m_DirConfigButton,
                Of(*window).m_HomePageButton,     Of(*window).m_HotFolderCheck1,
                Of(*window).m_HotFolderCheck2,    Of(*window).m_HotFolderCheck3,
                Of(*window).m_HotFolderCheck4};
    }

    CActiveButton* FocusedButton() const {
        for (CActiveButton* button : Buttons()) {
            if (button->hasFocus()) {
                return button;
            }
        }
        return nullptr;
    }

    // Moves the mouse to `pos` in `widget` the way the window system does.
    static void MoveMouse(QWidget* widget, QPoint pos) {
        QTest::mouseMove(widget, pos);
        QTest::mouseMove(widget, pos + QPoint(1, 0));
    }

    static void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key, modifiers);
    }

    // Every hot folder set to a folder, so that every check is a stop on the Tab path.
    void SetAllHotFolders() {
        for (int n = 1; n <= 4; ++n) {
            Profile().WriteProfileString(kSettingsSection, kHotFolderKeys[n - 1],
                                         "/photos/" + std::to_string(n));
        }
    }

    static QString AccessibleText(QWidget* widget, QAccessible::Text kind) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible != nullptr ? accessible->text(kind) : QString("<none>");
    }
};

// --- Hover -----------------------------------------------------------------------------------

TEST_F(WindowUse, MovingOntoAnyTextLineOrTheBusyIndicatorTakesTheFocusFromTheButton) {
    CFenrikWnd& w = CreateActive();
    Of(w).m_Spinner->show();  // as during a run
    const QImage idleStart = Rgb32(LoadSkinBitmap(140));
    const QImage litStart = Rgb32(LoadSkinBitmap(136));
    const std::pair<const char*, QWidget*> places[] = {
        {"hot-folder field 1", Of(w).m_HotFolderField1},
        {"hot-folder field 4", Of(w).m_HotFolderField4},
        {"GPX field", Of(w).m_DeviceField},
        {"status field", Of(w).m_StatusField},
        {"busy indicator", Of(w).m_Spinner},
    };
    for (const auto& [name, place] : places) {
        SCOPED_TRACE(name);
        MoveMouse(Of(w).m_StartButton, QPoint(10, 10));
        ASSERT_TRUE(Of(w).m_StartButton->hasFocus());
        EXPECT_EQ(Grab(*Of(w).m_StartButton), litStart);
        MoveMouse(place, QPoint(5, 5));
        EXPECT_FALSE(Of(w).m_StartButton->hasFocus());
        EXPECT_EQ(FocusedButton(), nullptr);
        EXPECT_TRUE(w.hasFocus());
        EXPECT_EQ(Grab(*Of(w).m_StartButton), idleStart);
    }
}

TEST_F(WindowUse, PressingATextLineStillDragsTheWindow) {
    CFenrikWnd& w = CreateActive();
    const QPoint start = w.pos();
    CTextfield* field = Of(w).m_StatusField;  // at (29, 173) in the window
    QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
    QMouseEvent drag(QEvent::MouseMove, QPointF(10, 5), QPointF(start + QPoint(29 + 40, 173 + 25)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &drag);
    QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, QPoint(40, 25));
    EXPECT_EQ(w.pos(), start + QPoint(30, 20));
}

// --- Drops -----------------------------------------------------------------------------------

TEST(FileDrop, OnlyOneLocalPathCounts) {
    EXPECT_EQ(SingleLocalPath({QUrl::fromLocalFile("/tracks/a.gpx")}), "/tracks/a.gpx");
    EXPECT_EQ(SingleLocalPath({QUrl::fromLocalFile("/tracks")}), "/tracks");
    EXPECT_EQ(SingleLocalPath({}), std::nullopt);
    EXPECT_EQ(SingleLocalPath({QUrl::fromLocalFile("/a.gpx"), QUrl::fromLocalFile("/b.gpx")}),
              std::nullopt);
    EXPECT_EQ(SingleLocalPath({QUrl("https://example.org/track.gpx")}), std::nullopt);
    EXPECT_EQ(SingleLocalPath({QUrl("file:")}), std::nullopt);
}

TEST(FileDrop, NeverMoves) {
    EXPECT_EQ(SafeDropAction(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction), Qt::CopyAction);
    EXPECT_EQ(SafeDropAction(Qt::MoveAction | Qt::LinkAction), Qt::LinkAction);
    EXPECT_EQ(SafeDropAction(Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(SafeDropAction(Qt::IgnoreAction), Qt::IgnoreAction);
}

class WindowDrop : public WindowUse {
protected:
    struct Outcome {
        bool enterAccepted;
        Qt::DropAction enterAction;
        bool moveAccepted;
        Qt::DropAction moveAction;
        bool dropAccepted;
        Qt::DropAction dropAction;
    };

    // Drags `data` over the window and drops it, with Shift held after entering (which asks for
    // a move).
    // As with the window system, the move and the drop reach the window only when it accepted
    // the drag as it entered.
    Outcome DragAndDrop(const QMimeData& data, Qt::DropActions possible) {
        const QPoint at(150, 70);
        QDragEnterEvent enter(at, possible, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDragMoveEvent move(at, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(window.get(), &move);
        QDropEvent drop(at, possible, &data, Qt::NoButton, Qt::ShiftModifier);
        QApplication::sendEvent(window.get(), &drop);
        return {enter.isAccepted(), enter.dropAction(), move.isAccepted(),
                move.dropAction(),  drop.isAccepted(),  drop.dropAction()};
    }

    static std::unique_ptr<QMimeData> Urls(const QList<QUrl>& urls) {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(urls);
        return data;
    }

    std::string Device() { return Profile().GetProfileString(kSettingsSection, kDevice, "none"); }
};

TEST_F(WindowDrop, OneLocalFileIsTakenAsACopyEvenWithShiftHeld) {
    CFenrikWnd& w = Create();
    const std::unique_ptr<QMimeData> data(Urls({QUrl::fromLocalFile("/tracks/day.gpx")}));
    const Outcome o = DragAndDrop(*data, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    EXPECT_TRUE(o.enterAccepted);
    EXPECT_EQ(o.enterAction, Qt::CopyAction);
    EXPECT_TRUE(o.moveAccepted);
    EXPECT_EQ(o.moveAction, Qt::CopyAction);
    EXPECT_TRUE(o.dropAccepted);
    EXPECT_EQ(o.dropAction, Qt::CopyAction);
    EXPECT_EQ(Of(w).m_ConfigDlg->m_Device, "/tracks/day.gpx");
    EXPECT_EQ(Device(), "/tracks/day.gpx");
}

TEST_F(WindowDrop, ASourceThatOnlyLinksIsTakenAsALink) {
    CFenrikWnd& w = Create();
    std::unique_ptr<QMimeData> data(
        Urls({QUrl::fromLocalFile(QString::fromStdString(dir.Path()))}));
    const Outcome o = DragAndDrop(*data, Qt::MoveAction | Qt::LinkAction);
    EXPECT_TRUE(o.dropAccepted);
    EXPECT_EQ(o.dropAction, Qt::LinkAction);
    EXPECT_EQ(Of(w).m_ConfigDlg->m_Device, dir.Path());
}

TEST_F(WindowDrop, ADragThatCanOnlyMoveOnceOverTheWindowIsRefusedThere) {
    Create();
    const std::unique_ptr<QMimeData> data(Urls({QUrl::fromLocalFile("/tracks/day.gpx")}));
    const QPoint at(150, 70);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(window.get(), &move);
    EXPECT_FALSE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::IgnoreAction);
    QDragLeaveEvent leave;  // the drag ends elsewhere
    QApplication::sendEvent(window.get(), &leave);
}

TEST_F(WindowDrop, EveryOtherDragIsRefusedWhileItIsOverTheWindow) {
    CFenrikWnd& w = Create();
    const Qt::DropActions any = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    struct Drag {
        const char* name;
        std::unique_ptr<QMimeData> data;
        Qt::DropActions possible;
    };
    std::vector<Drag> drags;
    drags.push_back({"one file, but only to move", Urls({QUrl::fromLocalFile("/tracks/day.gpx")}),
                     Qt::MoveAction});
    drags.push_back(
        {"two files", Urls({QUrl::fromLocalFile("/a.gpx"), QUrl::fromLocalFile("/b.gpx")}), any});
    drags.push_back({"web address", Urls({QUrl("https://example.org/track.gpx")}), any});
    drags.push_back({"text", std::make_unique<QMimeData>(), any});
    drags.back().data->setText("/tracks/day.gpx");
    for (const Drag& drag : drags) {
        SCOPED_TRACE(drag.name);
        const Outcome o = DragAndDrop(*drag.data, drag.possible);
        EXPECT_FALSE(o.enterAccepted);
        EXPECT_FALSE(o.moveAccepted);
        EXPECT_FALSE(o.dropAccepted);
    }
    EXPECT_EQ(Of(w).m_ConfigDlg->m_Device, "");
    EXPECT_EQ(Device(), "none");
}

// --- Keyboard --------------------------------------------------------------------------------

TEST_F(WindowUse, NoButtonIsLitWhenTheWindowFirstAppears) {
    CFenrikWnd& w = CreateActive();
    EXPECT_EQ(FocusedButton(), nullptr);
    EXPECT_TRUE(w.hasFocus());
}

TEST_F(WindowUse, TabGoesThroughTheButtonsInLayoutOrderAndShiftTabBack) {
    SetAllHotFolders();
    CreateActive();
    std::vector<CActiveButton*> layoutOrder = Buttons();
    std::stable_sort(layoutOrder.begin(), layoutOrder.end(),
                     [](const CActiveButton* a, const CActiveButton* b) {
                         const QRect ra = a->geometry(), rb = b->geometry();
                         return ra.top() != rb.top() ? ra.top() < rb.top() : ra.left() < rb.left();
                     });
    std::vector<CActiveButton*> visited;
    for (size_t i = 0; i < layoutOrder.size(); ++i) {
        PressKey(Qt::Key_Tab);
        visited.push_back(FocusedButton());
    }
    EXPECT_EQ(visited, layoutOrder);
    EXPECT_EQ(visited.front(), Of(*window).m_MinimizeButton);
    EXPECT_EQ(visited.back(), Of(*window).m_HomePageButton);
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(FocusedButton(), layoutOrder.front()) << "Tab wraps around";

    std::vector<CActiveButton*> back;
    for (size_t i = 0; i < layoutOrder.size(); ++i) {
        back.push_back(FocusedButton());
        PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    }
    EXPECT_EQ(FocusedButton(), layoutOrder.front());
    std::reverse(back.begin() + 1, back.end());
    EXPECT_EQ(back, layoutOrder);
}

TEST_F(WindowUse, TabSkipsTheButtonsThatARunDisables) {
    CFenrikWnd& w = CreateActive();
    for (CActiveButton* control :
         {Of(w).m_StartButton, Of(w).m_DeviceConfigButton, Of(w).m_DirConfigButton,
          Of(w).m_HotFolderCheck1, Of(w).m_HotFolderCheck2, Of(w).m_HotFolderCheck3,
          Of(w).m_HotFolderCheck4}) {
        control->setEnabled(false);
    }
    std::vector<CActiveButton*> visited;
    for (int i = 0; i < 4; ++i) {
        PressKey(Qt::Key_Tab);
        visited.push_back(FocusedButton());
    }
    const std::vector<CActiveButton*> expected = {Of(w).m_MinimizeButton, Of(w).m_CloseButton,
                                                  Of(w).m_HelpButton, Of(w).m_HomePageButton};
    EXPECT_EQ(visited, expected);
}

TEST_F(WindowUse, ChecksWithoutAFolderAreNoTabStops) {
    Profile().WriteProfileString(kSettingsSection, kHotFolder2, "/photos");
    CFenrikWnd& w = CreateActive();
    std::vector<CActiveButton*> visited;
    for (int i = 0; i < 6; ++i) {
        PressKey(Qt::Key_Tab);
        visited.push_back(FocusedButton());
    }
    const std::vector<CActiveButton*> expected = {
        Of(w).m_MinimizeButton,  Of(w).m_CloseButton,     Of(w).m_DeviceConfigButton,
        Of(w).m_DirConfigButton, Of(w).m_HotFolderCheck2, Of(w).m_HelpButton};
    EXPECT_EQ(visited, expected);
    // Setting a folder makes its check a stop; clearing it takes the stop away again.
    RunDirConfig(w, [](CDirectoryConfigDlg& d) {
        d.m_HotFolderEdit3->setText("/more");
        d.OnBnClickedOk();
    });
    EXPECT_EQ(Of(w).m_HotFolderCheck3->focusPolicy(), Qt::StrongFocus);
    EXPECT_TRUE(Of(w).m_HotFolderCheck3->isChecked());
}

TEST_F(WindowUse, ACheckShowsItsTickExactlyWhileItsFolderIsOnAndItsFocusByAFrame) {
    SetAllHotFolders();
    Profile().WriteProfileInt(kSettingsSection, kHotFolder1Enabled, 1);
    CFenrikWnd& w = CreateActive();
    CActiveButton* check = Of(w).m_HotFolderCheck1;
    const QImage tick = Rgb32(LoadSkinBitmap(161)), box = Rgb32(LoadSkinBitmap(162));
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(Grab(*check), tick) << "on, without the focus";
    const QImage lineWithoutFocus = Grab(*Field(1));
    check->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Grab(*check), tick) << "on, with the focus";
    EXPECT_NE(Grab(*Field(1)), lineWithoutFocus) << "the focus is framed on the folder line";
    PressKey(Qt::Key_Space);
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(Field(1)->isEnabled());
    EXPECT_EQ(Grab(*check), box) << "off, with the focus";
    EXPECT_TRUE(Field(1)->HasFocusFrame());
    Of(w).m_HotFolderCheck2->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(Field(1)->HasFocusFrame());
    EXPECT_TRUE(Field(2)->HasFocusFrame());
    EXPECT_EQ(Grab(*check), box) << "off, without the focus";
    // The frame is drawn in the line's bright skin colour, also while the folder is off.
    EXPECT_EQ(Grab(*Field(2)).pixelColor(0, 0), QColor(242, 129, 73));
}

TEST_F(WindowUse, TheFocusImageShowsWhereTheFocusIs) {
    SetAllHotFolders();
    CFenrikWnd& w = CreateActive();
    for (int i = 0; i < 10; ++i) {
        PressKey(Qt::Key_Tab);  // minimize, close, GPX, folders, four checks, help, start
    }
    ASSERT_EQ(FocusedButton(), Of(w).m_StartButton);
    EXPECT_EQ(Grab(*Of(w).m_StartButton), Rgb32(LoadSkinBitmap(136)));
    EXPECT_EQ(Grab(*Of(w).m_HelpButton), Rgb32(LoadSkinBitmap(144)));
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Grab(*Of(w).m_HelpButton), Rgb32(LoadSkinBitmap(143)));
    EXPECT_EQ(Grab(*Of(w).m_StartButton), Rgb32(LoadSkinBitmap(140)));
}

TEST_F(WindowUse, SpaceAndEnterPressTheFocusedButton) {
    Profile().WriteProfileString(kSettingsSection, kHotFolder1, "/photos");
    CFenrikWnd& w = CreateActive();
    Of(w).m_HelpButton->setFocus(Qt::TabFocusReason);
    PressKey(Qt::Key_Space);
    Of(w).m_HomePageButton->setFocus(Qt::TabFocusReason);
    PressKey(Qt::Key_Return);
    ASSERT_EQ(urls.opened.size(), 2u);
    EXPECT_EQ(urls.opened[0], kHelpPageUrl);
    EXPECT_EQ(urls.opened[1], kHomePageUrl);

    Of(w).m_HotFolderCheck1->setFocus(Qt::TabFocusReason);
    PressKey(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(Field(1)->isEnabled());
    EXPECT_EQ(Profile().GetProfileInt(kSettingsSection, kHotFolder1Enabled, 7), 1);
    PressKey(Qt::Key_Space);
    EXPECT_FALSE(Field(1)->isEnabled());
}

// --- Screen readers --------------------------------------------------------------------------

TEST(AccessibleTexts, NameTheStateAndThePath) {
    EXPECT_EQ(HotFolderAccessibleName(4), "Hot folder 4");
    EXPECT_EQ(HotFolderAccessibleDescription("/photos/old"), "/photos/old");
    EXPECT_EQ(HotFolderAccessibleDescription(""), "no folder set");
    EXPECT_EQ(GpxFileAccessibleName(""), "GPX file: none chosen");
    EXPECT_EQ(GpxFileAccessibleName("/t/day.gpx"), "GPX file: /t/day.gpx");
    EXPECT_EQ(StatusAccessibleName("Done!"), "Status: Done!");
}

TEST_F(WindowUse, EveryControlHasANameAndADescription) {
    CFenrikWnd& w = Create();
    const std::vector<CActiveButton*> buttons = Buttons();
    std::vector<QWidget*> controls(buttons.begin(), buttons.end());
    for (QWidget* field : std::initializer_list<QWidget*>{
             Of(w).m_HotFolderField1, Of(w).m_HotFolderField2, Of(w).m_HotFolderField3,
             Of(w).m_HotFolderField4, Of(w).m_DeviceField, Of(w).m_StatusField, Of(w).m_Spinner}) {
        controls.push_back(field);
    }
    std::vector<QString> buttonNames;
    for (QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString() + " " +
                     std::to_string(control->geometry().left()) + "," +
                     std::to_string(control->geometry().top()));
        EXPECT_FALSE(AccessibleText(control, QAccessible::Name).isEmpty());
        EXPECT_FALSE(AccessibleText(control, QAccessible::Description).isEmpty());
    }
    for (CActiveButton* button : buttons) {
        buttonNames.push_back(AccessibleText(button, QAccessible::Name));
    }
    std::sort(buttonNames.begin(), buttonNames.end());
    EXPECT_EQ(std::unique(buttonNames.begin(), buttonNames.end()), buttonNames.end())
        << "two buttons share a name";

    EXPECT_EQ(AccessibleText(Of(w).m_StartButton, QAccessible::Name), "Start tagging");
    EXPECT_EQ(AccessibleText(Of(w).m_HomePageButton, QAccessible::Name), "Home page");
    EXPECT_EQ(Of(w).m_HomePageButton->text(), "dir config");  // the window text stays
    EXPECT_EQ(AccessibleText(Of(w).m_DirConfigButton, QAccessible::Name), "Folders and settings");
    EXPECT_EQ(AccessibleText(Of(w).m_StatusField, QAccessible::Name), "Status: Ready");
    EXPECT_EQ(AccessibleText(Of(w).m_DeviceField, QAccessible::Name), "GPX file: none chosen");
    EXPECT_EQ(AccessibleText(Of(w).m_HotFolderCheck3, QAccessible::Name), "Hot folder 3");
    EXPECT_EQ(AccessibleText(Of(w).m_HotFolderCheck3, QAccessible::Description), "no folder set");
    for (CActiveButton* button : buttons) {
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->text().toStdString();
    }
    EXPECT_EQ(Of(w).m_HelpButton->toolTip(), "Help");
}

TEST_F(WindowUse, RolesAndStatesForScreenReaders) {
    Profile().WriteProfileString(kSettingsSection, kHotFolder1, "/path");
    Profile().WriteProfileInt(kSettingsSection, kHotFolder1Enabled, 1);
    CFenrikWnd& w = Create();
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&w);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), "Fenrik");
    QAccessibleInterface* check = QAccessible::queryAccessibleInterface(Of(w).m_HotFolderCheck1);
    EXPECT_EQ(check->role(), QAccessible::CheckBox);
    EXPECT_TRUE(check->state().checkable);
    EXPECT_TRUE(check->state().checked);
    ASSERT_NE(check->actionInterface(), nullptr);
    EXPECT_TRUE(check->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(Of(w).m_HotFolderCheck2)->state().checked);
    for (QWidget* line :
         std::initializer_list<QWidget*>{Of(w).m_HotFolderField1, Of(w).m_DeviceField}) {
        EXPECT_EQ(QAccessible::queryAccessibleInterface(line)->role(), QAccessible::StaticText);
    }
    EXPECT_EQ(AccessibleText(Of(w).m_HotFolderField1, QAccessible::Name), "/path");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Of(w).m_StatusField)->role(),
              QAccessible::StatusBar);
}

TEST_F(WindowUse, HotFolderAndGpxNamesFollowTheirState) {
    Profile().WriteProfileString(kSettingsSection, kHotFolder1, "/path");
    Profile().WriteProfileInt(kSettingsSection, kHotFolder1Enabled, 1);
    CFenrikWnd& w = Create();
    QAccessibleInterface* check = QAccessible::queryAccessibleInterface(Of(w).m_HotFolderCheck1);
    EXPECT_TRUE(check->state().checked);
    EXPECT_EQ(check->text(QAccessible::Description), "/path");
    w.OnCommand(111);
    EXPECT_FALSE(check->state().checked);
    EXPECT_EQ(check->text(QAccessible::Name), "Hot folder 1");

    w.OnDropFiles({QUrl::fromLocalFile("/tracks/day.gpx")});
    EXPECT_EQ(AccessibleText(Of(w).m_DeviceField, QAccessible::Name), "GPX file: /tracks/day.gpx");
}

}  // namespace
