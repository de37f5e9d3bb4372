// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Tokenize.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> StrTokAll(std::string text, const char* delimiters) {
    std::vector<std::string> tokens;
    char* state = nullptr;
    for (char* t = StrTok(text.data(), delimiters, &state); t != nullptr;
         t = StrTok(nullptr, delimiters, &state)) {
        tokens.push_back(t);
    }
    return tokens;
}

TEST(StrTok, SkipsRunsAndLeadingDelimiters) {
    EXPECT_EQ(StrTokAll("2007-06-01T12:34:56Z", "TZ-: ,\t\n"),
              (std::vector<std::string>{"2007", "06", "01", "12", "34", "56"}));
    EXPECT_EQ(StrTokAll("  ::2007--06", "-: "), (std::vector<std::string>{"2007", "06"}));
    EXPECT_TRUE(StrTokAll("::: ", ": ").empty());
}

TEST(StrTok, KeepsSeparateStatePerCaller) {
    std::string a = "1:2:3";
    std::string b = "x y";
    char* sa = nullptr;
    char* sb = nullptr;
    EXPECT_STREQ(StrTok(a.data(), ":", &sa), "1");
    EXPECT_STREQ(StrTok(b.data(), " ", &sb), "x");
    EXPECT_STREQ(StrTok(nullptr, ":", &sa), "2");
    EXPECT_STREQ(StrTok(nullptr, " ", &sb), "y");
    EXPECT_STREQ(StrTok(nullptr, ":", &sa), "3");
}

TEST(Tokenize, ReturnsRunsThenEmptyPastTheEnd) {
    const std::string text = "2007:06:01 12:34";
    int pos = 0;
    EXPECT_EQ(Tokenize(text, ": ", pos), "2007");
    EXPECT_EQ(pos, 5);
    EXPECT_EQ(Tokenize(text, ": ", pos), "06");
    EXPECT_EQ(Tokenize(text, ": ", pos), "01");
    EXPECT_EQ(Tokenize(text, ": ", pos), "12");
    EXPECT_EQ(Tokenize(text, ": ", pos), "34");
    EXPECT_EQ(Tokenize(text, ": ", pos), "");
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(Tokenize(text, ": ", pos), "");
    EXPECT_EQ(pos, -1);
}

TEST(Tokenize, SkipsDelimiterRunsAndTrailingDelimiters) {
    int pos = 0;
    EXPECT_EQ(Tokenize("  :a::b  ", ": ", pos), "a");
    EXPECT_EQ(Tokenize("  :a::b  ", ": ", pos), "b");
    EXPECT_EQ(Tokenize("  :a::b  ", ": ", pos), "");
    EXPECT_EQ(pos, -1);
    pos = 0;
    EXPECT_EQ(Tokenize("    :  :  ", ": ", pos), "");
    EXPECT_EQ(pos, -1);
}

}  // namespace
