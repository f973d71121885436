#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <termios.h>

namespace dx400::test {

// Points every port COM1 to COM10 but `except` at a device that does not exist, in the
// current XDG_CONFIG_HOME, so that a window probing its ports never opens the machine's
// own serial devices (/dev/ttyS0 is often its console).
void linkPortsToNothing(int except);

// A raw pseudo-terminal whose far end the tool opens as port COMn; every other port
// stands for nothing. The links live in a temporary XDG_CONFIG_HOME set for the process.
class PtyPort {
public:
    explicit PtyPort(int n = 4);
    ~PtyPort() { hangUp(); }

    // Bytes the tool wrote, gathered until `count` have come or the time is up.
    QByteArray read(int count, int timeoutMs = 2000);
    void write(const QByteArray& bytes);
    // The line settings the tool gave its end of the line.
    termios lineSettings() const;
    // Closes the far end, as a pulled cable or a dead adapter would.
    void hangUp();

private:
    QTemporaryDir m_config;
    int m_master = -1;
};

} // namespace dx400::test
