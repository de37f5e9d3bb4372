// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <cstdint>
#include <cstring>

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    int64_t product = static_cast<int64_t>(value) * numerator;
    int64_t divisor = denominator;
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    const int64_t quotient =
        product >= 0 ? (product + divisor / 2) / divisor : -((-product + divisor / 2) / divisor);
    if (quotient < INT32_MIN || quotient > INT32_MAX) {
        return -1;
    }
    return static_cast<int>(quotient);
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(letters / 26 + 1) / 2, metrics.ascent() + metrics.descent()};
}

int HorizontalDluToPixels(int x, DialogBaseUnits base) {
    return MulDiv(x, base.x, 4);
}

int VerticalDluToPixels(int y, DialogBaseUnits base) {
    return MulDiv(y, base.y, 8);
}

QRect DluToPixels(const DluRect& rect, DialogBaseUnits base) {
    return QRect(HorizontalDluToPixels(rect.x, base), VerticalDluToPixels(rect.y, base),
                 HorizontalDluToPixels(rect.width, base), VerticalDluToPixels(rect.height, base));
}

QFont DialogFont(const char* face, int pointSize) {
    const bool shellFont =
        std::strcmp(face, "MS Shell Dlg") == 0 || std::strcmp(face, "MS Shell Dlg 2") == 0;
    QFont font = shellFont ? QFontDatabase::systemFont(QFontDatabase::GeneralFont)
                           : QFont(QString::fromUtf8(face));
    font.setStyleHint(QFont::SansSerif);
    if (pointSize >= 1) {
        font.setPointSize(pointSize);
    }
    return font;
}
