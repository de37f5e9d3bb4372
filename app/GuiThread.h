// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Carrying out work on the GUI thread from any thread.

#include <QObject>
#include <functional>

// Runs `work` on the thread of `context` and waits for it to finish; runs it at once when
// called on that thread. The caller must not hold anything the GUI thread may wait for.
void RunOnGuiThreadAndWait(QObject* context, const std::function<void()>& work);

// Queues `work` to run on the thread of `context` and returns at once. Dropped when `context`
// is destroyed first.
void PostToGuiThread(QObject* context, std::function<void()> work);
