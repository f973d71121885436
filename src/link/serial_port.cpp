#include "link/serial_port.h"

namespace dx400 {

bool SerialPort::setCommPort(int n) {
    if (n <= 0 || isOpen())
        return false;
    m_commPort = n;
    return true;
}

bool SerialPort::setRate(qint32 rate) {
    if (rate <= 0)
        return false;
    m_rate = rate;
    return true;
}

void SerialPort::close() {
    if (!isOpen())
        return;
    drainOutput();
    closeDevice();
}

void SerialPort::setRThreshold(int k) {
    m_threshold = k;
    bytesArrived(); // k bytes may be waiting already
}

void SerialPort::bytesArrived() {
    QMetaObject::invokeMethod(this, &SerialPort::checkThreshold, Qt::QueuedConnection);
}

void SerialPort::checkThreshold() {
    if (m_threshold > 0 && isOpen() && inBufferCount() >= m_threshold) {
        m_commEvent = CommEvent::Receive;
        emit comm();
    }
}

void SerialPort::raiseOtherEvent() {
    m_commEvent = CommEvent::Other;
    emit comm();
}

} // namespace dx400
