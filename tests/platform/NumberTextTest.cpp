// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>

namespace {

// Runs every case a second time under a comma-decimal locale: results must not change.
class NumberText : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        m_Previous = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, GetParam()) == nullptr) {
            FAIL() << "locale " << GetParam() << " is not installed";
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, m_Previous.c_str()); }

private:
    std::string m_Previous;
};

TEST_P(NumberText, AtofReadsTheLeadingNumberWithAPoint) {
    EXPECT_DOUBLE_EQ(CrtAtof("48.137154"), 48.137154);
    EXPECT_DOUBLE_EQ(CrtAtof("  -122.4194"), -122.4194);
    EXPECT_DOUBLE_EQ(CrtAtof("47,5"), 47.0);
    EXPECT_DOUBLE_EQ(CrtAtof("519.6m"), 519.6);
    EXPECT_DOUBLE_EQ(CrtAtof("+1e2"), 100.0);
    EXPECT_DOUBLE_EQ(CrtAtof("abc"), 0.0);
    EXPECT_DOUBLE_EQ(CrtAtof(""), 0.0);
    EXPECT_DOUBLE_EQ(CrtAtof(nullptr), 0.0);
}

TEST_P(NumberText, AtoiReadsSignAndDigits) {
    EXPECT_EQ(CrtAtoi("30"), 30);
    EXPECT_EQ(CrtAtoi(" \t-1"), -1);
    EXPECT_EQ(CrtAtoi("+7x"), 7);
    EXPECT_EQ(CrtAtoi("56.789"), 56);
    EXPECT_EQ(CrtAtoi("1,5"), 1);
    EXPECT_EQ(CrtAtoi("x12"), 0);
    EXPECT_EQ(CrtAtoi(""), 0);
    EXPECT_EQ(CrtAtoi("99999999999999999999"), INT_MAX);
    EXPECT_EQ(CrtAtoi("-99999999999999999999"), INT_MIN);
}

TEST_P(NumberText, FormattingUsesAPoint) {
    EXPECT_EQ(FormatC(100, "%f", 11.575382), "11.575382");
    EXPECT_EQ(FormatC(100, "%f", -0.1275), "-0.127500");
    EXPECT_EQ(FormatC(100, "%f", 519.6), "519.600000");
    EXPECT_EQ(FormatC(100, "%ld/1", 519L), "519/1");
    EXPECT_EQ(FormatC(5, "%s", "abcdefgh"), "abcde");
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberText, ::testing::Values("C", "de_DE.UTF-8"));

}  // namespace
