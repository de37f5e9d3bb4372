// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tagging pass whose course the test scripts: it takes the inputs, reports a start, the
// counts it is given and, once released or asked to stop, the summary it is given.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "run/TaggingRunner.h"

class FakeTaggingRunner : public TaggingRunner {
public:
    // Shared by the fake (which the window owns) and the test, which may outlive the window.
    struct Script {
        bool hold = false;    // wait after the counts until released or asked to stop
        RunSummary progress;  // the counts reported once, after the start
        RunSummary finished;  // the summary reported last; `stopped` is set on a stop
        // What the fake saw, guarded by `mutex`.
        std::mutex mutex;
        std::condition_variable changed;
        int passes = 0;
        bool running = false;
        bool released = false;
        bool stopRequested = false;
        TaggingRunInputs inputs;  // of the last pass

        void Release() {
            std::lock_guard<std::mutex> lock(mutex);
            released = true;
            changed.notify_all();
        }
        bool WaitUntilRunning(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
            std::unique_lock<std::mutex> lock(mutex);
            return changed.wait_for(lock, timeout, [this] { return running; });
        }
    };

    explicit FakeTaggingRunner(std::shared_ptr<Script> script) : m_Script(std::move(script)) {}

    void RunTaggingPass(TaggingRunEvents& events, const TaggingRunInputs& inputs) override {
        RunSummary summary = m_Script->finished;
        {
            std::lock_guard<std::mutex> lock(m_Script->mutex);
            ++m_Script->passes;
            m_Script->inputs = inputs;
            m_Script->running = true;
            m_Script->changed.notify_all();
        }
        events.RunStarted();
        events.RunProgressed(m_Script->progress);
        {
            std::unique_lock<std::mutex> lock(m_Script->mutex);
            m_Script->changed.wait(lock, [this] {
                return !m_Script->hold || m_Script->released || m_Script->stopRequested;
            });
            summary.stopped = summary.stopped || m_Script->stopRequested;
            m_Script->running = false;
        }
        events.RunFinished(summary);
    }
    void RequestStop() override {
        std::lock_guard<std::mutex> lock(m_Script->mutex);
        m_Script->stopRequested = true;
        m_Script->changed.notify_all();
    }
    void ClearStopRequest() override {
        std::lock_guard<std::mutex> lock(m_Script->mutex);
        m_Script->stopRequested = false;
    }

private:
    std::shared_ptr<Script> m_Script;
};
