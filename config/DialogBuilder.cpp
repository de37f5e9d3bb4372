// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/DialogBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "config/DialogGroupBox.h"
#include "config/DialogUnits.h"

namespace {

constexpr char kControlIdProperty[] = "fenrikControlId";
constexpr char kControlStyleProperty[] = "fenrikControlStyle";

QWidget* CreatePushButton(const DialogControlTemplate& control, QDialog& dialog) {
    auto* button = new QPushButton(QString::fromUtf8(control.caption), &dialog);
    button->setAutoDefault(true);  // Enter presses the focused button, as in any dialog
    button->setDefault(control.kind == ControlKind::DefaultPushButton);
    return button;
}

QWidget* CreateGroupBox(const DialogControlTemplate& control, QDialog& dialog) {
    return new DialogGroupBox(QString::fromUtf8(control.caption), &dialog);
}

QWidget* CreateStaticText(const DialogControlTemplate& control, QDialog& dialog) {
    auto* label = new QLabel(QString::fromUtf8(control.caption), &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    if (control.style & kAlignCenter) {
        alignment = (alignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignHCenter;
    }
    if (control.style & kCenterVertical) {
        alignment = (alignment & ~Qt::AlignVertical_Mask) | Qt::AlignVCenter;
    }
    label->setAlignment(alignment);
    return label;
}

QWidget* CreateEdit(const DialogControlTemplate& control, QDialog& dialog) {
    auto* edit = new QLineEdit(QString::fromUtf8(control.caption), &dialog);
    edit->setFrame((control.style & kBorder) != 0);
    if (control.style & kDigitsOnly) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QWidget* CreateCheckBox(const DialogControlTemplate& control, QDialog& dialog) {
    return new QCheckBox(QString::fromUtf8(control.caption), &dialog);
}

// Enter in a combo box's editable field goes to the dialog, which presses its default button, as
// from any other field. Left to Qt, Enter would pick the list item whose text the field holds,
// and only a pick in the list may change the selection.
class FieldEnterToDialog : public QObject {
public:
    FieldEnterToDialog(QComboBox& combo, QDialog& dialog) : QObject(&combo), m_Dialog(dialog) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) {
            return false;
        }
        QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
        QCoreApplication::sendEvent(&m_Dialog, &copy);
        return true;
    }

private:
    QDialog& m_Dialog;
};

QWidget* CreateComboBox(const DialogControlTemplate& control, QDialog& dialog) {
    auto* combo = new QComboBox(&dialog);
    combo->setEditable((control.style & kDropDown) != 0);
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (combo->isEditable()) {
        combo->setCompleter(nullptr);
        auto* filter = new FieldEnterToDialog(*combo, dialog);
        combo->installEventFilter(filter);
        combo->lineEdit()->installEventFilter(filter);
        // Qt also picks the item that the field names when the field loses the focus.
        QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, nullptr, nullptr);
    }
    return combo;
}

QWidget* CreateControl(const DialogControlTemplate& control, QDialog& dialog) {
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            return CreatePushButton(control, dialog);
        case ControlKind::GroupBox:
            return CreateGroupBox(control, dialog);
        case ControlKind::StaticText:
            return CreateStaticText(control, dialog);
        case ControlKind::Edit:
            return CreateEdit(control, dialog);
        case ControlKind::CheckBox:
            return CreateCheckBox(control, dialog);
        case ControlKind::ComboBox:
            return CreateComboBox(control, dialog);
    }
    return CreateStaticText(control, dialog);
}

bool TakesFocus(ControlKind kind) {
    return kind != ControlKind::GroupBox && kind != ControlKind::StaticText;
}

// A combo box's template height covers its field and its dropped list.
void PlaceComboBox(QComboBox& combo, QRect rect) {
    const int fieldHeight = combo.sizeHint().height();
    combo.setGeometry(rect.x(), rect.y(), rect.width(), fieldHeight);
    const int rowHeight = std::max(1, combo.fontMetrics().height());
    combo.setMaxVisibleItems(std::max(1, (rect.height() - fieldHeight) / rowHeight));
}

void ApplyDialogStyle(QDialog& dialog, const DialogTemplate& dialogTemplate) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (dialogTemplate.style & kCaption) {
        flags |= Qt::WindowTitleHint;
    }
    if (dialogTemplate.style & kSystemMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    dialog.setWindowFlags(flags);
    dialog.setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    dialog.setSizeGripEnabled(false);
}

}  // namespace

std::vector<QWidget*> BuildDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate) {
    ApplyDialogStyle(dialog, dialogTemplate);
    dialog.setFont(DialogFont(dialogTemplate.fontFace, dialogTemplate.fontPointSize));
    const DialogBaseUnits base = BaseUnitsOf(dialog.font());
    dialog.setFixedSize(HorizontalDluToPixels(dialogTemplate.width, base),
                        VerticalDluToPixels(dialogTemplate.height, base));

    std::vector<QWidget*> controls;
    QWidget* previousTabStop = nullptr;
    for (const DialogControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control, dialog);
        widget->setProperty(kControlIdProperty, control.id);
        widget->setProperty(kControlStyleProperty, control.style);
        const QRect rect = DluToPixels(control.rect, base);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            PlaceComboBox(*combo, rect);
        } else {
            widget->setGeometry(rect);
        }
        if (!TakesFocus(control.kind)) {
            widget->setFocusPolicy(Qt::NoFocus);
        } else if (control.style & kTabStop) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousTabStop != nullptr) {
                QWidget::setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        } else {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        widget->show();
        controls.push_back(widget);
    }
    for (QWidget* widget : controls) {
        if (dynamic_cast<DialogGroupBox*>(widget) != nullptr) {
            widget->lower();
        }
    }
    return controls;
}

void DestroyDialogControls(QDialog& dialog) {
    const auto children = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->property(kControlIdProperty).isValid()) {
            delete child;
        }
    }
}

int ControlIdOf(const QWidget& control) {
    const QVariant id = control.property(kControlIdProperty);
    return id.isValid() ? id.toInt() : kNoControlId;
}

QWidget* FindControl(const QWidget& dialog, int id) {
    if (id == kNoControlId) {
        return nullptr;
    }
    const auto children = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (ControlIdOf(*child) == id) {
            return child;
        }
    }
    return nullptr;
}

bool ControlHasStyle(const QWidget& control, uint32_t style) {
    const QVariant value = control.property(kControlStyleProperty);
    return value.isValid() && (value.toUInt() & style) == style;
}
