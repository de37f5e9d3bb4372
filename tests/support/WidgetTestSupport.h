// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for widget tests on Qt's offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

// The test program's QApplication, created on first use. It is never destroyed: destroying it
// among the static objects at exit would outlive Qt's own globals.
inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "fenrik_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = new QApplication(argc, argv);
    return *app;
}

// What `widget` draws, as 32-bit RGB.
inline QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QImage Rgb32(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// Base of widget test fixtures: the application exists before the fixture's widgets.
class WidgetTest : public ::testing::Test {
protected:
    WidgetTest() { TestApp(); }
};
