// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// From a worker thread to the GUI thread: posted, never waited for, so no deadlock.

#include <QObject>
#include <functional>

// Queues `work` on `context`'s thread and returns at once; dropped if `context` goes first.
void PostToGuiThread(QObject* context, std::function<void()> work);
