// The window's real start in a process of its own against the simulated drive as COM4.
#include "link/traffic_log.h"
#include "simulated_drive.h"

#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace dx400;

TEST(ProgramEnd, EveryEndDuringAJogPutsTheStopFrameOnTheLineLast) {
    const rlimit noCoreFiles{0, 0}; // SIGQUIT would leave one of each child
    setrlimit(RLIMIT_CORE, &noCoreFiles);
    const QString jogThenStop = "AA 00 01 00 00 00 01 2C EE 2E | AA 00 03 00 00 00 00 00 EE 03";
    const std::tuple<const char*, int, int> cases[] = {
        // the child's steps, the signal it then gets (0: none), its exit code
        {"jog", SIGTERM, 0},     {"jog", SIGHUP, 0},  {"jog box", SIGINT, 0},   {"jog", SIGQUIT, 0},
        {"jog box", SIGALRM, 0}, {"jog", SIGPIPE, 0}, {"jog close", 0, 0},      {"jog exit", 0, 1},
        {"jog box exit", 0, 1},  {"close", 0, 0},     {"--no-log", SIGTERM, 0},
    };
    for (const auto& [steps, signal, code] : cases) {
        SCOPED_TRACE(std::string(steps) + " " + (signal ? strsignal(signal) : ""));
        const QString expected = QString(steps).contains("jog") ? jogThenStop : "";
        const test::SimulatedDrive sim;
        QProcess child;
        child.start(DX400_WINDOW_CHILD, QString(steps).split(' ', Qt::SkipEmptyParts));
        // Started with the tool's look, naming its desktop file for the desktop's icon.
        while (!child.readAllStandardOutput().contains("started 굴림 io.github.dx400.dx400"))
            ASSERT_TRUE(child.waitForReadyRead(10'000));
        // A child that has ended has no id: kill(0) would hit this whole process group.
        const auto pid = static_cast<pid_t>(child.processId());
        ASSERT_GT(pid, 0) << "the child ended before its signal";
        if (signal)
            ::kill(pid, signal);
        ASSERT_TRUE(child.waitForFinished(10'000));
        EXPECT_EQ(child.exitStatus(), signal ? QProcess::CrashExit : QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), signal ? signal : code) << "killed by that signal";
        // The frames expected, then whatever else came, would show within these waits.
        const auto frames = static_cast<std::size_t>(expected.count("AA"));
        for (const std::size_t more : {0u, 1u})
            sim.drive.waitFor([&](const auto& n) { return n.framesReceived >= frames + more; },
                              std::chrono::milliseconds(more ? 300 : 5000));
        EXPECT_EQ(test::received(sim.drive), expected);
        // The flight recorder kept the frames that went, the last one too, in one file: the
        // ports that the window only looked at left none.
        QStringList logged;
        QString replies; // as they came, once each; the last may not have come in time
        for (const QFileInfo& log : QDir(flightRecorderFolder()).entryInfoList(QDir::Files)) {
            logged << "#";
            for (const QString& line : test::linesOf(log.filePath()).filter(" TX "))
                logged << line.section(' ', 2, 11);
            for (const QString& line : test::linesOf(log.filePath()).filter(" RX "))
                replies += line.section(' ', 2) + ' ';
        }
        EXPECT_TRUE(test::received(sim.drive, {sim::LogKind::Tx})
                        .replace(" | ", " ")
                        .startsWith(replies.trimmed()));
        EXPECT_EQ(logged.join(" | "), expected.isEmpty() ? "" : "# | " + expected);
    }
}
