// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ComboBoxItems.h"

#include "config/DialogBuilder.h"

namespace {

// The first position whose text sorts after `text`, ignoring case; count() when none does.
int SortedPosition(const QComboBox& box, const QString& text) {
    int low = 0;
    int high = box.count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (QString::compare(box.itemText(middle), text, Qt::CaseInsensitive) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

}  // namespace

int AddComboString(QComboBox& box, const QString& text) {
    const bool hadSelection = box.currentIndex() >= 0;
    const int position = ControlHasStyle(box, kSorted) ? SortedPosition(box, text) : box.count();
    box.insertItem(position, text);
    if (!hadSelection && box.currentIndex() >= 0) {
        box.setCurrentIndex(-1);
    }
    return position;
}
