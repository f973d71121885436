#pragma once

#include "app/form1.h"
#include "fake_serial_port.h"
#include "message_catcher.h"
#include "window_access.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace dx400::test {

// The real window over a fake serial port, as start-up leaves it.
struct FakeWindow {
    FakeSerialPort* port = new FakeSerialPort; // owned by the window
    Form1 window{std::unique_ptr<SerialPort>(port)};
};

// The same window after a click on "통신 연결", with every message box closed and its
// text recorded.
struct ConnectedFakeWindow : FakeWindow {
    MessageCatcher messages;

    ConnectedFakeWindow() { click(window, "통신연결버튼"); }

    QLineEdit* box(const char* name) const { return control<QLineEdit>(window, name); }
    QString text(const char* name) const { return box(name)->text(); }
    // The last bytes written, as "AA 00 06 ...", or empty.
    QString lastWrite() const {
        return port->writes.isEmpty() ? QString()
                                      : QString(port->writes.last().toHex(' ').toUpper());
    }
    // Feeds bytes and runs the receive event they raise, as the event loop would.
    void feed(const QByteArray& bytes) {
        port->feed(bytes);
        QCoreApplication::processEvents();
    }
};

} // namespace dx400::test
