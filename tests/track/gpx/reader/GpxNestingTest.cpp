// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/GpxNesting.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Nest(int levels, const std::string& open = "<a>") {
    std::string text;
    for (int i = 0; i < levels; ++i) {
        text += open;
    }
    return text;
}

TEST(GpxNesting, CountsElementLevelsAsTinyXmlBuildsThem) {
    EXPECT_FALSE(NestsDeeperThan(Nest(3), 3));
    EXPECT_TRUE(NestsDeeperThan(Nest(4), 3));
    // Siblings, self-closing and closed elements do not add up.
    EXPECT_FALSE(NestsDeeperThan("<gpx>" + Nest(50, "<a/>") + Nest(50, "<b></b>") + "</gpx>", 2));
    EXPECT_FALSE(NestsDeeperThan("<gpx><a x='/>' y=\"<b>\"/></gpx>", 1));
    EXPECT_TRUE(NestsDeeperThan("<gpx><a x='/>'><b>", 2));
}

TEST(GpxNesting, MarkupThatIsNoElementHidesNothing) {
    // Nodes that TinyXML ends at the first '>' must not swallow the elements after them.
    EXPECT_TRUE(NestsDeeperThan("<?x><gpx>" + Nest(4), 4));
    EXPECT_TRUE(NestsDeeperThan("<!DOCTYPE <x> ><gpx>" + Nest(4), 4));
    EXPECT_TRUE(NestsDeeperThan("<?xml version='>'?><gpx>" + Nest(4), 4));
    // Comments and CDATA end at their own terminators, also after a partial match.
    EXPECT_TRUE(NestsDeeperThan("<gpx><!-- x --->" + Nest(4), 4));
    EXPECT_TRUE(NestsDeeperThan("<gpx><![CDATA[x]]]>" + Nest(4), 4));
    EXPECT_FALSE(NestsDeeperThan("<gpx><!-- <a><a><a><a><a> --></gpx>", 1));
    EXPECT_FALSE(NestsDeeperThan("<gpx><![CDATA[<a><a><a><a>]]></gpx>", 1));
    // Stray end tags at the top never make room for deeper nesting.
    EXPECT_TRUE(NestsDeeperThan(Nest(10, "</a>") + Nest(5), 4));
}

TEST(GpxNesting, UnterminatedMarkupEndsTheScan) {
    EXPECT_FALSE(NestsDeeperThan("<gpx><!-- " + Nest(10), 1));
    EXPECT_FALSE(NestsDeeperThan("<gpx><a x='" + Nest(10), 2));
    EXPECT_FALSE(NestsDeeperThan("<", 0));
    EXPECT_FALSE(NestsDeeperThan("", 0));
}

}  // namespace
