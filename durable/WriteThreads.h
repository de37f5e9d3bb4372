// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Threads that write tagged photos' new files while the photos after them are read, matched
// and edited: on a machine with more than one core, the kernel's work of making a new file
// (allocating it, copying the image data, starting its writeback) then overlaps with the
// reading of the next photo, and two new files are made at once.

#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "platform/Mutex.h"

class WriteThreads {
public:
    // Starts `count` threads; with 0, or where not even one thread can be started, every job
    // runs inside Submit, on the calling thread.
    explicit WriteThreads(size_t count);
    // Runs the jobs still queued, then ends the threads.
    ~WriteThreads();
    WriteThreads(const WriteThreads&) = delete;
    WriteThreads& operator=(const WriteThreads&) = delete;

    // Queues `job` to run on the first free thread, jobs starting in the order they were
    // submitted. The future is ready once the job has run; it holds what the job threw.
    std::future<void> Submit(std::function<void()> job);
    // How many threads run the jobs; 0 when they run inside Submit.
    size_t Count() const { return m_Threads.size(); }

    // The threads a run writes with: two where the machine has two cores or more, none (the
    // run's own thread writes) on a single core.
    static size_t ForThisMachine();

private:
    void Work();

    Mutex m_Mutex;
    CondVar m_Wake{m_Mutex};
    std::deque<std::packaged_task<void()>> m_Jobs GUARDED_BY(m_Mutex);
    bool m_Closing GUARDED_BY(m_Mutex) = false;
    std::vector<std::thread> m_Threads;
};
