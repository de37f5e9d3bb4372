// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skinned push button: drawn entirely from up to four skin images and lit while it has the
// keyboard focus. It takes the focus whenever the mouse moves over it (unless it takes no
// focus at all), so the focus image serves as the hover image. While it has the focus, Space,
// Return or Enter clicks it.
//
// Made a check box (SetCheckBox), it shows its pressed image exactly while it is checked and
// its normal image otherwise, whatever has the focus; a click does not change the state, the
// owner sets it. Screen readers then see a check box with a checked state.

#include <QAbstractButton>

#include "controls/SkinBitmap.h"

class CActiveButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit CActiveButton(QWidget* parent = nullptr);

    // Puts the button on `parent` at `rect` (parent coordinates) with control id `id`, and shows
    // it. `windowText` names the button for accessibility; it is never drawn.
    void Create(const char* windowText, QRect rect, QWidget* parent, int id);

    // Loads the four images by skin bitmap id, each at both scales. An id that is not part of the
    // skin leaves that image empty; an empty pressed, focus or disabled image shows the normal
    // image instead.
    void LoadBitmaps(int normal, int pressed, int focus, int disabled);

    int Id() const { return m_Id; }

    // Turns the button into a check box whose state the owner sets with setChecked.
    void SetCheckBox();

    // True when the last click came from the keyboard, false when from the mouse.
    bool LastClickByKeyboard() const { return m_KeyboardClick; }

signals:
    // A click, by mouse or by the keyboard while focused: the button's control id.
    void Command(int id);
    // The button gained (true) or lost (false) the keyboard focus.
    void FocusChanged(int id, bool focused);

protected:
    // Copies the current image opaque from its top-left corner, in the art that suits the
    // screen's density; no text, frame or focus mark.
    void paintEvent(QPaintEvent* event) override;
    // Takes the focus on every move over the button. The move is not passed on to the parent,
    // which would take the focus back.
    void mouseMoveEvent(QMouseEvent* event) override;
    // Return and Enter click the button, as Space does.
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // A check box's state is set by its owner only.
    void nextCheckState() override {}

private:
    // Pressed, then focus, then disabled, then normal; a missing image falls back to normal.
    // A check box: pressed while checked, else normal.
    const SkinBitmap& CurrentImage() const;

    int m_Id = 0;
    bool m_CheckBox = false;
    bool m_KeyboardClick = false;
    SkinBitmap m_Normal;
    SkinBitmap m_Pressed;
    SkinBitmap m_Focus;
    SkinBitmap m_Disabled;
};
