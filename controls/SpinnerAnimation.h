#pragma once
// The process's one spinner animation thread. Created by the first Start and never ended; Stop
// and Start suspend and resume it through a gate that it waits on between frames, so a resumed
// animation continues from the frame where it stopped. The thread is bound to the spinner that
// first started it; once that spinner is destroyed it waits until another one starts it.

#include <chrono>
#include <condition_variable>
#include <mutex>

class CSpinner;

class SpinnerAnimation {
public:
    static SpinnerAnimation& Instance();

    // Creates the thread bound to `spinner` the first time; afterwards removes one suspension
    // (none left: nothing). Binds `spinner` when the bound spinner was destroyed.
    void Start(CSpinner* spinner);
    // Adds one suspension; nothing while no thread exists.
    void Stop();
    // The thread no longer touches `spinner`; returns once a frame step in progress is done.
    void Forget(CSpinner* spinner);

    bool ThreadExists() const;
    // Threads created in this process: 0 or 1.
    int ThreadsCreated() const;

    // A consistent view of the animation for observers: frame steps taken since the thread
    // started, the frame the next step shows, and the frame the bound spinner shows (-1 when
    // no spinner is bound).
    struct Progress {
        long steps;
        int nextFrame;
        int shownFrame;
    };
    Progress CurrentProgress() const;

    static constexpr std::chrono::milliseconds kFrameTime{100};

private:
    SpinnerAnimation() = default;
    void Run();
    // Waits until the animation may step: not suspended and bound to a spinner.
    void WaitAtGate(std::unique_lock<std::mutex>& lock);

    mutable std::mutex m_Mutex;
    std::condition_variable m_Gate;
    CSpinner* m_Spinner = nullptr;
    int m_SuspendCount = 0;
    int m_ThreadsCreated = 0;
    long m_Steps = 0;
    int m_NextFrame = 0;
};
