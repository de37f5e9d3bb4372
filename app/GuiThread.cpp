// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GuiThread.h"

#include <QMetaObject>

void PostToGuiThread(QObject* context, std::function<void()> work) {
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}
