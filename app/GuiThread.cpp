// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GuiThread.h"

#include <QMetaObject>
#include <QThread>

void RunOnGuiThreadAndWait(QObject* context, const std::function<void()>& work) {
    if (QThread::currentThread() == context->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(context, work, Qt::BlockingQueuedConnection);
}

void PostToGuiThread(QObject* context, std::function<void()> work) {
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}
