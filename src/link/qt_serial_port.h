#pragma once

#include "link/serial_port.h"
#include "link/traffic_log.h"

#include <QSerialPort>

namespace dx400 {

// The serial port on QSerialPort.
//
// Three habits of QSerialPort are handled here. write() only queues bytes until the event
// loop runs, so each write is flushed at once: frames paced by blocking pauses must leave
// one by one, not in a burst. When the far end hangs up, QSerialPort reports read errors
// over and over at full processor load while the port stays open, so any such error
// closes the port and is reported once as a lost line. And close() restores the port's
// earlier settings at once, while the system may still hold bytes to send, so closing
// drains the output first.
class QtSerialPort final : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);

    void discardInput() override;
    bool isOpen() const override;
    OpenResult open() override;
    bool write(const QByteArray& bytes) override;
    int inBufferCount() const override;
    QByteArray read(int count) override;
    QString deviceName(int n) const override;

    // Opens the device at this path (such as /dev/ttyUSB0) instead of the one the selected
    // port number stands for; an empty path goes back to the port number.
    void setDevicePath(const QString& path) { m_devicePath = path; }
    // Records each session's traffic there from the next open on: the bytes written, the
    // bytes received as they arrive, and a lost line. Nothing when null.
    void setTrafficLog(TrafficLog* log) { m_log = log; }

protected:
    void drainOutput() override;
    void closeDevice() override;

private:
    void onError(QSerialPort::SerialPortError error);
    void onReadyRead();
    void loseLine();

    QSerialPort m_port;
    QString m_devicePath;
    bool m_written = false; // since the port opened
    TrafficLog* m_log = nullptr;
    qint64 m_logged = 0; // of the bytes waiting, those already in the log
};

// Which QSerialPort errors mean the line is gone for good. Ignoring them leaves a dead
// port open that spins on read errors and swallows every later write.
bool errorLosesLine(QSerialPort::SerialPortError error);

// QSerialPort reports both a port held by another program and a device the operator may
// not open as a permission error; the device's access rights tell them apart.
OpenResult classifyOpenError(QSerialPort::SerialPortError error, const QString& device,
                             const QString& errorText);

} // namespace dx400
