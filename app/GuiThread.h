// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way from a worker thread to the GUI thread: work is posted, never waited for, so the
// GUI thread may wait for a worker without a deadlock.

#include <QObject>
#include <functional>

// Queues `work` to run on the thread of `context` and returns at once. Dropped when `context`
// is destroyed first.
void PostToGuiThread(QObject* context, std::function<void()> work);
