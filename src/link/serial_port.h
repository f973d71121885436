#pragma once

#include "link/line_settings.h"
#include "link/open_failure.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

namespace dx400 {

// The kind of the last communication event, as the receive handler asks for it.
enum class CommEvent { None, Receive, Other };

// The serial port as the window uses it: select a port by number, configure it, open
// it, write frames, and hear about received bytes through one communication event that
// fires on the window's thread when the receive threshold is reached.
//
// This base class holds the configuration and the receive-threshold rule, so that every
// implementation raises the event the same way; implementations supply the device.
class SerialPort : public QObject {
    Q_OBJECT
public:
    enum class InputMode { Text, Binary };

    using QObject::QObject;

    // Selects port n (1-based, "COM" + n) while the port is closed. Port 0 and below
    // name no port and are refused.
    bool setCommPort(int n);
    int commPort() const { return m_commPort; }

    // Takes a settings text such as "19200,N,8,1"; refuses one whose rate is not a
    // whole number, before any device is touched.
    bool setSettings(const QString& text);
    const LineSettings& settings() const { return m_settings; }

    void setInputMode(InputMode mode) { m_inputMode = mode; }
    InputMode inputMode() const { return m_inputMode; }
    void setInputLen(int length) { m_inputLen = length; }
    int inputLen() const { return m_inputLen; }
    void setDtrEnable(bool enable) { m_dtr = enable; }
    bool dtrEnable() const { return m_dtr; }

    // With k > 0 the communication event fires whenever k or more bytes are waiting
    // and more arrive; with 0 it never fires. Setting k while k bytes already wait
    // raises the event at once (on the next turn of the event loop), so a complete reply
    // never sits unread until more bytes come.
    void setRThreshold(int k);
    int rThreshold() const { return m_threshold; }

    CommEvent commEvent() const { return m_commEvent; }

    // Discards waiting input; accepted while closed.
    virtual void discardInput() = 0;
    virtual bool isOpen() const = 0;
    // Opens the selected port with the current settings; the failure says why.
    virtual std::optional<OpenFailure> open() = 0;
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
    // One waiting byte, or nothing when none waits.
    virtual std::optional<quint8> readByte() = 0;

    // The device that port n stands for, for messages and tooltips.
    virtual QString deviceName(int n) const = 0;

signals:
    // The communication event; commEvent() tells its kind.
    void comm();
    // The line is gone (device unplugged, far end hung up, write failed). The port has
    // been closed already; this fires once per loss.
    void lineLost();

protected:
    // Waits, bounded in time, until the system has sent what was written; then closes.
    virtual void drainOutput() = 0;
    virtual void closeDevice() = 0;

    // Implementations call this whenever bytes have arrived. The event is posted, never
    // raised from inside another call, so that it cannot run in the middle of a handler.
    void bytesArrived();
    // Implementations call this for events of other kinds (line errors, modem lines).
    void raiseOtherEvent();

private:
    void checkThreshold();

    int m_commPort = 1;
    LineSettings m_settings;
    InputMode m_inputMode = InputMode::Text;
    int m_inputLen = 0;
    bool m_dtr = false;
    int m_threshold = 0;
    bool m_checkPosted = false;
    CommEvent m_commEvent = CommEvent::None;
};

} // namespace dx400
