// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/PathEllipsis.h"

#include <algorithm>

namespace {

const QString kEllipsis = QStringLiteral("...");

// The longest start of `head` such that start + "..." + `tail` fits, or -1 when none does.
qsizetype LongestFittingStart(const QString& head, const QString& tail, const QFontMetrics& metrics,
                              int width) {
    for (qsizetype keep = head.size(); keep >= 0; --keep) {
        if (metrics.horizontalAdvance(head.left(keep) + kEllipsis + tail) <= width) {
            return keep;
        }
    }
    return -1;
}

}  // namespace

QString ElidePath(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    const qsizetype separator =
        std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
    const QString head = separator < 0 ? text : text.left(separator);
    const QString tail = separator < 0 ? QString() : text.mid(separator);
    const qsizetype keep = LongestFittingStart(head, tail, metrics, width);
    return head.left(std::max<qsizetype>(keep, 0)) + kEllipsis + tail;
}
