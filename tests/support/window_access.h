#pragma once

#include "app/app_look.h"
#include "app/circle_indicator.h"

#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace dx400::test {

// A control of the window by its object name; fails the test when it is missing.
template <typename T = QWidget> T* control(const QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << "no control " << name;
    return widget;
}

// Clicks a button as the operator would.
inline void click(const QWidget& window, const char* name) {
    QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
}

inline QString colourName(const QWidget& window, const char* name) {
    return background(control(window, name)).name(QColor::HexRgb).toUpper();
}

} // namespace dx400::test
