// SPDX-License-Identifier: GPL-3.0-or-later
// Growing the descriptor table ahead of the threads that would otherwise grow it.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "TestSupport.h"
#include "platform/DescriptorTable.h"

namespace {

// How many descriptors the table holds now, as the kernel reports it.
size_t TableSize() {
    for (const std::string& line : SplitLines(ReadFileText("/proc/self/status"))) {
        if (line.rfind("FDSize:", 0) == 0) {
            return std::stoul(line.substr(7));
        }
    }
    return 0;
}

size_t OpenDescriptors() {
    const std::filesystem::directory_iterator open("/proc/self/fd");
    return static_cast<size_t>(std::distance(begin(open), end(open)));
}

// Sets the soft limit on open files for as long as it lives.
class SoftLimit {
public:
    explicit SoftLimit(rlim_t soft) {
        getrlimit(RLIMIT_NOFILE, &m_Saved);
        rlimit changed = m_Saved;
        changed.rlim_cur = soft;
        m_Set = soft <= m_Saved.rlim_max && setrlimit(RLIMIT_NOFILE, &changed) == 0;
    }
    ~SoftLimit() { setrlimit(RLIMIT_NOFILE, &m_Saved); }
    bool Set() const { return m_Set; }

private:
    rlimit m_Saved{};
    bool m_Set = false;
};

}  // namespace

TEST(ReserveDescriptors, GrowsTheTableAtOnceAndLeavesNoDescriptorOpen) {
    const size_t wanted = 5000;  // more than a test process ever holds
    const SoftLimit limit(wanted);
    if (!limit.Set()) {
        GTEST_SKIP() << "the hard limit on open files is below " << wanted;
    }
    ASSERT_LT(TableSize(), wanted);
    const size_t openBefore = OpenDescriptors();
    EXPECT_EQ(ReserveDescriptors(wanted), wanted);
    EXPECT_GE(TableSize(), wanted);
    EXPECT_EQ(OpenDescriptors(), openBefore);
}

TEST(ReserveDescriptors, StopsAtTheSoftLimitOnOpenFiles) {
    const SoftLimit limit(300);
    ASSERT_TRUE(limit.Set());
    EXPECT_EQ(ReserveDescriptors(100000), 300u);
    EXPECT_GE(TableSize(), 300u);
    EXPECT_EQ(ReserveDescriptors(0), 0u);
}
