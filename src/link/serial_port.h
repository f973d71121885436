#pragma once

#include "link/open_result.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <span>

namespace dx400 {

// Bytes as the port moves them and as the core reads and builds them.
inline std::span<const std::uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}
inline QByteArray byteArrayOf(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

// The kind of the last communication event, as the receive handler asks for it.
enum class CommEvent { None, Receive, Other };

// The serial port as the programs use it: select a port by number, configure it, open
// it, write frames, and hear about received bytes through one communication event that
// fires on the owner's thread when the receive threshold is reached.
//
// This base class holds the configuration, the receive-threshold rule and the closing
// order, so that every implementation behaves the same way; implementations supply the
// device.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Selects port n (1-based, "COM" + n) while the port is closed. Port 0 and below
    // name no port and are refused.
    bool setCommPort(int n);
    int commPort() const { return m_commPort; }

    // Takes the rate (bits per second) for the next open, with 8 data bits, no parity
    // and 1 stop bit; refuses 0 and below before any device is touched. Whether the device
    // runs at the rate shows when it opens.
    bool setRate(qint32 rate);
    qint32 rate() const { return m_rate; }

    // Whether DTR is raised while the port is open.
    void setDtrEnable(bool enable) { m_dtr = enable; }
    bool dtrEnable() const { return m_dtr; }

    // With k > 0 the communication event fires whenever k or more bytes are waiting
    // and more arrive; with 0 it never fires. Setting k while k bytes already wait
    // raises the event at once (on the next turn of the event loop), so a complete reply
    // never sits unread until more bytes come.
    void setRThreshold(int k);
    int rThreshold() const { return m_threshold; }

    CommEvent commEvent() const { return m_commEvent; }

    // Discards the bytes waiting to be read.
    virtual void discardInput() = 0;
    virtual bool isOpen() const = 0;
    // Opens the selected port with the current settings.
    virtual OpenResult open() = 0;
    // Closes the port once the system has put every byte written to it on the wire
    // (waiting a bounded time). Closing restores the port's earlier line settings at
    // once, so without the wait the tail of a last frame, such as EXIT's stop command,
    // could leave a real UART at the wrong rate.
    void close();
    // Writes the bytes and returns once they have reached the line (or its driver),
    // bounded to about a second. A write that fails or stays short closes the port,
    // emits lineLost and returns false: the bytes were not sent.
    virtual bool write(const QByteArray& bytes) = 0;
    virtual int inBufferCount() const = 0;
    // Up to `count` of the waiting bytes, oldest first.
    virtual QByteArray read(int count) = 0;

    // The device that port n stands for, for messages and tooltips.
    virtual QString deviceName(int n) const = 0;

signals:
    // The communication event; commEvent() tells its kind.
    void comm();
    // The line is gone (device unplugged, far end hung up, write failed). The port has
    // been closed already; this fires once per loss.
    void lineLost();

protected:
    // Waits, bounded in time, until the system has sent what was written.
    virtual void drainOutput() = 0;
    virtual void closeDevice() = 0;

    // Implementations call this whenever bytes have arrived. The event is posted, never
    // raised from inside another call, so that it cannot run in the middle of a handler.
    void bytesArrived();
    // Implementations call this for events of other kinds (line errors that leave the
    // line usable).
    void raiseOtherEvent();

private:
    void checkThreshold();

    int m_commPort = 1;
    qint32 m_rate = 9600;
    bool m_dtr = false;
    int m_threshold = 0;
    CommEvent m_commEvent = CommEvent::None;
};

} // namespace dx400
