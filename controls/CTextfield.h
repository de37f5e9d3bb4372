// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skinned one-line text display; a path too wide for it is shortened in the middle.

#include <QAccessible>
#include <QColor>
#include <QFont>
#include <QWidget>
#include <string>

#include "controls/SkinBitmap.h"
#include "platform/Mutex.h"

class CTextfield : public QWidget {
    Q_OBJECT

public:
    explicit CTextfield(QWidget* parent = nullptr);

    // Text colours while enabled and disabled, set by the owner before Create.
    QColor m_TextColor;
    QColor m_DisabledTextColor;

    // Places and shows the field.
    void Create(QRect rect, QWidget* parent, int id);

    // An unknown bitmap id leaves no background, and the field then draws nothing at all.
    void SetBackground(int bitmapId);

    // Any thread; the repaint happens on the GUI thread.
    void SetText(const std::string& text);

    // The text last set, whatever was drawn.
    std::string GetText() const;

    int Id() const { return m_Id; }

    // A label (the default) or a status bar to screen readers, named by its accessible name or
    // else its text.
    void SetAccessibleRole(QAccessible::Role role) { m_Role = role; }
    QAccessible::Role AccessibleRole() const { return m_Role; }

    // Shows or hides a one-pixel frame in the enabled text colour.
    void SetFocusFrame(bool shown);
    bool HasFocusFrame() const { return m_FocusFrame; }

    // Arial (or a metric-compatible stand-in), 12 pixels high.
    const QFont& Font() const { return m_Font; }

protected:
    // Every character is drawn as it is: '&' marks no mnemonic.
    void paintEvent(QPaintEvent* event) override;

private:
    mutable Mutex m_TextMutex;
    std::string m_Text GUARDED_BY(m_TextMutex);
    QFont m_Font;
    SkinBitmap m_Background;
    int m_Id = 0;
    QAccessible::Role m_Role = QAccessible::StaticText;
    bool m_FocusFrame = false;
};

// Gives every text field its role for screen readers. Call before the first accessible object is
// asked for; later calls do nothing.
void InstallTextfieldAccessibility();
