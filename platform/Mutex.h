// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mutex, its scoped lock and a condition variable, annotated for clang's thread-safety analysis.

#include <condition_variable>
#include <mutex>

#include "platform/ThreadAnnotations.h"

class CAPABILITY("mutex") Mutex {
public:
    void Lock() ACQUIRE() { m_Mutex.lock(); }
    void Unlock() RELEASE() { m_Mutex.unlock(); }

private:
    friend class CondVar;
    std::mutex m_Mutex;
};

class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : m_Mutex(mutex) { m_Mutex.Lock(); }
    ~MutexLock() RELEASE() { m_Mutex.Unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& m_Mutex;
};

// Waits on `mutex`, which the waiter holds.
class CondVar {
public:
    explicit CondVar(Mutex& mutex) : m_Mutex(mutex) {}
    // Releases the mutex while it waits, and holds it again when it returns.
    void Wait() REQUIRES(m_Mutex) {
        std::unique_lock<std::mutex> lock(m_Mutex.m_Mutex, std::adopt_lock);
        m_Cond.wait(lock);
        lock.release();
    }
    // As Wait, for at most `timeout`; false when it passed.
    template <typename Duration>
    bool WaitFor(Duration timeout) REQUIRES(m_Mutex) {
        std::unique_lock<std::mutex> lock(m_Mutex.m_Mutex, std::adopt_lock);
        const bool woken = m_Cond.wait_for(lock, timeout) == std::cv_status::no_timeout;
        lock.release();
        return woken;
    }
    void Signal() { m_Cond.notify_one(); }
    void SignalAll() { m_Cond.notify_all(); }

private:
    Mutex& m_Mutex;
    std::condition_variable m_Cond;
};
