// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the main window's layout table, one control a line, for scripts such as the end-to-end
// test: id, kind, left, top, right and bottom (right and bottom excluded), and the normal,
// pressed, focus and disabled bitmap ids.
#include <cstdio>

#include "resources/MainWindowLayout.h"

namespace {

const char* KindName(WindowControlKind kind) {
    switch (kind) {
        case WindowControlKind::Button:
            return "button";
        case WindowControlKind::Check:
            return "check";
        case WindowControlKind::Field:
            return "field";
        case WindowControlKind::Spinner:
            return "spinner";
    }
    return "?";
}

}  // namespace

int main() {
    for (const ControlLayout& c : MainWindowLayout()) {
        std::printf("%d %s %d %d %d %d %d %d %d %d\n", c.id, KindName(c.kind), c.rect.left(),
                    c.rect.top(), c.rect.left() + c.rect.width(), c.rect.top() + c.rect.height(),
                    c.normal, c.pressed, c.focus, c.disabled);
    }
    return 0;
}
