#include "line_under_test.h"
#include "link/port_description.h"
#include "link/qt_serial_port.h"
#include "port_links.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace dx400;
using Outcome = OpenResult::Outcome;

TEST(QtSerialPort, OpensAtItsRateWritesAtOnceClosingDrainsFirstAndALostLineIsReportedOnce) {
    const std::pair<std::string, std::string> cases[] = {
        {"probed", "settings close"}, // a port opened only to see whether it opens
        {"stalled", "write drain flush settings close"},
    };
    for (const auto& [line, expected] : cases) {
        test::PtyPort pty(4);
        test::lineRequests = {};
        QtSerialPort port; // at neither the port's first rate nor the window's
        EXPECT_TRUE(port.setCommPort(4) && port.setRate(600) && port.open().opened());
        termios settings{}; // on the master the system reports the settings of the tool's end
        ::tcgetattr(pty.master(), &settings);
        EXPECT_EQ(cfgetospeed(&settings), speed_t(B600));
        // The pseudo-terminal forces 8 bits without parity: what was asked for shows the rest.
        ASSERT_FALSE(test::lineRequests.settings.empty());
        for (const termios& asked : test::lineRequests.settings)
            EXPECT_EQ(asked.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));
        test::lineRequests.calls.clear();
        if (line != "probed") {
            EXPECT_TRUE(port.write(QByteArray::fromHex("AA00030000000000EE030000")));
            // No event loop has run: the bytes must already be at the far end.
            EXPECT_EQ(pty.read(500).toHex(' ').toUpper(), "AA 00 03 00 00 00 00 00 EE 03 00 00");
        }
        test::lineStalled = line == "stalled";
        port.close();
        // Closing restores the settings after the drain, which gives up on a held-up line.
        EXPECT_EQ(test::lineRequests.calls, expected) << line;
    }
    // A lost line closes the port, is reported once and takes no write: a hang-up met by a write
    // before any event loop ran, one the port reports, a write of more than the line holds.
    for (const int way : {0, 1, 2}) {
        test::PtyPort pty(4);
        QtSerialPort port;
        EXPECT_TRUE(port.setCommPort(4) && port.setRate(19200) && port.open().opened());
        QSignalSpy lost(&port, &SerialPort::lineLost);
        if (way < 2)
            pty.hangUp();
        if (way == 1)
            EXPECT_TRUE(lost.wait(2000));
        else
            EXPECT_FALSE(port.write(QByteArray(way == 0 ? 12 : 1 << 20, '\0'))) << way;
        EXPECT_TRUE(!port.isOpen() && port.inBufferCount() == 0);
        EXPECT_FALSE(port.write(QByteArray(12, '\0'))) << "nothing is reported sent";
        QCoreApplication::processEvents(); // an open port would report read errors again
        EXPECT_EQ(lost.count(), 1);
    }
}

TEST(QtSerialPort, AFailedOpenSaysWhatTheOperatorCanDoAboutIt) {
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    const QString everyone = dir.filePath("everyone"), noOne = dir.filePath("no-one");
    for (const auto& [path, mode] : {std::pair{everyone, 0666}, std::pair{noOne, 0}}) {
        QFile(path).open(QIODevice::WriteOnly);
        ::chmod(QFile::encodeName(path).constData(), mode_t(mode));
    }
    const std::tuple<QSerialPort::SerialPortError, QString, Outcome> cases[] = {
        {QSerialPort::DeviceNotFoundError, everyone, Outcome::NoSuchDevice},
        {QSerialPort::PermissionError, dir.filePath("absent"), Outcome::NoSuchDevice},
        {QSerialPort::PermissionError, everyone, Outcome::Busy}, // open to all: held
        {QSerialPort::PermissionError, noOne, Outcome::AccessDenied},
        {QSerialPort::UnsupportedOperationError, everyone, Outcome::RateRefused},
        {QSerialPort::OpenError, everyone, Outcome::Other},
    };
    for (const auto& [error, device, expected] : cases) {
        // As nobody, an operator without root, who may not open what is closed to others.
        const pid_t pid = fork();
        if (pid == 0) {
            alarm(20);
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                _exit(255);
            _exit(int(classifyOpenError(error, device, QString()).outcome));
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, int(expected))
            << device.toStdString() << " " << error;
    }
    EXPECT_EQ(classifyOpenError(QSerialPort::OpenError, everyone, "the system's words").detail,
              "the system's words");
}

TEST(PortNaming, TheTooltipSaysWhatTheSystemKnowsAndAnUnlinkedPortIsTtyS) {
    std::optional<test::OnlyPort> linked(std::in_place, 4);
    EXPECT_EQ(portDevice(11), "/dev/ttyS10"); // beyond the ports linked to nothing
    linked.reset(); // then XDG_CONFIG_HOME is unset, and the links are in ~/.config
    EXPECT_EQ(portLinkDirectory(), QDir::homePath() + "/.config/dx400/ports");
    const std::vector<SystemPortInfo> ports{
        {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001},
        {"/dev/ttyUSB1", {}, {}, {}, 0x1a86, std::nullopt}}; // the vendor alone
    const std::tuple<QString, QString, QString> cases[] = {
        // the device named, what it resolves to, the tooltip
        {"/dev/ttyS3", "", "/dev/ttyS3\n장치 없음 (no such device)"},
        {"/dev/pts/4", "/dev/pts/4", "/dev/pts/4"},
        {"/dev/serial/by-id/x", "/dev/ttyUSB0",
         "/dev/serial/by-id/x\n→ /dev/ttyUSB0\nFT232R USB UART\n제조사 (manufacturer): FTDI\n"
         "USB 0403:6001\nS/N A50285BI"},
        {"/dev/ttyUSB1", "/dev/ttyUSB1", "/dev/ttyUSB1\nUSB 1a86:????"},
    };
    for (const auto& [device, resolved, text] : cases)
        EXPECT_EQ(formatPortDescription(device, resolved, findSystemPort(resolved, ports)), text);
}

// The window's flight recorder: a file of each session's own, named by its start and port,
// written as the bytes go; the oldest logs go once the folder would hold its bound.
TEST(TrafficLog, KeepsEachSessionInAFileOfItsOwnWithinItsBound) {
    QTemporaryDir folder;
    for (const char* name : {"20260101-000000-000-COM1.log", "20260102-000000-000-COM2.log",
                             "20260103-000000-000-COM3.txt"}) {
        QFile old(folder.filePath(name));
        const int size = QByteArray(name).contains("COM1") ? 1 : 999; // together the bound
        EXPECT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(size, 'x')) == size);
    }
    const auto log = TrafficLog::toFolder(folder.path(), 1000);
    log->begin({"dx400", "1.0.0", "COM4", "/dev/pts/9", 9600});
    log->sent(QByteArray::fromHex("AA0003"));
    log->received(QByteArray::fromHex("BB"));
    log->lineLost();
    log->end(), log->sent(QByteArray::fromHex("AA")); // after its end, nothing
    const QStringList kept = QDir(folder.path()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), 3) << kept.join(' ').toStdString();
    EXPECT_EQ(kept[0] + kept[1], "20260102-000000-000-COM2.log20260103-000000-000-COM3.txt");
    const QRegularExpression written(R"(^# dx400 1\.0\.0 port=COM4 device=/dev/pts/9 speed=9600 )"
                                     R"(start=\S+\n\d+ TX AA 00 03\n\d+ RX BB\n\d+ HUP\n$)");
    EXPECT_TRUE(
        kept[2].endsWith("-COM4.log") &&
        written.match(test::linesOf(folder.filePath(kept[2])).join('\n') + '\n').hasMatch());
}
