// SPDX-License-Identifier: GPL-3.0-or-later
// Dialog units, the content of template 9, and the controls built from it: positions, tab
// order, clicks inside group boxes, captions that fit, digits-only edits and the sorted list.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <set>
#include <vector>

#include "WidgetTestSupport.h"
#include "config/ComboBoxItems.h"
#include "config/DialogBuilder.h"
#include "config/DialogGroupBox.h"
#include "config/DialogUnits.h"
#include "config/DirectoryConfigTemplate.h"

namespace {

bool Contains(const DluRect& outer, const DluRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

bool Overlap(const DluRect& a, const DluRect& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

const DialogControlTemplate* TemplateControl(int id) {
    for (const DialogControlTemplate& control : DirectoryConfigTemplate().controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

TEST(DialogUnitsTest, ConversionRoundsLikeMulDiv) {
    EXPECT_EQ(MulDiv(260, 6, 4), 390);
    EXPECT_EQ(MulDiv(249, 13, 8), 405);  // 404.625 rounds up
    EXPECT_EQ(MulDiv(1, 6, 4), 2);       // a half rounds away from zero
    EXPECT_EQ(MulDiv(-1, 6, 4), -2);
    EXPECT_EQ(MulDiv(5, 3, -2), -8);
    EXPECT_EQ(MulDiv(7, 3, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 4, 2), -1);  // beyond the int range

    const DialogBaseUnits base{6, 13};
    EXPECT_EQ(DluToPixels(DluRect{221, 44, 27, 10}, base), QRect(332, 72, 41, 16));
    EXPECT_EQ(HorizontalDluToPixels(4, DialogBaseUnits{7, 15}), 7);
    EXPECT_EQ(VerticalDluToPixels(8, DialogBaseUnits{7, 15}), 15);
}

class DialogFontTest : public WidgetTest {};

TEST_F(DialogFontTest, BaseUnitsFollowTheFontsAverageWidthAndHeight) {
    const QFont font = DialogFont("MS Shell Dlg", 8);
    EXPECT_EQ(font.pointSize(), 8);
    const DialogBaseUnits base = BaseUnitsOf(font);
    const QFontMetrics metrics(font);
    EXPECT_EQ(base.y, metrics.height());
    const double average = metrics.horizontalAdvance(QStringLiteral(
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                           52.0;
    EXPECT_NEAR(base.x, average, 0.5 + 1e-9);

    const DialogBaseUnits doubled = BaseUnitsOf(DialogFont("MS Shell Dlg", 16));
    EXPECT_NEAR(doubled.x, 2 * base.x, 2);
    EXPECT_NEAR(doubled.y, 2 * base.y, 2);
}

TEST(DirectoryConfigTemplateTest, DialogAndControlsInTabOrder) {
    const DialogTemplate& t = DirectoryConfigTemplate();
    EXPECT_EQ(t.id, 9);
    EXPECT_STREQ(t.caption, "Directory Configuration");
    EXPECT_STREQ(t.fontFace, "MS Shell Dlg");
    EXPECT_EQ(t.fontPointSize, 8);
    EXPECT_EQ(t.width, 260);
    EXPECT_EQ(t.height, 387);

    const std::vector<int> expectedIds = {
        1005, 1,    2,    -1,   1007, 1008, 1009, -1,   -1,   -1,   1017, -1,   -1, 1018,
        -1,   1010, 1001, -1,   -1,   1030, 1031, 1032, 1033, 1034, 1035, 1047, -1, -1,
        1040, 1041, 1042, 1048, 1043, 1044, 1045, 1046, -1,   1049, -1,   1050};
    std::vector<int> ids;
    for (const DialogControlTemplate& control : t.controls) {
        ids.push_back(control.id);
    }
    EXPECT_EQ(ids, expectedIds);

    EXPECT_EQ(TemplateControl(kIdOk)->kind, ControlKind::DefaultPushButton);
    EXPECT_STREQ(TemplateControl(kIdCancel)->caption, "Cancel");
    EXPECT_STREQ(TemplateControl(kIdUseLogfileCheck)->caption, "Logs directory:");
    EXPECT_EQ(TemplateControl(kIdUseLogfileCheck)->kind, ControlKind::CheckBox);
    for (int id : {kIdToleranceHoursEdit, kIdToleranceMinutesEdit}) {
        EXPECT_TRUE(TemplateControl(id)->style & kDigitsOnly) << id;
    }
    for (int id : {kIdHotFolderEdit1, kIdHotFolderEdit4, kIdLogfileDirEdit}) {
        EXPECT_FALSE(TemplateControl(id)->style & kDigitsOnly) << id;
    }
    const uint32_t comboStyle = TemplateControl(kIdTimeZoneCombo)->style;
    EXPECT_EQ(comboStyle & (kDropDown | kSorted | kTabStop), kDropDown | kSorted | kTabStop);
}

TEST(DirectoryConfigTemplateTest, EachBrowseButtonFillsTheEditOnItsRow) {
    const std::vector<std::pair<int, int>> pairs = {
        {1005, 1031}, {1007, 1032}, {1008, 1033}, {1009, 1034}, {1010, 1035}};
    for (const auto& [button, edit] : pairs) {
        EXPECT_EQ(BrowseTargetOf(button), edit);
        const DluRect b = TemplateControl(button)->rect;
        const DluRect e = TemplateControl(edit)->rect;
        EXPECT_LT(std::abs((b.y + b.height / 2) - (e.y + e.height / 2)), 3) << button;
        EXPECT_LT(e.x + e.width, b.x) << button;
    }
    EXPECT_EQ(BrowseTargetOf(kIdOk), kNoControlId);
    EXPECT_EQ(BrowseTargetOf(kIdHotFolderEdit1), kNoControlId);
}

// The rectangle a control covers while closed: a combo box's template height includes the list
// that drops over the controls below it only while open.
DluRect ClosedRect(const DialogControlTemplate& control) {
    DluRect rect = control.rect;
    if (control.kind == ControlKind::ComboBox) {
        rect.height = 14;
    }
    return rect;
}

TEST(DirectoryConfigTemplateTest, ControlsStayInsideTheDialogAndTheirGroupBoxes) {
    const DialogTemplate& t = DirectoryConfigTemplate();
    const DluRect client{0, 0, t.width, t.height};
    std::vector<DluRect> groups;
    for (const DialogControlTemplate& control : t.controls) {
        EXPECT_TRUE(Contains(client, control.rect)) << control.caption;
        if (control.kind == ControlKind::GroupBox) {
            groups.push_back(control.rect);
        }
    }
    for (const DialogControlTemplate& control : t.controls) {
        if (control.kind == ControlKind::GroupBox) {
            continue;
        }
        for (const DluRect& group : groups) {
            if (Overlap(group, ClosedRect(control))) {
                EXPECT_TRUE(Contains(group, ClosedRect(control)))
                    << control.id << " " << control.caption;
            }
        }
    }
    // Controls that take input never cover one another. The check box reaches one unit into the
    // log folder edit; its caption ends well before (see CaptionsFitTheirControlsAtTheDialogFont).
    for (const DialogControlTemplate& a : t.controls) {
        for (const DialogControlTemplate& b : t.controls) {
            if (&a == &b || a.id == kNoControlId || b.id == kNoControlId ||
                (a.id == kIdUseLogfileCheck && b.id == kIdLogfileDirEdit) ||
                (b.id == kIdUseLogfileCheck && a.id == kIdLogfileDirEdit)) {
                continue;
            }
            EXPECT_FALSE(Overlap(ClosedRect(a), ClosedRect(b))) << a.id << " / " << b.id;
        }
    }
}

class BuiltDialogTest : public WidgetTest {
protected:
    BuiltDialogTest() { controls = BuildDialogControls(dialog, DirectoryConfigTemplate()); }

    template <class T>
    T* Control(int id) {
        return qobject_cast<T*>(FindControl(dialog, id));
    }

    QDialog dialog;
    std::vector<QWidget*> controls;
};

TEST_F(BuiltDialogTest, ControlsSitAtTheirTemplatePositionsInPixels) {
    const DialogTemplate& t = DirectoryConfigTemplate();
    ASSERT_EQ(controls.size(), t.controls.size());
    const DialogBaseUnits base = BaseUnitsOf(dialog.font());
    EXPECT_EQ(dialog.size(),
              QSize(HorizontalDluToPixels(260, base), VerticalDluToPixels(387, base)));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Directory Configuration"));
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(ControlIdOf(*controls[i]), t.controls[i].id);
        const QRect expected = DluToPixels(t.controls[i].rect, base);
        if (t.controls[i].kind == ControlKind::ComboBox) {
            EXPECT_EQ(controls[i]->pos(), expected.topLeft());
            EXPECT_LT(controls[i]->height(), expected.height());  // the list is not part of it
        } else {
            EXPECT_EQ(controls[i]->geometry(), expected) << t.controls[i].id;
        }
    }
    EXPECT_EQ(FindControl(dialog, kNoControlId), nullptr);
    EXPECT_TRUE(Control<QPushButton>(kIdOk)->isDefault());
    EXPECT_FALSE(Control<QPushButton>(kIdCancel)->isDefault());
}

TEST_F(BuiltDialogTest, TabVisitsTheTabStopsInTemplateOrder) {
    std::vector<QWidget*> expected;
    for (QWidget* control : controls) {
        if (control->focusPolicy() & Qt::TabFocus) {
            expected.push_back(control);
        }
    }
    // 9 buttons (one hidden without a map preview), 9 edits, 6 check boxes and the combo box
    ASSERT_EQ(expected.size(), 25u);
    std::vector<QWidget*> visited = {expected.front()};
    for (QWidget* w = expected.front()->nextInFocusChain(); visited.size() < expected.size();
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus &&
            std::find(controls.begin(), controls.end(), w) != controls.end()) {
            visited.push_back(w);
        }
        ASSERT_NE(w, expected.front()) << "the chain closed early";
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(BuiltDialogTest, ClicksInsideGroupBoxesReachTheControls) {
    for (int id : {kIdBrowseHotFolder1, kIdHotFolderEdit3, kIdToleranceMinutesEdit,
                   kIdTimeZoneCombo, kIdUseLogfileCheck, kIdBrowseLogfileDir}) {
        QWidget* control = FindControl(dialog, id);
        QWidget* hit = dialog.childAt(control->geometry().center());
        while (hit != nullptr && hit->parentWidget() != &dialog) {
            hit = hit->parentWidget();
        }
        EXPECT_EQ(hit, control) << id;
    }
}

TEST_F(BuiltDialogTest, CaptionsFitTheirControlsAtTheDialogFont) {
    for (QWidget* control : controls) {
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                << label->text().toStdString();
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            EXPECT_LE(check->sizeHint().width(), check->width());
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width());
            EXPECT_LE(button->fontMetrics().height(), button->height());
        } else if (auto* group = dynamic_cast<DialogGroupBox*>(control)) {
            EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()),
                      group->TitleRect().width());
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            EXPECT_LE(edit->fontMetrics().height(), edit->height());
        }
    }
}

TEST_F(BuiltDialogTest, ToleranceEditsTakeDigitsOnlyTypedOrPasted) {
    for (int id : {kIdToleranceHoursEdit, kIdToleranceMinutesEdit}) {
        QLineEdit* edit = Control<QLineEdit>(id);
        QTest::keyClicks(edit, "1a-2 ,3");
        EXPECT_EQ(edit->text(), QStringLiteral("123"));
        edit->insert(QStringLiteral("4x"));  // what a paste does
        EXPECT_EQ(edit->text(), QStringLiteral("123"));
        edit->insert(QStringLiteral("45"));
        EXPECT_EQ(edit->text(), QStringLiteral("12345"));
    }
    QLineEdit* path = Control<QLineEdit>(kIdHotFolderEdit1);
    QTest::keyClicks(path, "/a b-1");
    EXPECT_EQ(path->text(), QStringLiteral("/a b-1"));
}

TEST_F(BuiltDialogTest, SortedListInsertsIgnoringCaseAndKeepsTheSelection) {
    QComboBox* combo = Control<QComboBox>(kIdTimeZoneCombo);
    EXPECT_EQ(AddComboString(*combo, QStringLiteral("beta")), 0);
    EXPECT_EQ(combo->currentIndex(), -1);  // adding to an empty box selects nothing
    EXPECT_EQ(AddComboString(*combo, QStringLiteral("Gamma")), 1);
    combo->setCurrentIndex(1);
    EXPECT_EQ(AddComboString(*combo, QStringLiteral("Alpha")), 0);
    EXPECT_EQ(AddComboString(*combo, QStringLiteral("alpha")), 1);  // after its equal
    EXPECT_EQ(AddComboString(*combo, QStringLiteral("delta")), 3);
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) {
        texts << combo->itemText(i);
    }
    EXPECT_EQ(texts, (QStringList{"Alpha", "alpha", "beta", "delta", "Gamma"}));
    EXPECT_EQ(combo->currentText(), QStringLiteral("Gamma"));

    QComboBox unsorted;
    AddComboString(unsorted, QStringLiteral("b"));
    EXPECT_EQ(AddComboString(unsorted, QStringLiteral("a")), 1);
}

}  // namespace
