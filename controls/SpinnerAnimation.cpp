// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SpinnerAnimation.h"

SpinnerAnimation& SpinnerAnimation::Instance() {
    // Never destroyed: its thread runs until the process ends.
    static SpinnerAnimation* const instance = new SpinnerAnimation;
    return *instance;
}

SpinnerAnimation::~SpinnerAnimation() {
    {
        MutexLock lock(m_Mutex);
        m_Ending = true;
    }
    m_Gate.SignalAll();
    if (m_Thread.joinable()) {
        m_Thread.join();
    }
}

void SpinnerAnimation::Start(SpinnerFrameView* view) {
    MutexLock lock(m_Mutex);
    if (m_View == nullptr) {
        m_View = view;
    }
    if (m_ThreadsCreated == 0) {
        ++m_ThreadsCreated;
        m_Thread = std::thread([this] { AnimationThreadProc(); });
    } else if (m_SuspendCount > 0) {
        --m_SuspendCount;
    }
    m_Gate.SignalAll();
}

void SpinnerAnimation::Stop() {
    MutexLock lock(m_Mutex);
    if (m_ThreadsCreated > 0) {
        ++m_SuspendCount;
    }
}

void SpinnerAnimation::Forget(SpinnerFrameView* view) {
    MutexLock lock(m_Mutex);
    if (m_View == view) {
        m_View = nullptr;
    }
}

bool SpinnerAnimation::ThreadExists() const {
    return ThreadsCreated() > 0;
}

int SpinnerAnimation::ThreadsCreated() const {
    MutexLock lock(m_Mutex);
    return m_ThreadsCreated;
}

SpinnerAnimation::Progress SpinnerAnimation::CurrentProgress() const {
    MutexLock lock(m_Mutex);
    return {m_Steps, m_NextFrame, m_View != nullptr ? m_View->ShownFrame() : -1};
}

void SpinnerAnimation::WaitAtGate() {
    while (!m_Ending && (m_SuspendCount != 0 || m_View == nullptr)) {
        m_Gate.Wait();
    }
}

void SpinnerAnimation::AnimationThreadProc() {
    MutexLock lock(m_Mutex);
    while (!m_Ending) {
        const auto wakeAt = std::chrono::steady_clock::now() + kFrameTime;
        for (auto now = std::chrono::steady_clock::now(); !m_Ending && now < wakeAt;
             now = std::chrono::steady_clock::now()) {
            m_Gate.WaitFor(wakeAt - now);
        }
        WaitAtGate();
        if (m_Ending) {
            break;
        }
        // Under the lock, so that the view cannot be forgotten and destroyed meanwhile.
        m_View->ShowFrame(m_NextFrame);
        m_NextFrame = (m_NextFrame + 1) % kFrameCount;
        ++m_Steps;
    }
}
