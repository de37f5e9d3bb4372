// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The busy indicator's animation: one thread, created by the first Start and then suspended and
// resumed by Stop and Start through a gate that it waits on between frames, so that a resumed
// animation continues from the frame where it stopped. The thread shows its frames on one
// frame view at a time: the one that first started it, and once that one is forgotten (its
// spinner destroyed), the next one that starts it.
//
// The program has one animation, Instance(), which lives as long as the process. An animation
// made on its own (as tests do) ends its thread when it is destroyed.

#include <chrono>
#include <thread>

#include "platform/Mutex.h"

// What the animation shows its frames on. ShowFrame is called on the animation thread.
class SpinnerFrameView {
public:
    virtual void ShowFrame(int frame) = 0;
    // The frame shown now.
    virtual int ShownFrame() const = 0;

protected:
    ~SpinnerFrameView() = default;
};

class SpinnerAnimation {
public:
    static constexpr int kFrameCount = 8;
    static constexpr std::chrono::milliseconds kFrameTime{100};

    // The program's animation.
    static SpinnerAnimation& Instance();

    SpinnerAnimation() = default;
    ~SpinnerAnimation();
    SpinnerAnimation(const SpinnerAnimation&) = delete;
    SpinnerAnimation& operator=(const SpinnerAnimation&) = delete;

    // Creates the thread, showing on `view`, the first time; afterwards removes one suspension
    // (none left: nothing). Takes `view` when no view is bound.
    void Start(SpinnerFrameView* view);
    // Adds one suspension; nothing while no thread exists.
    void Stop();
    // The thread no longer touches `view`; returns once a frame step in progress is done.
    void Forget(SpinnerFrameView* view);

    bool ThreadExists() const;
    // Threads this animation has created: 0 or 1.
    int ThreadsCreated() const;

    // A consistent view of the animation for observers: frame steps taken since the thread
    // started, the frame the next step shows, and the frame the bound view shows (-1 when no
    // view is bound).
    struct Progress {
        long steps;
        int nextFrame;
        int shownFrame;
    };
    Progress CurrentProgress() const;

private:
    // The thread's procedure: every 100 ms, once through the gate, the next frame.
    void AnimationThreadProc();
    // Waits until the animation may step: not suspended, bound to a view, not ending.
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
