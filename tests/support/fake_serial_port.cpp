#include "fake_serial_port.h"

namespace dx400::test {

void FakeSerialPort::feed(const QByteArray& bytes) {
    for (char b : bytes)
        m_input.push_back(static_cast<quint8>(b));
    bytesArrived();
}

void FakeSerialPort::loseLine() {
    if (!m_open)
        return;
    close();
    emit lineLost();
}

void FakeSerialPort::closeDevice() {
    m_open = false;
    events << QStringLiteral("close");
}

std::optional<OpenFailure> FakeSerialPort::open() {
    ++openCount;
    if (openFailure)
        return openFailure;
    if (!existingPorts.contains(commPort()))
        return OpenFailure{OpenFailure::Cause::NoSuchDevice, {}};
    m_open = true;
    return std::nullopt;
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

std::optional<quint8> FakeSerialPort::readByte() {
    if (m_input.empty())
        return std::nullopt;
    const quint8 b = m_input.front();
    m_input.pop_front();
    return b;
}

} // namespace dx400::test
