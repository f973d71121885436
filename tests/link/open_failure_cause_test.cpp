// Telling a port held by another program from one the operator may not open, and a lost
// line found by a write. As root every device opens, so the cases that need an operator
// without rights run in a child process that has become the user "nobody".
#include "link/port_naming.h"
#include "link/qt_serial_port.h"
#include "pty_port.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dx400;
using Cause = OpenFailure::Cause;

namespace {

constexpr uid_t kNobody = 65534;

// Runs body in a child process that has given up root for nobody, and returns what it
// returns (or -1 when the child could not drop its rights or did not end normally).
int asNobody(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        alarm(20); // a child that hangs ends anyway
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(255);
        _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

// The cause as the operator sees it, found by this process when it is not root and by a
// child running as nobody when it is.
int causeForOperator(const std::function<Cause()>& classify) {
    if (geteuid() != 0)
        return static_cast<int>(classify());
    return asNobody([&] { return static_cast<int>(classify()); });
}

// Makes a folder and its parents up to `top` reachable by every user.
void openUpTo(const QString& path, const QString& top) {
    for (QString dir = path; dir.startsWith(top); dir = QFileInfo(dir).path()) {
        ::chmod(QFile::encodeName(dir).constData(), 0755);
        if (dir == top)
            break;
    }
}

} // namespace

TEST(OpenFailureCause, EachOpenErrorNamesWhatTheOperatorCanDoAboutIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    openUpTo(dir.path(), dir.path());
    const QString everyone = dir.filePath("everyone");
    const QString noOne = dir.filePath("no-one");
    for (const QString& path : {everyone, noOne}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ::chmod(QFile::encodeName(everyone).constData(), 0666);
    ::chmod(QFile::encodeName(noOne).constData(), 0000);

    struct Case {
        const char* name;
        QSerialPort::SerialPortError error;
        QString device;
        Cause cause;
    };
    const Case cases[] = {
        {"device missing", QSerialPort::DeviceNotFoundError, everyone, Cause::NoSuchDevice},
        {"permission error, nothing there", QSerialPort::PermissionError, dir.filePath("absent"),
         Cause::NoSuchDevice},
        {"permission error, device open to the operator: another program holds it",
         QSerialPort::PermissionError, everyone, Cause::Busy},
        {"permission error, device closed to the operator", QSerialPort::PermissionError, noOne,
         Cause::AccessDenied},
        {"speed refused", QSerialPort::UnsupportedOperationError, everyone, Cause::RateRefused},
        {"anything else", QSerialPort::OpenError, everyone, Cause::Other},
    };
    for (const Case& c : cases) {
        const int cause = causeForOperator(
            [&] { return classifyOpenError(c.error, c.device, QStringLiteral("detail")).cause; });
        EXPECT_EQ(cause, static_cast<int>(c.cause)) << c.name;
    }
    EXPECT_EQ(classifyOpenError(QSerialPort::OpenError, everyone, "the system's words").detail,
              "the system's words");
}

TEST(OpenFailureCause, AnOperatorWithoutRightsToTheDeviceIsToldSo) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to open a device as another user; the classification "
                        "itself is tested above";
    test::PtyPort pty(4);
    // The pseudo-terminal belongs to root and is closed to others; nobody must still be
    // able to follow the COM4 link to it.
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    openUpTo(portLinkDirectory(), config);
    const int cause = asNobody([] {
        QtSerialPort port;
        port.setCommPort(4);
        const std::optional<OpenFailure> failure = port.open();
        return failure ? static_cast<int>(failure->cause) : 100;
    });
    EXPECT_EQ(cause, static_cast<int>(Cause::AccessDenied));
}

TEST(OpenFailureCause, AWriteToAHungUpLineFailsAndReportsTheLossOnce) {
    test::PtyPort pty(4);
    QtSerialPort port;
    port.setCommPort(4);
    ASSERT_FALSE(port.open().has_value());
    QSignalSpy lost(&port, &SerialPort::lineLost);
    pty.hangUp();
    // No event loop has run since the hang-up: the write is the first to meet it.
    EXPECT_FALSE(port.write(QByteArray::fromHex("AA00060800000000EE0E0000")));
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(port.isOpen());
    QTest::qWait(300);
    EXPECT_EQ(lost.count(), 1) << "the loss is reported once";
    EXPECT_FALSE(port.write(QByteArray(12, '\0')));
    EXPECT_EQ(lost.count(), 1);
}
