#include "fake_serial_port.h"

namespace dx400::test {

void FakeSerialPort::feed(const QByteArray& bytes) {
    m_input += bytes;
    bytesArrived();
}

void FakeSerialPort::loseLine() {
    if (!m_open)
        return;
    close();
    emit lineLost();
}

void FakeSerialPort::discardInput() {
    m_input.clear();
    events << QStringLiteral("discard");
}

OpenResult FakeSerialPort::open() {
    if (!existingPorts.contains(commPort()))
        return {OpenResult::Outcome::NoSuchDevice, {}};
    if (openOutcome != OpenResult::Outcome::Opened)
        return {openOutcome, {}};
    m_open = true;
    events << QStringLiteral("open");
    return {};
}

void FakeSerialPort::closeDevice() {
    m_open = false;
    events << QStringLiteral("close");
}

bool FakeSerialPort::write(const QByteArray& bytes) {
    if (!m_open)
        return false;
    if (failWrites) {
        loseLine();
        return false;
    }
    writes.append(bytes);
    events << QStringLiteral("write");
    return true;
}

QByteArray FakeSerialPort::read(int count) {
    const QByteArray bytes = m_input.left(count);
    m_input.remove(0, bytes.size());
    return bytes;
}

} // namespace dx400::test
