// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CActiveButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CActiveButton::CActiveButton(QWidget* parent) : QAbstractButton(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { emit Command(m_Id); });
}

void CActiveButton::Create(const char* windowText, QRect rect, QWidget* parent, int id) {
    m_Id = id;
    setText(QString::fromUtf8(windowText));
    setParent(parent);
    setGeometry(rect);
    show();
}

void CActiveButton::LoadBitmaps(int normal, int pressed, int focus, int disabled) {
    m_Normal = SkinBitmap(normal);
    m_Pressed = SkinBitmap(pressed);
    m_Focus = SkinBitmap(focus);
    m_Disabled = SkinBitmap(disabled);
    update();
}

void CActiveButton::SetCheckBox() {
    m_CheckBox = true;
    setCheckable(true);
    update();
}

const SkinBitmap& CActiveButton::CurrentImage() const {
    if (m_CheckBox) {
        return isChecked() && !m_Pressed.IsNull() ? m_Pressed : m_Normal;
    }
    if (isDown() && !m_Pressed.IsNull()) {
        return m_Pressed;
    }
    if (hasFocus() && !m_Focus.IsNull()) {
        return m_Focus;
    }
    if (!isEnabled() && !m_Disabled.IsNull()) {
        return m_Disabled;
    }
    return m_Normal;
}

void CActiveButton::paintEvent(QPaintEvent*) {
    const SkinBitmap& image = CurrentImage();
    if (image.IsNull()) {
        return;
    }
    QPainter painter(this);
    DrawSkinImage(painter, QPoint(0, 0), image.For(painter), QRect(QPoint(0, 0), size()));
}

void CActiveButton::mouseMoveEvent(QMouseEvent* event) {
    QAbstractButton::mouseMoveEvent(event);
    event->accept();
    if (focusPolicy() != Qt::NoFocus) {
        setFocus(Qt::MouseFocusReason);
    }
}

void CActiveButton::mousePressEvent(QMouseEvent* event) {
    m_KeyboardClick = false;
    QAbstractButton::mousePressEvent(event);
}

void CActiveButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    emit FocusChanged(m_Id, true);
}

void CActiveButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    emit FocusChanged(m_Id, false);
}

void CActiveButton::keyPressEvent(QKeyEvent* event) {
    m_KeyboardClick = true;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
