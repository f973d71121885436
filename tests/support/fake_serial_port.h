#pragma once

#include "link/serial_port.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QStringList>

namespace dx400::test {

// A serial port without a device: records every write, feeds bytes as if they had
// arrived, and fails opens and writes on request.
class FakeSerialPort final : public SerialPort {
public:
    // Ports that open; every other number fails as a missing device.
    QSet<int> existingPorts{1, 4};
    OpenResult::Outcome openOutcome = OpenResult::Outcome::Opened; // for existing ports
    bool failWrites = false; // the next write finds the line gone

    QList<QByteArray> writes;
    // What happened to the port, in order: "open", "write", "drain", "close", "discard".
    QStringList events;

    void feed(const QByteArray& bytes);
    void raiseOther() { raiseOtherEvent(); }
    // The device vanishes: the port closes and reports the loss once.
    void loseLine();

    void discardInput() override;
    bool isOpen() const override { return m_open; }
    OpenResult open() override;
    bool write(const QByteArray& bytes) override;
    int inBufferCount() const override { return static_cast<int>(m_input.size()); }
    QByteArray read(int count) override;
    QString deviceName(int n) const override { return QStringLiteral("/dev/fake%1").arg(n); }

protected:
    void drainOutput() override { events << QStringLiteral("drain"); }
    void closeDevice() override;

private:
    bool m_open = false;
    QByteArray m_input;
};

} // namespace dx400::test
