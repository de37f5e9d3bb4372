// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shortening a path to a width by an ellipsis in its middle.

#include <QFontMetrics>
#include <QString>

// `text` fitted to `width` pixels: unchanged if it fits, else "..." replaces characters before
// the last '/' or '\', the rest kept whole even if too wide; without a separator it ends in "...".
QString ElidePath(const QString& text, const QFontMetrics& metrics, int width);
