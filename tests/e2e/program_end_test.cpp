// The window's real start in a process of its own, against the simulated drive published
// as COM4: however the program ends during a jog, the drive gets the stop frame last, and
// a signal still ends the program as it would have without the window's watch.
#include "port_links.h"
#include "sim/pty_server.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace dx400;

TEST(ProgramEnd, EveryEndDuringAJogPutsTheStopFrameOnTheLineLast) {
    const QString jogThenStop = "AA 00 01 00 00 00 01 2C EE 2E | AA 00 03 00 00 00 00 00 EE 03";
    const std::tuple<const char*, int, int, QString> cases[] = {
        // the child's steps, the signal it then gets (0: none), its exit code, the drive's log
        {"jog", SIGTERM, 0, jogThenStop},
        {"jog", SIGHUP, 0, jogThenStop},
        {"jog box", SIGINT, 0, jogThenStop},
        {"jog", SIGQUIT, 0, jogThenStop},
        {"jog box", SIGALRM, 0, jogThenStop},
        {"jog", SIGPIPE, 0, jogThenStop},
        {"jog CMD3", 0, 0, jogThenStop},
        {"jog close", 0, 0, jogThenStop},
        {"jog exit", 0, 1, jogThenStop},
        {"jog box exit", 0, 1, jogThenStop},
        {"close", 0, 0, ""},
        {"", SIGTERM, 0, ""},
    };
    for (const auto& [steps, signal, code, expected] : cases) {
        SCOPED_TRACE(std::string(steps) + " " + (signal ? strsignal(signal) : ""));
        const QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        test::linkPortsToNothing(4);
        sim::PtyServer drive(4);
        drive.start();
        QProcess child;
        child.setChildProcessModifier([] { // SIGQUIT would leave a core file
            const rlimit none{0, 0};
            setrlimit(RLIMIT_CORE, &none);
        });
        child.start(DX400_WINDOW_CHILD, QString(steps).split(' ', Qt::SkipEmptyParts));
        // Started with the tool's look, naming its desktop file for the desktop's icon.
        while (!child.readAllStandardOutput().contains("started 굴림 io.github.dx400.dx400"))
            ASSERT_TRUE(child.waitForReadyRead(10'000));
        if (signal)
            ::kill(static_cast<pid_t>(child.processId()), signal);
        ASSERT_TRUE(child.waitForFinished(10'000));
        EXPECT_EQ(child.exitStatus(), signal ? QProcess::CrashExit : QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), signal ? signal : code) << "killed by that signal";
        // The frames expected, then whatever else came, would show within these waits.
        const auto frames = static_cast<std::size_t>(expected.count("AA"));
        for (const std::size_t more : {0u, 1u})
            drive.waitFor([&](const auto& n) { return n.framesReceived >= frames + more; },
                          std::chrono::milliseconds(more ? 300 : 5000));
        QStringList received;
        for (const sim::LogEntry& entry : drive.log()) {
            if (entry.kind != sim::LogKind::Tx)
                received << QString::fromStdString(sim::toHex(entry.bytes));
        }
        EXPECT_EQ(received.join(" | "), expected);
    }
    qunsetenv("XDG_CONFIG_HOME");
}
