#include "link/qt_serial_port.h"
#include "pty_port.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace dx400;
using dx400::test::PtyPort;

namespace {

std::unique_ptr<QtSerialPort> openOn(int n) {
    auto port = std::make_unique<QtSerialPort>();
    EXPECT_TRUE(port->setCommPort(n));
    EXPECT_TRUE(port->setSettings("19200,N,8,1"));
    EXPECT_FALSE(port->open().has_value());
    return port;
}

} // namespace

TEST(QtSerialPort, WriteIsOnTheLineWhenItReturns) {
    PtyPort pty(4);
    auto port = openOn(4);
    ASSERT_TRUE(port->write(QByteArray::fromHex("AA00030000000000EE030000")));
    // No event loop has run: the bytes must already be at the far end.
    EXPECT_EQ(pty.read(12, 500).toHex(' ').toUpper(), "AA 00 03 00 00 00 00 00 EE 03 00 00");
}

TEST(QtSerialPort, ReceiveEventFollowsTheThreshold) {
    PtyPort pty(4);
    auto port = openOn(4);
    QSignalSpy events(port.get(), &SerialPort::comm);

    port->setRThreshold(10);
    pty.write(QByteArray(9, '\x01'));
    QTest::qWait(150);
    EXPECT_EQ(events.count(), 0) << "nine bytes are below the threshold";

    pty.write(QByteArray(1, '\x02'));
    ASSERT_TRUE(events.wait(1000)) << "the tenth byte raises the event";
    EXPECT_EQ(port->commEvent(), CommEvent::Receive);

    port->setRThreshold(0);
    events.clear();
    pty.write(QByteArray(5, '\x03'));
    QTest::qWait(150);
    EXPECT_EQ(events.count(), 0) << "threshold 0 raises nothing";
    EXPECT_EQ(port->inBufferCount(), 15);

    port->setRThreshold(10);
    EXPECT_TRUE(events.wait(1000)) << "re-arming over waiting bytes raises the event at once";
}

TEST(QtSerialPort, OpenFailuresSayWhy) {
    PtyPort pty(4);
    auto holder = openOn(4);
    QtSerialPort second;
    second.setCommPort(4);
    const auto held = second.open();
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(held->cause, OpenFailure::Cause::Busy);

    QtSerialPort missing;
    missing.setCommPort(9); // no link: /dev/ttyS8, which a test machine does not have
    const auto none = missing.open();
    ASSERT_TRUE(none.has_value());
    EXPECT_EQ(none->cause, OpenFailure::Cause::NoSuchDevice);
}

TEST(QtSerialPort, HangUpClosesThePortAndReportsOnce) {
    PtyPort pty(4);
    auto port = openOn(4);
    QSignalSpy lost(port.get(), &SerialPort::lineLost);
    pty.hangUp();
    EXPECT_TRUE(lost.wait(2000));
    QTest::qWait(200);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(port->isOpen());
    EXPECT_FALSE(port->write(QByteArray(12, '\0'))) << "nothing is reported sent on a lost line";
}
