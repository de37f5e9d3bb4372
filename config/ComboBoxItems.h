// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Adding items to a combo box: a kSorted box keeps its list sorted by text, ignoring case; others
// append. Adding never changes the selection, nor selects an item in a box that had none.

#include <QComboBox>
#include <QString>

// Adds `text` and returns its position; among texts equal ignoring case it goes last.
int AddComboString(QComboBox& box, const QString& text);
