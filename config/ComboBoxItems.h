// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Adding items to a combo box as the Windows combo box does it: a box built with kSorted keeps
// its list sorted by text, ignoring case, and places each new item at its sorted position;
// other boxes append. Adding never changes which item is selected: a box without a selection
// keeps none (Qt on its own would select the first item added to an empty box), and a selected
// item stays selected wherever the new item lands.

#include <QComboBox>
#include <QString>

// Adds `text` and returns the position at which it now stands. Among items whose texts are
// equal ignoring case, the new one goes last.
int AddComboString(QComboBox& box, const QString& text);
