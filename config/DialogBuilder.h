// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds a dialog's controls from a dialog template as Qt widgets; only kTabStop controls take
// focus by Tab. A combo box never adds or picks what its field holds.

#include <QDialog>
#include <QWidget>
#include <vector>

#include "config/DialogTemplate.h"

// Creates the template's controls on `dialog`, returned in template order, and sets its caption,
// font, size and frame; an earlier call's controls stay. GUI thread, with a QApplication.
std::vector<QWidget*> BuildDialogControls(QDialog& dialog, const DialogTemplate& dialogTemplate);

// Deletes every control that BuildDialogControls created on `dialog`.
void DestroyDialogControls(QDialog& dialog);

// The template id of a control, or kNoControlId (also for a widget not built from a template).
int ControlIdOf(const QWidget& control);

// The first control built on `dialog` with template id `id`, or null. kNoControlId finds nothing.
QWidget* FindControl(const QWidget& dialog, int id);

// Whether a control was built with `style` (all of its bits).
bool ControlHasStyle(const QWidget& control, uint32_t style);
