// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <vector>

#include "SkinArt.h"
#include "SkinTheme.h"
#include "controls/ControlRect.h"
#include "resources/MainWindowLayout.h"

namespace {

// The mask's outside pixels, looked up quickly: the outline is measured around every pixel.
class Outside {
public:
    explicit Outside(const QImage& mask)
        : m_Width(mask.width()), m_Height(mask.height()), m_Cut(mask.width() * mask.height()) {
        for (int y = 0; y < m_Height; ++y) {
            for (int x = 0; x < m_Width; ++x) {
                m_Cut[y * m_Width + x] = mask.pixel(x, y) == 0xff000000u;
            }
        }
    }
    // Points beyond the mask are outside too.
    bool At(int x, int y) const {
        return x < 0 || y < 0 || x >= m_Width || y >= m_Height || m_Cut[y * m_Width + x];
    }

private:
    int m_Width;
    int m_Height;
    std::vector<bool> m_Cut;
};

// Distance in rings (1 for the outermost inside pixels) from the outside, up to `limit`.
int RingOf(const Outside& outside, int x, int y, int limit) {
    for (int ring = 1; ring <= limit; ++ring) {
        for (int dy = -ring; dy <= ring; ++dy) {
            for (int dx = -ring; dx <= ring; ++dx) {
                if (outside.At(x + dx, y + dy)) {
                    return ring;
                }
            }
        }
    }
    return 0;
}

void DrawPanel(QPainter& p) {
    QLinearGradient fill(0, 0, 0, kMainWindowHeight);
    fill.setColorAt(0, theme::kPanelTop);
    fill.setColorAt(1, theme::kPanelBottom);
    p.fillRect(0, 0, kMainWindowWidth, kMainWindowHeight, fill);
    p.fillRect(0, 0, kMainWindowWidth, 19, theme::kHeader);
}

// An etched horizontal line: dark above, light below.
void DrawGroove(QPainter& p, int left, int right, int y) {
    p.fillRect(left, y, right - left, 1, theme::kGrooveDark);
    p.fillRect(left, y + 1, right - left, 1, theme::kGrooveLight);
}

// A recessed area whose inside is flat, so that field and check images cut from it match.
void DrawWell(QPainter& p, const QRect& r) {
    p.fillRect(r, theme::kWellLight);
    p.fillRect(r.adjusted(0, 0, 0, -1), theme::kWellShadow);
    p.fillRect(r.adjusted(1, 1, -1, -1), theme::kWell);
}

void DrawText(QPainter& p, const QFont& font, const QColor& colour, int x, int baseline,
              const QString& text) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(x, baseline, text);
}

// A small map pin, the program's mark.
void DrawPin(QPainter& p, QPointF tip, qreal radius, const QColor& colour) {
    QPainterPath pin;
    const QPointF centre(tip.x(), tip.y() - radius * 1.9);
    pin.moveTo(tip);
    pin.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), -60, 300);
    pin.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(pin);
    p.setBrush(theme::kHeader);
    p.drawEllipse(centre, radius * 0.42, radius * 0.42);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// A small folder outline.
void DrawFolderGlyph(QPainter& p, int x, int y, const QColor& colour) {
    p.fillRect(x, y, 4, 1, colour);
    p.fillRect(x, y + 1, 9, 6, colour);
    p.fillRect(x + 1, y + 3, 7, 3, theme::kPanelTop.darker(105));
}

// A small track: dots joined into a zig-zag.
void DrawTrackGlyph(QPainter& p, int x, int y, const QColor& colour) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.2));
    p.drawPolyline(QPolygonF({QPointF(x + 0.5, y + 6.5), QPointF(x + 3.5, y + 2.5),
                              QPointF(x + 6, y + 5), QPointF(x + 8.5, y + 0.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(x + 8.5, y + 0.8), 1.4, 1.4);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// A small activity trace.
void DrawStatusGlyph(QPainter& p, int x, int y, const QColor& colour) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.2));
    p.drawPolyline(
        QPolygonF({QPointF(x, y + 4), QPointF(x + 2.5, y + 4), QPointF(x + 4, y + 0.5),
                   QPointF(x + 5.5, y + 7), QPointF(x + 7, y + 4), QPointF(x + 9, y + 4)}));
    p.setRenderHint(QPainter::Antialiasing, false);
}

// Black outside the mask, and two rings along its inside: a light edge, then a dark one, each one
// window pixel wide at the mask's scale.
void DrawOutline(QImage& image, const QImage& mask) {
    const int scale = qRound(mask.devicePixelRatio());
    const Outside outside(mask);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (outside.At(x, y)) {
                image.setPixel(x, y, 0xff000000u);
                continue;
            }
            const int ring = (RingOf(outside, x, y, 2 * scale) + scale - 1) / scale;
            if (ring == 1) {
                image.setPixel(x, y, theme::kEdgeOuter.rgb());
            } else if (ring == 2) {
                image.setPixel(x, y, theme::kEdgeInner.rgb());
            }
        }
    }
}

}  // namespace

QImage DrawBackground(const QImage& mask) {
    const int scale = qRound(mask.devicePixelRatio());
    QImage image(kMainWindowWidth * scale, kMainWindowHeight * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    DrawPanel(p);
    DrawGroove(p, 2, kMainWindowWidth - 2, 19);

    const QFont title = theme::SkinFont("DejaVu Sans", 11, QFont::Bold);
    const QFont subtitle = theme::SkinFont("DejaVu Sans", 9, QFont::Normal);
    const QFont label = theme::SkinFont("DejaVu Sans", 9, QFont::Bold);
    DrawPin(p, QPointF(16.5, 15), 3.6, theme::kAccent);
    DrawText(p, title, theme::kTitle, 24, 14, QStringLiteral("Fenrik"));
    DrawText(p, subtitle, theme::kFaint, 70, 14, QStringLiteral("photo geotagger"));

    // The GPX track: label beside the file button, the path in a well below.
    DrawTrackGlyph(p, 24, 28, theme::kCyan);
    DrawText(p, label, theme::kLabel, 37, 35, QStringLiteral("GPX track"));
    DrawWell(p, RectFromLTRB(24, 42, 276, 58));
    DrawGroove(p, 14, 282, 66);

    // The hot folders: label beside the folders button, four rows in one well below.
    DrawFolderGlyph(p, 24, 83, theme::kAccent);
    DrawText(p, label, theme::kLabel, 37, 90, QStringLiteral("Hot folders"));
    DrawWell(p, RectFromLTRB(24, 96, 276, 152));
    for (int y : {110, 123, 136}) {
        p.fillRect(RectFromLTRB(26, y, 274, y + 1), theme::kWellRow);
    }

    // Status line and busy indicator.
    DrawStatusGlyph(p, 24, 161, theme::kAmber);
    DrawText(p, label, theme::kLabel, 37, 168, QStringLiteral("Status"));

    // Footer.
    DrawGroove(p, 14, 282, 202);
    p.setFont(subtitle);
    p.setPen(theme::kFaint);
    p.drawText(RectFromLTRB(120, 211, 280, 225), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("GPX \u2192 Exif GPS"));
    p.end();

    DrawOutline(image, mask);
    return image;
}
