// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/CSpinner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "WidgetTestSupport.h"
#include "controls/ControlRect.h"
#include "controls/SpinnerAnimation.h"
#include "resources/SkinResources.h"

// Each test animates its spinner with an animation of its own, so that none sees another's
// thread, in whatever order they run.

namespace {

using Clock = std::chrono::steady_clock;

// Waits, handling events, until `done` holds; false after five seconds.
bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Pause(std::chrono::milliseconds time) {
    const auto end = Clock::now() + time;
    while (Clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

QImage StripFrame(int frame) {
    return Rgb32(LoadSkinBitmap(163).copy(frame * 32, 0, 32, 30));
}

class SpinnerTest : public WidgetTest {
protected:
    void SetUp() override {
        TestApp();
        m_Window.resize(200, 200);
        m_Spinner = std::make_unique<CSpinner>(nullptr, m_Animation);
        m_Spinner->Create(RectFromLTRB(99, 157, 131, 187), &m_Window, 118);
        m_Window.show();
    }

    SpinnerAnimation::Progress Progress() const { return m_Animation.CurrentProgress(); }

    SpinnerAnimation m_Animation;
    QWidget m_Window;
    std::unique_ptr<CSpinner> m_Spinner;
};

}  // namespace

TEST_F(SpinnerTest, StopBeforeAnyStartDoesNothing) {
    m_Spinner->Stop();
    EXPECT_FALSE(m_Animation.ThreadExists());
    // The later Start is not held back by that Stop.
    m_Spinner->Start();
    EXPECT_TRUE(WaitUntil([this] { return Progress().steps >= 1; }));
    m_Spinner->Stop();
}

TEST_F(SpinnerTest, IsCreatedHiddenShowingFrameZero) {
    EXPECT_EQ(m_Spinner->geometry(), QRect(99, 157, 32, 30));
    EXPECT_FALSE(m_Spinner->isVisible());
    EXPECT_EQ(m_Spinner->Frame(), 0);
    m_Spinner->show();
    EXPECT_EQ(Grab(*m_Spinner), StripFrame(0));
}

TEST_F(SpinnerTest, StartStopStartUsesOneThreadAndResumesWhereItStopped) {
    m_Spinner->show();
    const long before = Progress().steps;
    m_Spinner->Start();
    ASSERT_TRUE(WaitUntil([&] { return Progress().steps >= before + 3; }));
    m_Spinner->Stop();
    const auto stopped = Progress();
    EXPECT_EQ(m_Spinner->Frame(), stopped.shownFrame);
    EXPECT_EQ(Grab(*m_Spinner), StripFrame(stopped.shownFrame));

    Pause(std::chrono::milliseconds(350));
    EXPECT_EQ(Progress().steps, stopped.steps) << "no frame while stopped";
    EXPECT_EQ(m_Spinner->Frame(), stopped.shownFrame);

    m_Spinner->Start();
    ASSERT_TRUE(WaitUntil([&] { return Progress().steps >= stopped.steps + 2; }));
    m_Spinner->Stop();
    const auto resumed = Progress();
    const long more = resumed.steps - stopped.steps;
    EXPECT_EQ(resumed.shownFrame, (stopped.shownFrame + more) % 8)
        << "continues from the frame where it stopped";
    EXPECT_EQ(m_Animation.ThreadsCreated(), 1);
}

TEST_F(SpinnerTest, FramesAdvanceInOrderEveryHundredMilliseconds) {
    m_Spinner->show();
    const long before = Progress().steps;
    m_Spinner->Start();
    ASSERT_TRUE(WaitUntil([&] { return Progress().steps >= before + 1; }));
    const auto first = Progress();
    const auto start = Clock::now();
    auto previous = first;
    while (Clock::now() - start < std::chrono::milliseconds(1200)) {
        const auto now = Progress();
        // Whatever was missed between two looks, each step showed the next frame.
        ASSERT_EQ(now.shownFrame, (previous.shownFrame + (now.steps - previous.steps)) % 8);
        ASSERT_EQ(now.nextFrame, (now.shownFrame + 1) % 8);
        previous = now;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    m_Spinner->Stop();
    const long steps = Progress().steps - first.steps;
    EXPECT_LE(steps, 13) << "not faster than one frame every 100 ms";
    EXPECT_GE(steps, 4);
    // The repaint reached the widget on the GUI thread.
    QCoreApplication::processEvents();
    EXPECT_EQ(Grab(*m_Spinner), StripFrame(m_Spinner->Frame()));
}

TEST_F(SpinnerTest, DestroyingAnAnimatingSpinnerIsSafe) {
    m_Spinner->show();
    m_Spinner->Start();
    const long before = Progress().steps;
    ASSERT_TRUE(WaitUntil([&] { return Progress().steps >= before + 2; }));

    m_Spinner.reset();  // while it animates, with repaints still queued
    const long atDestruction = Progress().steps;
    Pause(std::chrono::milliseconds(350));
    EXPECT_LE(Progress().steps, atDestruction + 1) << "the thread waits for a spinner";
    EXPECT_EQ(Progress().shownFrame, -1);

    // A new spinner takes the same thread over.
    CSpinner next(nullptr, m_Animation);
    next.Create(RectFromLTRB(10, 10, 42, 40), &m_Window, 118);
    next.show();
    const long waiting = Progress().steps;
    next.Start();
    ASSERT_TRUE(WaitUntil([&] { return Progress().steps >= waiting + 2; }));
    next.Stop();
    EXPECT_EQ(next.Frame(), Progress().shownFrame);
    EXPECT_EQ(m_Animation.ThreadsCreated(), 1);
}
