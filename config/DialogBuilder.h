// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds a dialog's controls from a dialog template: Qt widgets at the template's positions,
// converted from dialog units with the template font's base units.
//
// Kinds map to QPushButton (a default push button is the dialog's default button),
// DialogGroupBox, QLabel, QLineEdit, QCheckBox and an editable QComboBox. Controls with kTabStop
// take focus by Tab and by click, in template order; others only by click, and texts and group
// boxes never. Group boxes sit below every other control and let clicks through to the controls
// inside them. An edit with kDigitsOnly rejects any typed or pasted text that is not all digits
// 0-9; text set by the program is not checked. A combo box never adds the text typed into its
// field to its list, offers no completion, and never picks the item that its field names: Enter in
// the field goes on to the dialog (which presses its default button), and leaving the field does
// nothing. Its closed height is the style's, and the template height less that height sets how
// many list rows it shows when dropped.

#include <QDialog>
#include <QWidget>
#include <vector>

#include "config/DialogTemplate.h"

// Creates the controls of `dialogTemplate` as children of `dialog`, in template order, and gives
// the dialog the template's caption, font, fixed client size and window decorations. Controls of
// an earlier call stay; remove them first with DestroyDialogControls. Returns the new controls
// in template order. Needs a running QApplication, on the GUI thread.
std::vector<QWidget*> BuildDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate);

// Deletes every control that BuildDialogControls created on `dialog`.
void DestroyDialogControls(QDialog& dialog);

// The template id of a control built from a template, or kNoControlId (also for any widget not
// built from a template).
int ControlIdOf(const QWidget& control);

// The first control built on `dialog` with template id `id`, or null. kNoControlId finds nothing.
QWidget* FindControl(const QWidget& dialog, int id);

// Whether a control was built with `style` (all of its bits).
bool ControlHasStyle(const QWidget& control, uint32_t style);
