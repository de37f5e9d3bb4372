// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/WriteThreads.h"

#include <system_error>
#include <utility>

WriteThreads::WriteThreads(size_t count) {
    try {
        for (size_t i = 0; i < count; ++i) {
            m_Threads.emplace_back([this] { Work(); });
        }
    } catch (const std::system_error&) {  // fewer threads, or none: the jobs still run
    }
}

WriteThreads::~WriteThreads() {
    {
        MutexLock lock(m_Mutex);
        m_Closing = true;
    }
    m_Wake.SignalAll();
    for (std::thread& thread : m_Threads) {
        thread.join();
    }
}

std::future<void> WriteThreads::Submit(std::function<void()> job) {
    std::packaged_task<void()> task(std::move(job));
    std::future<void> done = task.get_future();
    if (m_Threads.empty()) {
        task();
        return done;
    }
    {
        MutexLock lock(m_Mutex);
        m_Jobs.push_back(std::move(task));
    }
    m_Wake.Signal();
    return done;
}

size_t WriteThreads::ForThisMachine() {
    return std::thread::hardware_concurrency() >= 2 ? 2 : 0;
}

void WriteThreads::Work() {
    for (;;) {
        std::packaged_task<void()> task;
        {
            MutexLock lock(m_Mutex);
            while (!m_Closing && m_Jobs.empty()) {
                m_Wake.Wait();
            }
            if (m_Jobs.empty()) {
                return;  // closing, and nothing left to run
            }
            task = std::move(m_Jobs.front());
            m_Jobs.pop_front();
        }
        task();
    }
}
