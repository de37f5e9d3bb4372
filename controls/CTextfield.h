// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skinned one-line text display: a background image with a text over it, in one colour
// while the field is enabled and another while it is disabled. A path too wide for the field
// loses characters in its middle and keeps its last component.

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

    // Text colours while enabled and while disabled; the owner sets them before Create.
    QColor m_TextColor;
    QColor m_DisabledTextColor;

    // Puts the field on `parent` at `rect` (parent coordinates) with control id `id`, and shows
    // it.
    void Create(QRect rect, QWidget* parent, int id);

    // Loads the background from skin bitmap `bitmapId`, at both scales. An unknown id leaves the
    // field without a background, and such a field draws nothing at all.
    void SetBackground(int bitmapId);

    // Replaces the text and has the field redrawn. Safe to call from any thread: the repaint is
    // requested on the field's own (GUI) thread.
    void SetText(const std::string& text);

    // Exactly the text last set, whatever was drawn.
    std::string GetText() const;

    int Id() const { return m_Id; }

    // What the field is to screen readers: a label (the default) or a status bar. Its name is
    // its accessible name when set, else its text.
    void SetAccessibleRole(QAccessible::Role role) { m_Role = role; }
    QAccessible::Role AccessibleRole() const { return m_Role; }

    // Draws a one-pixel frame in the enabled text colour around the field, for example while the
    // control that switches it has the keyboard focus.
    void SetFocusFrame(bool shown);
    bool HasFocusFrame() const { return m_FocusFrame; }

    // The text font: Arial (or a metric-compatible stand-in) 12 pixels high and on average
    // 6 pixels wide.
    const QFont& Font() const { return m_Font; }

protected:
    // Background from the image's top-left corner (in the art that suits the screen's density),
    // the part of the field that the image does not reach filled from the image's edge, then the
    // text at the top left in the colour of
    // the enabled state, on a transparent background. Every character is drawn as it is: '&'
    // marks no mnemonic.
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

// Gives screen readers the roles above for every text field. Call once before the first
// accessible object is asked for; later calls do nothing.
void InstallTextfieldAccessibility();
