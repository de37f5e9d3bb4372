// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "SkinArt.h"
#include "SkinTheme.h"

QImage DrawIcon(int size) {
    // The artwork is drawn on a grid of kIconArtSize units, scaled to the image's size.
    constexpr int kSize = kIconArtSize;
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(static_cast<qreal>(size) / kSize, static_cast<qreal>(size) / kSize);

    // A dark tile.
    QLinearGradient tile(0, 0, 0, kSize);
    tile.setColorAt(0, theme::kPanelTop.lighter(115));
    tile.setColorAt(1, theme::kPanelBottom);
    p.setPen(QPen(theme::kEdgeOuter, 1.5));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1.5, 1.5, kSize - 3, kSize - 3), 12, 12);

    // Hills with a dotted track across them.
    QPainterPath hills;
    hills.moveTo(4, 50);
    hills.cubicTo(14, 34, 22, 36, 30, 44);
    hills.cubicTo(38, 36, 48, 34, 57, 46);
    hills.lineTo(57, 52);
    hills.quadTo(57, 57, 50, 57);
    hills.lineTo(11, 57);
    hills.quadTo(4, 57, 4, 50);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3d, 0x44, 0x4e));
    p.drawPath(hills);
    QPen track(theme::kCyan, 2.6, Qt::DotLine, Qt::RoundCap);
    p.setPen(track);
    p.setBrush(Qt::NoBrush);
    QPainterPath route;
    route.moveTo(9, 47);
    route.cubicTo(18, 40, 24, 52, 33, 44);
    route.lineTo(36, 40);
    p.drawPath(route);

    // The pin.
    const QPointF tip(38, 41);
    const qreal radius = 11;
    const QPointF centre(tip.x(), tip.y() - radius * 1.85);
    QPainterPath pin;
    pin.moveTo(tip);
    pin.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), -58, 296);
    pin.closeSubpath();
    QLinearGradient pinFill(0, centre.y() - radius, 0, tip.y());
    pinFill.setColorAt(0, theme::kAccentLight);
    pinFill.setColorAt(1, theme::kAccentDark);
    p.setPen(QPen(QColor(0x6e, 0x2c, 0x0e), 1));
    p.setBrush(pinFill);
    p.drawPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xfb, 0xf3, 0xec));
    p.drawEllipse(centre, 4.2, 4.2);
    return icon;
}
