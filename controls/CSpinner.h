// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The busy indicator: one of the eight frames of skin strip 163, advanced by the animation thread.

#include <QWidget>
#include <atomic>

#include "controls/SkinBitmap.h"
#include "controls/SpinnerAnimation.h"

class CSpinner : public QWidget, private SpinnerFrameView {
    Q_OBJECT

public:
    // `animation` must outlive the spinner.
    explicit CSpinner(QWidget* parent = nullptr,
                      SpinnerAnimation& animation = SpinnerAnimation::Instance());
    // Detaches from the animation thread first.
    ~CSpinner() override;

    // Places the spinner, hidden; the owner shows and hides it.
    void Create(QRect rect, QWidget* parent, int id);

    // Start runs the animation (the first creates its thread) from where it stopped; Stop suspends
    // it. Any thread, but not while the spinner is being destroyed.
    void Start();
    void Stop();

    int Id() const { return m_Id; }
    // The frame shown now, 0 .. 7.
    int Frame() const { return m_FrameX.load() / kFrameWidth; }

    static constexpr int kFrameWidth = 32;
    static constexpr int kFrameHeight = 30;
    static constexpr int kFrameCount = SpinnerAnimation::kFrameCount;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Called on the animation thread; the repaint happens on the GUI thread.
    void ShowFrame(int frame) override;
    int ShownFrame() const override { return Frame(); }

    SpinnerAnimation& m_Animation;

    // Written by the animation thread, read while painting.
    std::atomic<int> m_FrameX{0};
    std::atomic<int> m_FrameY{0};
    std::atomic<int> m_FrameRight{kFrameWidth};
    std::atomic<int> m_FrameHeight{kFrameHeight};
    SkinBitmap m_Strip;
    int m_Id = 0;
};
