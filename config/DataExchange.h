// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exchanging values between a dialog's controls and its members: into the controls (false) or
// back (true). A control of another kind, or none, exchanges nothing.

#include <string>

class QLineEdit;
class QWidget;

// Puts text into an edit, showing its start as a Windows edit does (Qt would show its end).
void SetEditText(QLineEdit& edit, const std::string& text);
// Text between an edit and a member.
void ExchangeText(bool saveAndValidate, QWidget* control, std::string& value);
// A check box's state and a member: 1 checked, 0 clear.
void ExchangeCheck(bool saveAndValidate, QWidget* control, int& value);
// Seconds shown as whole minutes; a typed value of 1 to 1,440 minutes is taken back.
void ExchangeMinutes(bool saveAndValidate, QWidget* control, int& seconds);
// Whole seconds with a sign; text that is not whole seconds leaves the member as it was.
void ExchangeSeconds(bool saveAndValidate, QWidget* control, int& value);
