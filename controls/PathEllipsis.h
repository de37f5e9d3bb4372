// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shortening a path to a width by an ellipsis in its middle.

#include <QFontMetrics>
#include <QString>

// `text` as drawn in at most `width` pixels of `metrics`' font. A text that fits is returned
// unchanged. Otherwise characters before the last separator ('/' or '\') are replaced by "...",
// keeping as many leading characters as fit, and the part from the last separator on is kept
// whole, even when it alone is too wide (the drawing then clips its end). A text without a
// separator keeps its start and ends in "...".
QString ElidePath(const QString& text, const QFontMetrics& metrics, int width);
