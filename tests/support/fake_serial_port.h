#pragma once

#include "link/serial_port.h"

#include <QSet>
#include <QStringList>
#include <memory>

namespace dx400::test {

// A serial port without a device: records writes, feeds bytes, fails opens and writes on request.
class FakeSerialPort final : public SerialPort {
public:
    QSet<int> existingPorts{1, 4, 10, 11}; // every other port is a missing device
    OpenResult::Outcome openOutcome = OpenResult::Outcome::Opened;
    bool failWrites = false; // writes find the line gone
    QStringList frames;      // the ten frame bytes of each write, in hexadecimal
    // "open", "write <command code>", "drain", "close", "discard" in order; may outlive it
    std::shared_ptr<QStringList> events = std::make_shared<QStringList>();

    void feed(const QByteArray& bytes) {
        m_input += bytes;
        bytesArrived();
    }
    void raiseOther() { raiseOtherEvent(); }
    void loseLine() { // the device vanishes
        if (m_open) {
            close();
            emit lineLost();
        }
    }

    void discardInput() override {
        m_input.clear();
        *events << QStringLiteral("discard");
    }
    bool isOpen() const override { return m_open; }
    OpenResult open() override {
        if (!existingPorts.contains(commPort()))
            return {OpenResult::Outcome::NoSuchDevice, {}};
        m_open = openOutcome == OpenResult::Outcome::Opened;
        *events << QStringLiteral("open");
        return {openOutcome, {}};
    }
    bool write(const QByteArray& bytes) override {
        if (failWrites)
            loseLine();
        if (!m_open)
            return false;
        frames << QString(bytes.left(10).toHex().toUpper());
        *events << QStringLiteral("write %1").arg(int(bytes.at(2)));
        return true;
    }
    int inBufferCount() const override { return int(m_input.size()); }
    QByteArray read(int count) override {
        return std::exchange(m_input, m_input.mid(count)).left(count);
    }
    QString deviceName(int n) const override { return QStringLiteral("/dev/fake%1").arg(n); }

protected:
    void drainOutput() override { *events << QStringLiteral("drain"); }
    void closeDevice() override {
        m_open = false;
        *events << QStringLiteral("close");
    }

private:
    bool m_open = false;
    QByteArray m_input;
};

} // namespace dx400::test
