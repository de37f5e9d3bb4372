#include "controls/SpinnerAnimation.h"

#include <thread>

#include "controls/CSpinner.h"

SpinnerAnimation& SpinnerAnimation::Instance() {
    // Never destroyed: the thread runs until the process ends and must not outlive its state.
    static SpinnerAnimation* const instance = new SpinnerAnimation;
    return *instance;
}

void SpinnerAnimation::Start(CSpinner* spinner) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Spinner == nullptr) {
        m_Spinner = spinner;
    }
    if (m_ThreadsCreated == 0) {
        ++m_ThreadsCreated;
        std::thread([this] { Run(); }).detach();
    } else if (m_SuspendCount > 0) {
        --m_SuspendCount;
    }
    m_Gate.notify_all();
}

void SpinnerAnimation::Stop() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_ThreadsCreated > 0) {
        ++m_SuspendCount;
    }
}

void SpinnerAnimation::Forget(CSpinner* spinner) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Spinner == spinner) {
        m_Spinner = nullptr;
    }
}

bool SpinnerAnimation::ThreadExists() const {
    return ThreadsCreated() > 0;
}

int SpinnerAnimation::ThreadsCreated() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_ThreadsCreated;
}

SpinnerAnimation::Progress SpinnerAnimation::CurrentProgress() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return {m_Steps, m_NextFrame, m_Spinner != nullptr ? m_Spinner->Frame() : -1};
}

void SpinnerAnimation::WaitAtGate(std::unique_lock<std::mutex>& lock) {
    m_Gate.wait(lock, [this] { return m_SuspendCount == 0 && m_Spinner != nullptr; });
}

void SpinnerAnimation::Run() {
    for (;;) {
        std::this_thread::sleep_for(kFrameTime);
        std::unique_lock<std::mutex> lock(m_Mutex);
        WaitAtGate(lock);
        // Under the lock, so that the spinner cannot be destroyed meanwhile.
        m_Spinner->ShowFrame(m_NextFrame);
        m_NextFrame = (m_NextFrame + 1) % CSpinner::kFrameCount;
        ++m_Steps;
    }
}
