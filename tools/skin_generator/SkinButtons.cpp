// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "SkinArt.h"
#include "SkinTheme.h"
#include "resources/MainWindowLayout.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

enum class State { Normal, Pressed, Focus };

// The scale an image is drawn at: its device pixel ratio.
int ScaleOf(const QImage& image) {
    return qRound(image.devicePixelRatio());
}

// Width and height in window pixels, whatever the scale.
QSize LogicalSize(const QImage& image) {
    return image.size() / ScaleOf(image);
}

struct FaceColours {
    QColor top, bottom, border, highlight, caption;
};

// Neutral buttons: graphite, lit with an orange rim, pressed inwards.
FaceColours NeutralFace(State state) {
    switch (state) {
        case State::Pressed:
            return {QColor(0x22, 0x25, 0x2a), QColor(0x2a, 0x2e, 0x35), theme::kAccentDark,
                    QColor(0x1c, 0x1f, 0x23), theme::kAccentLight};
        case State::Focus:
            return {QColor(0x4a, 0x52, 0x5e), QColor(0x3b, 0x41, 0x4b), theme::kAccent,
                    QColor(0x5d, 0x66, 0x73), QColor(0xff, 0xff, 0xff)};
        case State::Normal:
            break;
    }
    return {theme::kFaceTop, theme::kFaceBottom, theme::kFaceBorder, QColor(0x4b, 0x52, 0x5d),
            theme::kCaption};
}

// The start button: filled with the accent colour.
FaceColours AccentFace(State state) {
    switch (state) {
        case State::Pressed:
            return {QColor(0xbf, 0x55, 0x24), QColor(0xd2, 0x62, 0x2e), QColor(0x86, 0x3a, 0x15),
                    QColor(0xb0, 0x4d, 0x20), QColor(0x2a, 0x16, 0x0c)};
        case State::Focus:
            return {QColor(0xff, 0xa8, 0x78), QColor(0xf5, 0x82, 0x48), QColor(0xff, 0xd0, 0xb4),
                    QColor(0xff, 0xc4, 0xa0), QColor(0x1d, 0x10, 0x08)};
        case State::Normal:
            break;
    }
    return {QColor(0xf4, 0x8f, 0x5c), QColor(0xdd, 0x68, 0x31), QColor(0xa8, 0x4b, 0x1d),
            QColor(0xff, 0xb0, 0x86), QColor(0x24, 0x14, 0x0a)};
}

void DrawFace(QImage& image, const FaceColours& c) {
    const QSize size = LogicalSize(image);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(0.5, 0.5, size.width() - 1.0, size.height() - 1.0);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, c.top);
    fill.setColorAt(1, c.bottom);
    p.setPen(QPen(c.border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(outer, 3, 3);
    p.fillRect(3, 1, size.width() - 6, 1, c.highlight);
}

// Draws `caption` centred, one pixel lower when pressed.
void DrawCaption(QImage& image, const QString& caption, const QFont& font, const QColor& colour,
                 State state, int shiftX = 0) {
    const QSize size = LogicalSize(image);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(colour);
    const int down = state == State::Pressed ? 1 : 0;
    p.drawText(QRect(QPoint(shiftX, down), size), Qt::AlignCenter, caption);
}

QImage FaceButton(const QImage& base, bool accent, State state, const QString& caption) {
    QImage image = base.copy();
    const FaceColours colours = accent ? AccentFace(state) : NeutralFace(state);
    DrawFace(image, colours);
    DrawCaption(image, caption, theme::SkinFont("DejaVu Sans", 9, QFont::Bold), colours.caption,
                state);
    return image;
}

// The start button: a play triangle before the caption.
QImage StartButton(const QImage& base, State state) {
    QImage image = base.copy();
    const FaceColours colours = AccentFace(state);
    DrawFace(image, colours);
    const QFont font = theme::SkinFont("DejaVu Sans", 10, QFont::Bold);
    const int down = state == State::Pressed ? 1 : 0;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colours.caption);
    const qreal x = 34, y = 6.5 + down;
    p.drawPolygon(QPolygonF({QPointF(x, y), QPointF(x + 7, y + 4), QPointF(x, y + 8)}));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    p.setPen(colours.caption);
    p.drawText(QRect(45, down, LogicalSize(image).width() - 45, LogicalSize(image).height()),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Start"));
    return image;
}

// A link: text only, underlined and in the accent colour when lit.
QImage LinkButton(const QImage& base, State state) {
    QImage image = base.copy();
    const QColor colour = state == State::Normal  ? theme::kLabel
                          : state == State::Focus ? theme::kAccentLight
                                                  : theme::kAccent;
    QPainter p(&image);
    const QFont font = theme::SkinFont("DejaVu Sans", 9, QFont::Normal);
    p.setFont(font);
    p.setPen(colour);
    const int down = state == State::Pressed ? 1 : 0;
    // A globe: a circle with a meridian and the equator.
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1.5, 2.5 + down, 8, 8));
    p.drawEllipse(QRectF(4, 2.5 + down, 3, 8));
    p.drawLine(QPointF(1.5, 6.5 + down), QPointF(9.5, 6.5 + down));
    p.setRenderHint(QPainter::Antialiasing, false);
    const QSize size = LogicalSize(image);
    const QRect textRect(14, down, size.width() - 14, size.height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Home page"));
    if (state != State::Normal) {
        const int width = QFontMetrics(font).horizontalAdvance(QStringLiteral("Home page"));
        p.fillRect(14, 11 + down, width, 1, colour);
    }
    return image;
}

// The title-bar glyphs at scale 1, placed pixel by pixel: a cross or a bar centred on `cx`.
void DrawPixelGlyph(QPainter& p, const QColor& glyph, int cx, bool close) {
    p.setPen(glyph);
    if (close) {
        for (int i = -2; i <= 2; ++i) {
            p.drawPoint(cx + i, 4 + i);
            p.drawPoint(cx + i, 4 - i);
        }
    } else {
        p.drawLine(cx - 3, 4, cx + 3, 4);
    }
}

// The same glyphs drawn as lines at a higher scale, through the centres of those pixels.
void DrawLineGlyph(QPainter& p, const QColor& glyph, int cx, bool close) {
    if (!close) {
        p.fillRect(cx - 3, 4, 7, 1, glyph);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(glyph, 1.1, Qt::SolidLine, Qt::RoundCap));
    const qreal left = cx - 1.5, right = cx + 2.5;
    p.drawLine(QPointF(left, 2.5), QPointF(right, 6.5));
    p.drawLine(QPointF(left, 6.5), QPointF(right, 2.5));
}

// The small title-bar buttons: a glyph, lit on a rounded pill.
QImage TitleButton(const QImage& base, State state, bool close) {
    QImage image = base.copy();
    const QSize size = LogicalSize(image);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QColor glyph = theme::kLabel;
    if (state != State::Normal) {
        const QColor pill =
            close ? (state == State::Focus ? theme::kClose : theme::kClose.darker(130))
                  : (state == State::Focus ? QColor(0x55, 0x5d, 0x69) : QColor(0x2e, 0x33, 0x3a));
        p.setPen(Qt::NoPen);
        p.setBrush(pill);
        p.drawRoundedRect(QRectF(QPointF(0, 0), size), 3, 3);
        glyph = QColor(0xff, 0xff, 0xff);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    const int cx = size.width() / 2;
    if (ScaleOf(image) == 1) {
        DrawPixelGlyph(p, glyph, cx, close);
    } else {
        DrawLineGlyph(p, glyph, cx, close);
    }
    return image;
}

// A check box at scale 1, pixel by pixel: an empty frame, or filled and ticked.
void DrawPixelCheck(QPainter& p, bool ticked) {
    if (!ticked) {
        p.setPen(theme::kFaint);
        p.drawRect(0, 0, 7, 7);
        p.setPen(theme::kWell);
        for (QPoint corner : {QPoint(0, 0), QPoint(7, 0), QPoint(0, 7), QPoint(7, 7)}) {
            p.drawPoint(corner);
        }
        return;
    }
    p.fillRect(1, 0, 6, 8, theme::kAccent);
    p.fillRect(0, 1, 8, 6, theme::kAccent);
    p.setPen(QColor(0x1c, 0x10, 0x0a));
    for (QPoint dot :
         {QPoint(1, 4), QPoint(2, 5), QPoint(3, 6), QPoint(4, 5), QPoint(5, 4), QPoint(6, 3),
          QPoint(6, 2), QPoint(2, 4), QPoint(3, 5), QPoint(4, 4), QPoint(5, 3)}) {
        p.drawPoint(dot);
    }
}

// The same check box drawn as shapes at a higher scale: rounded corners and a smooth tick.
void DrawShapeCheck(QPainter& p, bool ticked) {
    p.setRenderHint(QPainter::Antialiasing);
    if (!ticked) {
        p.setPen(QPen(theme::kFaint, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(0.5, 0.5, 7, 7), 1.2, 1.2);
        return;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(theme::kAccent);
    p.drawRoundedRect(QRectF(0, 0, 8, 8), 1.5, 1.5);
    p.setPen(QPen(QColor(0x1c, 0x10, 0x0a), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(1.7, 4.4), QPointF(3.5, 6.1), QPointF(6.4, 2.4)}));
}

// A check box: an empty frame when idle, filled and ticked when lit or pressed.
QImage CheckButton(const QImage& base, bool ticked) {
    QImage image = base.copy();
    QPainter p(&image);
    if (ScaleOf(image) == 1) {
        DrawPixelCheck(p, ticked);
    } else {
        DrawShapeCheck(p, ticked);
    }
    return image;
}

// Eight frames of a ring of dots whose bright head turns clockwise by one eighth per frame.
QImage SpinnerStrip(const QImage& base) {
    constexpr int kFrames = 8;
    const QSize frameSize = LogicalSize(base);
    QImage strip(base.width() * kFrames, base.height(), QImage::Format_RGB32);
    strip.setDevicePixelRatio(base.devicePixelRatio());
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor tail(0x3c, 0x41, 0x49);
    for (int frame = 0; frame < kFrames; ++frame) {
        const int left = frame * frameSize.width();
        p.drawImage(left, 0, base);
        const QPointF centre(left + 16, 15);
        for (int behind = kFrames - 1; behind >= 0; --behind) {
            const double angle = (frame - behind - 2) * kPi / 4;
            const double t = std::pow(behind / double(kFrames - 1), 0.6);
            const QColor colour =
                QColor::fromRgbF(float(theme::kAccent.redF() * (1 - t) + tail.redF() * t),
                                 float(theme::kAccent.greenF() * (1 - t) + tail.greenF() * t),
                                 float(theme::kAccent.blueF() * (1 - t) + tail.blueF() * t));
            p.setBrush(colour);
            const QPointF at(centre.x() + 9 * std::cos(angle), centre.y() + 9 * std::sin(angle));
            const double radius = 2.5 - 0.12 * behind;
            p.drawEllipse(at, radius, radius);
        }
    }
    return strip;
}

// The part of `background` at `rect`'s top left corner of `size` window pixels, at the
// background's scale.
QImage Crop(const QImage& background, const QRect& rect, QSize size) {
    const int scale = ScaleOf(background);
    QImage part = background.copy(QRect(rect.topLeft() * scale, size * scale));
    part.setDevicePixelRatio(scale);
    return part;
}

const ControlLayout& Spot(int id) {
    return MainWindowControl(id);
}

void AddFaceButton(std::map<int, QImage>& out, const QImage& background, int controlId, bool accent,
                   const QString& caption) {
    const auto& spot = Spot(controlId);
    const QImage base = Crop(background, spot.rect, spot.rect.size());
    out[spot.normal] = FaceButton(base, accent, State::Normal, caption);
    out[spot.pressed] = FaceButton(base, accent, State::Pressed, caption);
    out[spot.focus] = FaceButton(base, accent, State::Focus, caption);
}

template <typename Draw>
void AddButton(std::map<int, QImage>& out, const QImage& background, int controlId, Draw draw) {
    const auto& spot = Spot(controlId);
    const QImage base = Crop(background, spot.rect, spot.rect.size());
    out[spot.normal] = draw(base, State::Normal);
    out[spot.pressed] = draw(base, State::Pressed);
    out[spot.focus] = draw(base, State::Focus);
}

}  // namespace

std::map<int, QImage> DrawControlImages(const QImage& background) {
    std::map<int, QImage> out;
    AddButton(out, background, 100,
              [](const QImage& base, State s) { return TitleButton(base, s, true); });
    AddButton(out, background, 101,
              [](const QImage& base, State s) { return TitleButton(base, s, false); });
    AddButton(out, background, 102, StartButton);
    AddFaceButton(out, background, 103, false, QStringLiteral("?"));
    AddFaceButton(out, background, 104, false, QStringLiteral("GPX file\u2026"));
    AddFaceButton(out, background, 105, false, QStringLiteral("Folders\u2026"));
    AddButton(out, background, 106, LinkButton);
    for (int id : {111, 112}) {
        const auto& spot = Spot(id);
        const QImage base = Crop(background, spot.rect, spot.rect.size());
        out[spot.normal] = CheckButton(base, false);
        out[spot.pressed] = CheckButton(base, true);
    }
    // Fields: the well under them. Two backgrounds are one pixel lower and five narrower than
    // their fields; the field fills the rest from the image's edge.
    const QSize narrow(230, 11), wide(235, 12);
    out[Spot(107).normal] = Crop(background, Spot(107).rect, narrow);
    out[Spot(108).normal] = Crop(background, Spot(108).rect, wide);
    out[Spot(109).normal] = Crop(background, Spot(109).rect, wide);
    out[Spot(110).normal] = Crop(background, Spot(110).rect, wide);
    out[Spot(116).normal] = Crop(background, Spot(116).rect, narrow);
    out[Spot(117).normal] = Crop(background, Spot(117).rect, QSize(74, 12));
    out[Spot(118).normal] = SpinnerStrip(Crop(background, Spot(118).rect, QSize(32, 30)));
    return out;
}
