// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/WriteThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Jobs start in the order they were submitted, on threads other than the caller's (or on the
// caller's own when there are none), and every job queued runs before the threads end.
TEST(WriteThreads, JobsStartInOrderAndAllRunBeforeTheThreadsEnd) {
    for (const size_t count : {size_t{0}, size_t{1}, size_t{2}}) {
        std::mutex mutex;
        std::vector<int> started;
        std::atomic<int> onCaller{0};
        const std::thread::id caller = std::this_thread::get_id();
        {
            WriteThreads threads(count);
            EXPECT_EQ(threads.Count(), count);
            for (int i = 0; i < 50; ++i) {
                threads.Submit([&, i] {
                    {
                        std::lock_guard<std::mutex> lock(mutex);
                        started.push_back(i);
                    }
                    onCaller += std::this_thread::get_id() == caller ? 1 : 0;
                });
            }
        }
        ASSERT_EQ(started.size(), 50u) << count;
        if (count <= 1) {
            for (int i = 0; i < 50; ++i) {
                EXPECT_EQ(started[static_cast<size_t>(i)], i) << count;
            }
        }
        EXPECT_EQ(onCaller, count == 0 ? 50 : 0) << count;
    }
}

// What a job throws reaches the one who waits for it; the threads go on with the next job.
TEST(WriteThreads, AJobThatThrowsHandsItsExceptionToItsFuture) {
    WriteThreads threads(2);
    std::future<void> failed = threads.Submit([] { throw std::runtime_error("disk gone"); });
    std::atomic<bool> ran{false};
    std::future<void> next = threads.Submit([&ran] { ran = true; });
    EXPECT_THROW(failed.get(), std::runtime_error);
    next.get();
    EXPECT_TRUE(ran);
}

}  // namespace
