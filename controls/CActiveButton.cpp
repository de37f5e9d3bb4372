// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CActiveButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "resources/SkinResources.h"

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
    m_Normal = LoadSkinBitmap(normal);
    m_Pressed = LoadSkinBitmap(pressed);
    m_Focus = LoadSkinBitmap(focus);
    m_Disabled = LoadSkinBitmap(disabled);
    update();
}

void CActiveButton::SetCheckBox() {
    m_CheckBox = true;
    setCheckable(true);
    update();
}

const QImage& CActiveButton::CurrentImage() const {
    if (m_CheckBox) {
        return isChecked() && !m_Pressed.isNull() ? m_Pressed : m_Normal;
    }
    if (isDown() && !m_Pressed.isNull()) {
        return m_Pressed;
    }
    if (hasFocus() && !m_Focus.isNull()) {
        return m_Focus;
    }
    if (!isEnabled() && !m_Disabled.isNull()) {
        return m_Disabled;
    }
    return m_Normal;
}

void CActiveButton::paintEvent(QPaintEvent*) {
    const QImage& image = CurrentImage();
    if (image.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), image, QRect(QPoint(0, 0), size()));
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
