#include "link/qt_serial_port.h"

#include "link/output_drain.h"
#include "link/port_naming.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace dx400 {

namespace {

// How long a write may take to leave for the line before the line counts as lost.
constexpr int kWriteTimeoutMs = 1000;
// How long closing waits for the system to send what it still holds: a 12-byte frame
// takes 200 ms at the slowest rate.
constexpr std::chrono::milliseconds kDrainBound{1000};

#ifdef Q_OS_UNIX
bool mayOpen(const QString& device) {
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
}
#endif

} // namespace

bool errorLosesLine(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::DeviceNotFoundError:
        return true;
    default:
        return false;
    }
}

OpenResult classifyOpenError(QSerialPort::SerialPortError error, const QString& device,
                             const QString& errorText) {
    using Outcome = OpenResult::Outcome;
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return {Outcome::NoSuchDevice, errorText};
    case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
        if (!QFileInfo::exists(device))
            return {Outcome::NoSuchDevice, errorText};
        return {mayOpen(device) ? Outcome::Busy : Outcome::AccessDenied, errorText};
#else
        // Windows refuses a port that another program holds with "access denied".
        return {Outcome::Busy, errorText};
#endif
    case QSerialPort::UnsupportedOperationError:
#ifdef Q_OS_UNIX
        // A file or a device that is no terminal fails the first line-settings call with
        // ENOTTY, which QSerialPort reports as an unsupported operation, as it does a rate
        // the device refuses; only the system's words tell them apart.
        if (errorText == qt_error_string(ENOTTY))
            return {Outcome::NotSerial, errorText};
#endif
        return {Outcome::RateRefused, errorText};
    default:
        return {Outcome::Other, errorText};
    }
}

QtSerialPort::QtSerialPort(QObject* parent) : SerialPort(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QString QtSerialPort::deviceName(int n) const {
    return portDevice(n);
}

void QtSerialPort::discardInput() {
    m_port.clear(QSerialPort::Input);
    m_logged = 0;
}

bool QtSerialPort::isOpen() const {
    return m_port.isOpen();
}

OpenResult QtSerialPort::open() {
    const QString device = m_devicePath.isEmpty() ? portDevice(commPort()) : m_devicePath;
#ifdef Q_OS_UNIX
    // QSerialPort takes and syncs a lock file before it finds out that there is no device,
    // some milliseconds per port; the window probes ten ports at start-up, most of them
    // absent. The answer for a path with nothing behind it is the same either way. (A
    // Windows port is a name such as "COM4", not a file, so there QSerialPort decides.)
    if (!QFileInfo::exists(device))
        return {OpenResult::Outcome::NoSuchDevice, qt_error_string(ENOENT)};
#endif
    m_port.setPortName(device);
    m_port.setBaudRate(rate());
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    if (!m_port.open(QIODevice::ReadWrite))
        return classifyOpenError(m_port.error(), device, m_port.errorString());
    m_port.setDataTerminalReady(dtrEnable());
    m_written = false;
    m_logged = 0;
    if (m_log) { // the device itself, not the link that stands for it
        const QString real = QFileInfo(device).canonicalFilePath();
        m_log->begin({QCoreApplication::applicationName(), QCoreApplication::applicationVersion(),
                      m_devicePath.isEmpty() ? portName(commPort()) : m_devicePath,
                      real.isEmpty() ? device : real, rate()});
    }
    return {};
}

void QtSerialPort::drainOutput() {
    if (m_written) // a port opened only to see whether it opens has nothing to send
        dx400::drainOutput(m_port.handle(), kDrainBound);
}

void QtSerialPort::closeDevice() {
    m_port.close();
    if (m_log)
        m_log->end();
}

bool QtSerialPort::write(const QByteArray& bytes) {
    if (!m_port.isOpen())
        return false;
    m_written = true;
    if (m_port.write(bytes) != bytes.size()) {
        loseLine();
        return false;
    }
    m_port.flush();
    const QDeadlineTimer deadline(kWriteTimeoutMs);
    while (m_port.isOpen() && m_port.bytesToWrite() > 0 && !deadline.hasExpired())
        m_port.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
    if (!m_port.isOpen() || m_port.bytesToWrite() > 0) {
        loseLine();
        return false;
    }
    if (m_log)
        m_log->sent(bytes);
    return true;
}

int QtSerialPort::inBufferCount() const {
    return m_port.isOpen() ? static_cast<int>(m_port.bytesAvailable()) : 0;
}

QByteArray QtSerialPort::read(int count) {
    const QByteArray bytes = m_port.isOpen() ? m_port.read(count) : QByteArray();
    m_logged = std::max<qint64>(0, m_logged - bytes.size());
    return bytes;
}

// Logs the bytes that came since the last look, before the owner reads any of them.
void QtSerialPort::onReadyRead() {
    const qint64 waiting = m_port.bytesAvailable();
    if (m_log && waiting > m_logged)
        m_log->received(m_port.peek(waiting).mid(m_logged));
    m_logged = waiting;
    bytesArrived();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    if (errorLosesLine(error))
        loseLine();
    else if (error != QSerialPort::NoError)
        raiseOtherEvent();
}

void QtSerialPort::loseLine() {
    if (!m_port.isOpen())
        return;
    if (m_log)
        m_log->lineLost();
    close();
    emit lineLost();
}

} // namespace dx400
