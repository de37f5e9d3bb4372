// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The busy indicator's animation: one thread, made by the first Start, showing frames on one
// view at a time. An animation other than Instance() ends its thread when destroyed.

#include <chrono>
#include <thread>

#include "platform/Mutex.h"

// What the animation shows its frames on; ShowFrame is called on the animation thread.
class SpinnerFrameView {
public:
    virtual void ShowFrame(int frame) = 0;
    virtual int ShownFrame() const = 0;

protected:
    ~SpinnerFrameView() = default;
};

class SpinnerAnimation {
public:
    static constexpr int kFrameCount = 8;
    static constexpr std::chrono::milliseconds kFrameTime{100};

    // The program's animation, living as long as the process.
    static SpinnerAnimation& Instance();

    SpinnerAnimation() = default;
    ~SpinnerAnimation();
    SpinnerAnimation(const SpinnerAnimation&) = delete;
    SpinnerAnimation& operator=(const SpinnerAnimation&) = delete;

    // Creates the thread the first time, else removes one suspension; binds `view` if none is.
    void Start(SpinnerFrameView* view);
    // Adds one suspension; nothing while no thread exists.
    void Stop();
    // Unbinds `view`; returns once a frame step in progress is done.
    void Forget(SpinnerFrameView* view);

    bool ThreadExists() const;
    // Threads this animation has created: 0 or 1.
    int ThreadsCreated() const;

    // Steps since the thread started, the next frame, the bound view's frame (-1: none bound).
    struct Progress {
        long steps;
        int nextFrame;
        int shownFrame;
    };
    Progress CurrentProgress() const;

private:
    void AnimationThreadProc();
    // Waits until the animation is ending, or is bound to a view and not suspended.
    void WaitAtGate() REQUIRES(m_Mutex);

    mutable Mutex m_Mutex;
    CondVar m_Gate{m_Mutex};
    SpinnerFrameView* m_View GUARDED_BY(m_Mutex) = nullptr;
    int m_SuspendCount GUARDED_BY(m_Mutex) = 0;
    int m_ThreadsCreated GUARDED_BY(m_Mutex) = 0;
    long m_Steps GUARDED_BY(m_Mutex) = 0;
    int m_NextFrame GUARDED_BY(m_Mutex) = 0;
    bool m_Ending GUARDED_BY(m_Mutex) = false;
    std::thread m_Thread;
};
