#pragma once
// Helpers for the tests of the configuration dialog on Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>

// The test program's QApplication, created on first use and never destroyed (destroying it
// among the static objects at exit would outlive Qt's own globals).
inline QApplication& ConfigTestApp() {
    static int argc = 1;
    static char name[] = "config_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = new QApplication(argc, argv);
    return *app;
}

// Base of the fixtures: the application exists before any widget.
class DialogTest : public ::testing::Test {
protected:
    DialogTest() { ConfigTestApp(); }
};
