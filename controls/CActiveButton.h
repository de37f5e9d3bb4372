// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skinned push button, drawn from up to four skin images. Hovering gives it the focus, so the
// focus image is also the hover image; Space, Return or Enter click it while focused.

#include <QAbstractButton>

#include "controls/SkinBitmap.h"

class CActiveButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit CActiveButton(QWidget* parent = nullptr);

    // Places and shows the button; `windowText` is its accessible name, never drawn.
    void Create(const char* windowText, QRect rect, QWidget* parent, int id);

    // Loads the images by skin bitmap id; an unknown id leaves that image empty, shown as normal.
    void LoadBitmaps(int normal, int pressed, int focus, int disabled);

    int Id() const { return m_Id; }

    // Makes it a check box: pressed image while checked, else normal; only the owner sets it.
    void SetCheckBox();

    bool LastClickByKeyboard() const { return m_KeyboardClick; }

signals:
    // Command: a click, by mouse or keyboard; FocusChanged: the keyboard focus gained or lost.
    void Command(int id);
    void FocusChanged(int id, bool focused);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void nextCheckState() override {}

private:
    const SkinBitmap& CurrentImage() const;

    int m_Id = 0;
    bool m_CheckBox = false;
    bool m_KeyboardClick = false;
    SkinBitmap m_Normal;
    SkinBitmap m_Pressed;
    SkinBitmap m_Focus;
    SkinBitmap m_Disabled;
};
