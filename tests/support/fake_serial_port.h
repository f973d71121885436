#pragma once

#include "link/serial_port.h"

#include <QList>
#include <QSet>
#include <QStringList>
#include <deque>

namespace dx400::test {

// A serial port without a device: records every write, feeds bytes as if they had
// arrived, and fails opens and writes on request.
class FakeSerialPort final : public SerialPort {
public:
    // Ports that open; every other number fails as a missing device.
    QSet<int> existingPorts{1, 4};
    std::optional<OpenFailure> openFailure;
    bool failWrites = false;

    QList<QByteArray> writes;
    // What happened on the line, in order: "write", "drain" and "close".
    QStringList events;

    void feed(const QByteArray& bytes);
    void raiseOther() { raiseOtherEvent(); }
    // The device vanishes: the port closes and reports the loss once.
    void loseLine();

    void discardInput() override { m_input.clear(); }
    bool isOpen() const override { return m_open; }
    std::optional<OpenFailure> open() override;
    bool write(const QByteArray& bytes) override;
    int inBufferCount() const override { return static_cast<int>(m_input.size()); }
    std::optional<quint8> readByte() override;
    QString deviceName(int n) const override { return QStringLiteral("/dev/fake%1").arg(n); }

    int openCount = 0;

protected:
    void drainOutput() override { events << QStringLiteral("drain"); }
    void closeDevice() override;

private:
    bool m_open = false;
    std::deque<quint8> m_input;
};

} // namespace dx400::test
