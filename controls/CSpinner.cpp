// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CSpinner.h"

#include <QPainter>

namespace {
constexpr int kStripBitmap = 163;
}

CSpinner::CSpinner(QWidget* parent, SpinnerAnimation& animation)
    : QWidget(parent), m_Animation(animation), m_Strip(kStripBitmap) {
    setAttribute(Qt::WA_OpaquePaintEvent, !m_Strip.IsNull());
}

CSpinner::~CSpinner() {
    m_Animation.Forget(this);
}

void CSpinner::Create(QRect rect, QWidget* parent, int id) {
    m_Id = id;
    setParent(parent);
    setGeometry(rect);
    hide();
}

void CSpinner::Start() {
    m_Animation.Start(this);
}

void CSpinner::Stop() {
    m_Animation.Stop();
}

void CSpinner::ShowFrame(int frame) {
    m_FrameX = kFrameWidth * frame;
    m_FrameRight = kFrameWidth * frame + kFrameWidth;
    QMetaObject::invokeMethod(
        this, [this] { update(); }, Qt::QueuedConnection);
}

void CSpinner::paintEvent(QPaintEvent*) {
    if (m_Strip.IsNull()) {
        return;
    }
    QPainter painter(this);
    DrawSkinImage(painter, QPoint(0, 0), m_Strip.For(painter),
                  QRect(QPoint(m_FrameX, m_FrameY), size()));
}
