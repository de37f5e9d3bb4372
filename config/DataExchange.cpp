// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/DataExchange.h"

#include <QCheckBox>
#include <QLineEdit>
#include <cstdlib>

#include "config/ClockFromPhoto.h"

// Puts text into an edit, showing its start as a Windows edit does (Qt would show its end).
void SetEditText(QLineEdit& edit, const std::string& text) {
    edit.setText(QString::fromStdString(text));
    edit.setCursorPosition(0);
}

// Text exchange between an edit and a member.
void ExchangeText(bool saveAndValidate, QWidget* control, std::string& value) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (edit == nullptr) {
        return;
    }
    if (saveAndValidate) {
        value = edit->text().toStdString();
    } else {
        SetEditText(*edit, value);
    }
}

// Check state exchange between a check box and a member: 1 checked, 0 clear.
void ExchangeCheck(bool saveAndValidate, QWidget* control, int& value) {
    auto* check = qobject_cast<QCheckBox*>(control);
    if (check == nullptr) {
        return;
    }
    if (saveAndValidate) {
        value = check->isChecked() ? 1 : 0;
    } else {
        check->setChecked(value != 0);
    }
}

void ExchangeMinutes(bool saveAndValidate, QWidget* control, int& seconds) {
    std::string text = std::to_string(seconds / 60);
    ExchangeText(saveAndValidate, control, text);
    const int minutes = std::atoi(text.c_str());
    if (saveAndValidate && minutes > 0 && minutes <= 24 * 60) {
        seconds = minutes * 60;
    }
}

void ExchangeSeconds(bool saveAndValidate, QWidget* control, int& value) {
    std::string text = std::to_string(value);
    ExchangeText(saveAndValidate, control, text);
    if (saveAndValidate) {
        value = ParseCorrectionText(text).value_or(value);
    }
}
