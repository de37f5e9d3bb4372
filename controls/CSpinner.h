// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The busy indicator: shows one 32 x 30 frame of the eight in skin strip 163, advanced every
// 100 ms by the process's one animation thread while the animation runs.

#include <QWidget>
#include <atomic>

#include "controls/SkinBitmap.h"
#include "controls/SpinnerAnimation.h"

class CSpinner : public QWidget, private SpinnerFrameView {
    Q_OBJECT

public:
    // A spinner animated by `animation`, which must outlive it: the program's one animation
    // unless another is given.
    explicit CSpinner(QWidget* parent = nullptr,
                      SpinnerAnimation& animation = SpinnerAnimation::Instance());
    // Detaches the spinner from the animation thread first, so the thread never touches a
    // destroyed spinner.
    ~CSpinner() override;

    // Puts the spinner on `parent` at `rect` (parent coordinates) with control id `id`, hidden.
    // Showing and hiding it is the owner's business.
    void Create(QRect rect, QWidget* parent, int id);

    // Starts the animation: the first Start in the process creates the animation thread, later
    // ones resume it where it stopped. Callable from any thread, but not while the spinner is
    // being destroyed: the owner ends the caller's use of the spinner first.
    void Start();
    // Suspends the animation; nothing before the first Start. Callable from any thread.
    void Stop();

    int Id() const { return m_Id; }
    // The frame shown now, 0 .. 7.
    int Frame() const { return m_FrameX.load() / kFrameWidth; }

    static constexpr int kFrameWidth = 32;
    static constexpr int kFrameHeight = 30;
    static constexpr int kFrameCount = SpinnerAnimation::kFrameCount;

protected:
    // Copies the current frame from the strip, opaque, in the art that suits the screen's
    // density.
    void paintEvent(QPaintEvent* event) override;

private:
    // Called by the animation thread: shows `frame` and requests a repaint on the GUI thread.
    void ShowFrame(int frame) override;
    int ShownFrame() const override { return Frame(); }

    SpinnerAnimation& m_Animation;

    // Written by the animation thread, read by the GUI thread while painting.
    std::atomic<int> m_FrameX{0};
    std::atomic<int> m_FrameY{0};
    std::atomic<int> m_FrameRight{kFrameWidth};
    std::atomic<int> m_FrameHeight{kFrameHeight};
    SkinBitmap m_Strip;
    int m_Id = 0;
};
