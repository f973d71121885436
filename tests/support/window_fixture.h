#pragma once

#include "app/app_look.h"
#include "app/circle_indicator.h"
#include "app/form1.h"
#include "fake_serial_port.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Lets GoogleTest show a QString, and the items of a QStringList, as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace dx400::test {

// Closes every modal message box as it opens, keeping its text; whileOpen runs while it is open.
struct MessageCatcher {
    QStringList texts;
    std::function<void()> whileOpen;
    QTimer timer;

    MessageCatcher() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text() + (box->objectName() == "message" ? "" : " (unnamed)");
            whileOpen ? whileOpen() : void();
            box->accept();
        });
        timer.start(5);
    }
};

// A control of the window by its object name; fails the test when it is missing.
template <typename T = QWidget> T* control(const QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << "no control " << name;
    return widget;
}

// The real window over a serial port as start-up leaves it, every message box caught.
struct WindowUnderTest {
    Form1 window;
    MessageCatcher messages;

    explicit WindowUnderTest(std::unique_ptr<SerialPort> port) : window(std::move(port)) {}
    void show() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QLineEdit* box(const char* name) const { return control<QLineEdit>(window, name); }
    QString text(const char* name) const {
        return control(window, name)->property("text").toString();
    }
    void click(const char* name) const {
        QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
    }
    // "#RRGGBB": background of a text box, face of a button, fill of an indicator.
    QString colour(const char* name) const {
        QWidget* widget = control(window, name);
        if (qobject_cast<CircleIndicator*>(widget)) // the fill, as painted in the middle
            return widget->grab().toImage().pixelColor(widget->rect().center()).name().toUpper();
        return background(widget).name().toUpper();
    }
};

struct FakeWindow : WindowUnderTest {
    FakeWindow() : WindowUnderTest(std::make_unique<FakeSerialPort>()) {}
    FakeSerialPort* const port = static_cast<FakeSerialPort*>(&window.serialPort());
    // Feeds bytes and runs the receive event they raise, as the event loop would.
    void feed(const QByteArray& bytes) {
        port->feed(bytes);
        QCoreApplication::processEvents();
    }
};

struct ConnectedWindow : FakeWindow {
    ConnectedWindow() { click("통신연결버튼"); } // "통신 연결" with the default choices
};

} // namespace dx400::test
