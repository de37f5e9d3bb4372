// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Threads that make new files while the next photos are read.

#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "platform/Mutex.h"

class WriteThreads {
public:
    // Starts `count` threads; with 0, or if none can start, jobs run inside Submit on the caller.
    explicit WriteThreads(size_t count);
    // Runs the jobs still queued, then ends the threads.
    ~WriteThreads();
    WriteThreads(const WriteThreads&) = delete;
    WriteThreads& operator=(const WriteThreads&) = delete;

    // Queues `job`; jobs start in order. The future is ready once it ran, with what it threw.
    std::future<void> Submit(std::function<void()> job);
    // How many threads run the jobs; 0 when they run inside Submit.
    size_t Count() const { return m_Threads.size(); }

    // Two on a machine of two cores or more, none on one.
    static size_t ForThisMachine();

private:
    void Work();

    Mutex m_Mutex;
    CondVar m_Wake{m_Mutex};
    std::deque<std::packaged_task<void()>> m_Jobs GUARDED_BY(m_Mutex);
    bool m_Closing GUARDED_BY(m_Mutex) = false;
    std::vector<std::thread> m_Threads;
};
