// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/DialogGroupBox.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {

constexpr int kTitleGap = 2;  // pixels of frame left out on each side of the title

}  // namespace

DialogGroupBox::DialogGroupBox(const QString& title, QWidget* parent)
    : QWidget(parent), m_Title(title) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

QRect DialogGroupBox::FrameRect() const {
    const int top = fontMetrics().height() / 2;
    return QRect(0, top, width(), height() - top);
}

QRect DialogGroupBox::TitleRect() const {
    if (m_Title.isEmpty()) {
        return QRect();
    }
    const int left = fontMetrics().averageCharWidth();
    const int textWidth = fontMetrics().horizontalAdvance(m_Title);
    const int widthAvailable = std::max(0, width() - 2 * left);
    return QRect(left, 0, std::min(textWidth + 2 * kTitleGap, widthAvailable),
                 fontMetrics().height());
}

void DialogGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // An etched line, drawn here rather than by the style: styles draw a group box frame only
    // for QGroupBox and place it below a title of their own.
    qDrawShadeRect(&painter, FrameRect(), palette(), true, 1, 0);

    const QRect title = TitleRect();
    if (title.isEmpty()) {
        return;
    }
    painter.fillRect(title, palette().window());
    style()->drawItemText(&painter, title.adjusted(kTitleGap, 0, -kTitleGap, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), m_Title, QPalette::WindowText);
}
