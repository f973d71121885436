// dx400ctl as scripts run it, against the simulated drive published as COM4.
#include "sim/sim_options.h"
#include "simulated_drive.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>

namespace dx400 {
namespace {

const QString kCurrent = "AA 00 06 01 00 00 00 00 EE 07", kInputs = "AA 00 0C 01 00 00 00 00 EE 0D";
const QString kReadAll = kCurrent +
                         " | AA 00 06 02 00 00 00 00 EE 08 | AA 00 06 04 00 00 00 00 EE 0A"
                         " | AA 00 06 05 00 00 00 00 EE 0B | AA 00 06 07 00 00 00 00 EE 0D"
                         " | AA 00 06 06 00 00 00 00 EE 0C";
const QString kPosition = "AA 00 06 08 00 00 00 00 EE 0E";
const QString kStop = "AA 00 03 00 00 00 00 00 EE 03";
const QString kWriteAll =
    "AA 00 05 01 00 00 00 1F EE 25 | AA 00 05 02 00 00 00 00 EE 07 | AA 00 05 04 00 00 07 FE EE "
    "0E | AA 00 05 05 00 00 07 FE EE 0F | AA 00 05 07 00 00 07 FE EE 11 | AA 00 05 06 00 00 00 "
    "07 EE 12";
const QString kSixNewValues =
    "resolution=7 home-speed=2046 accel=2046 speed=2046 stop-current=0 current=31";

struct Result {
    qint64 code = -1, ms = 0; // the exit code (-1: no normal exit) and the run's time
    QString out, err, frames; // frames: the valid ones the drive received, " | " between them
};

class Ctl : public testing::Test {
protected:
    void SetUp() override { startDrive(); }
    // A new drive (a new log, the first values), set up as its command line would set it.
    void startDrive(const QString& drive = "") {
        m_drive.reset();
        const auto given = sim::parseArguments(test::words(drive.toStdString())).options;
        m_drive = std::make_unique<sim::PtyServer>(4, given.faults, given.inputs);
        m_drive->start();
    }
    // Starts dx400ctl with the arguments, "%pts" standing for the drive's device.
    void start(QProcess& process, const QString& arguments) {
        m_clock.start();
        process.start(DX400CTL, pts(arguments).split(' ', Qt::SkipEmptyParts));
    }
    QString pts(QString text) const {
        return text.replace("%pts", QString::fromStdString(m_drive->devicePath()));
    }
    Result finish(QProcess& process) {
        EXPECT_TRUE(process.waitForFinished(20'000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                m_clock.elapsed(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError()),
                test::received(*m_drive, {sim::LogKind::Rx})};
    }
    Result ctl(const QString& arguments) {
        QProcess process;
        start(process, arguments);
        return finish(process);
    }
    QString file(const QString& name) const { return m_ports.config.filePath(name); }

    test::OnlyPort m_ports{4};
    std::unique_ptr<sim::PtyServer> m_drive;
    QElapsedTimer m_clock;
};

TEST_F(Ctl, EachCommandLineSendsItsFramesAndExitsWithItsCode) {
    struct Case {
        QString arguments;
        int code;
        QString frames, output; // the output found in standard output, or else in standard error
        QString drive = "";     // the simulated drive's faults and inputs, as its command line
        // How long the run takes: each time-out waited, and not much longer; a wrong reply
        // judged once the line is quiet, not at the time-out; a sound jog its time.
        int fromMs = 0, toMs = 10'000;
    };
    const Case cases[] = {
        // The same values as JSON: one object, port and line speed besides.
        {"--json read current speed resolution position inputs", 0,
         kCurrent + " | AA 00 06 04 00 00 00 00 EE 0A | AA 00 06 06 00 00 00 00 EE 0C | " +
             kPosition + " | " + kInputs,
         R"({"current":20,"inputs":"011","line-speed":19200,"port":"COM4","position":0,)"
         R"("resolution":2,"speed":800})",
         "--inputs 011"},
        {"inputs", 0, kInputs, "inputs 010\n", "--inputs 010"},
        {"read", 0, kReadAll, "accel 10\nhome-speed 500\nresolution 2\n"}, // all six by default
        {"write " + kSixNewValues, 0, kWriteAll,
         "current 31\nstop-current 0\nspeed 2046\naccel 2046\nhome-speed 2046\nresolution 7\n"},
        {"move inc -- -100", 0, "AA 00 04 01 FF FF FF 9C EE 9E", ""},
        {"jog rol 300 --for 0.2", 0, "AA 00 02 00 00 00 01 2C EE 2F | " + kStop, "", "", 200},
        {"jog rol 300 --for 0.001", 0, "AA 00 02 00 00 00 01 2C EE 2F | " + kStop, "", "", 0, 2000},
        {"output on", 0, "AA 00 0B 01 00 00 00 01 EE 0D", ""},
        // A sample as the watch starts, then one each interval until --for is up.
        {"--json watch --for 0.05", 0, kPosition + " | " + kInputs,
         R"({"inputs":"011","position":0,"t_ms":)", "--inputs 011"},
        {"--csv watch inputs position --interval 100 --for 0.15", 0,
         kInputs + " | " + kPosition + " | " + kInputs + " | " + kPosition,
         "t_ms,inputs,position\n\t,000,0\n\t,000,0\n", "", 100, 1000},
        {"--verbose watch position --for 0.08", 0, kPosition, "t_ms \t position 0\n"},
        {"output off", 0, "AA 00 0B 01 00 00 00 00 EE 0C", ""},
        {"send 05 01 02 03 04 05", 0, "AA 00 05 01 02 03 04 05 EE 14",
         "reply BB  00  05  64  02  03  04  05  EE  77\n"},
        {"--verbose stop", 0, kStop, "TX  AA  00  03  00  00  00  00  00  EE  03\n  "},
        {"ports", 0, "", "COM4 %pts opens\n\tCOM10 /nonexistent/dx400-test-port no such device\n"},
        // The drive runs at 19200: at 9600 it reads nothing it could answer.
        {"--port %pts --speed 9600 --timeout 100 watch position", 4, "", "no reply within 100 ms"},
        {"--port COM9 stop", 3, "",
         "통신 연결 실패: COM9\n포트가 없습니다 (/nonexistent/dx400-test-port)."},
        {"--port /dev/null stop", 3, "", "시리얼 포트가 아닙니다 (/dev/null)."},
        {"--json --speed 300 stop", 2, "", R"(got '300'","port":"COM4"})"}, // no speed of its own
        {"--help", 0, "", "Usage: \tWorks a DX-400 stepper-motor drive over a serial line"},
        {"--version", 0, "", "dx400ctl " DX400_VERSION "\n"},
        {"save --profile /tmp", 2, "", "cannot write the profile /tmp: not writable"},
        {"save --profile /nonexistent/p", 2, "", "cannot write the profile /nonexistent/p"},
        {"position", 5, kPosition,
         "after the reply to AA  00  06  08  00  00  00  00  EE  0E: the drive answers",
         "--duplicate 10 --split 50"}, // each reply in halves, a second begun as the line settles
        {"--timeout 100 --retries 2 stop", 4, kStop + " | " + kStop + " | " + kStop,
         "EE  03, sent 3 times", "--no-reply", 300, 1300},
        {"--verbose --timeout 3000 --json position", 5, kPosition,
         R"("error":"bad reply to AA  00  06  08  00  00  00  00  EE  0E: start byte BC where BB )"
         R"(belongs, command byte 07 where 06 belongs, status byte 65 where 64 belongs, end byte )"
         R"(EF where EE belongs, checksum 6D where 6C belongs, in BC  00  07  65  00  00  00  00 )"
         R"( EF  6D")"
         "\tRX  BC  00  07  65  00  00  00  00  EF  6D\n",
         "--bad-start --bad-status --bad-end --bad-checksum --wrong-command", 0, 2000},
        {"jog rol 300 --for 30", 5, "AA 00 02 00 00 00 01 2C EE 2F | " + kStop,
         "command byte 04 where 03 belongs, in BB  00  04  64  00  00  00  00  EE  68; the stop "
         "frame went out, but that the motor stopped is not confirmed",
         "--wrong-command"},
        {"jog ror 300 --for 5", 4, "AA 00 01 00 00 00 01 2C EE 2E",
         "lost during the jog: no stop frame went out, the motor may still be running",
         "--hangup-after 1", 0, 3000},
        // An answer come twice during a timed jog fails the run once the stop has gone.
        {"jog ror 300 --for 0.5", 5, "AA 00 01 00 00 00 01 2C EE 2E | " + kStop,
         "after the reply to AA  00  01  00  00  00  01  2C  EE  2E: the drive answers",
         "--duplicate 100"},
        // Come during the pause after a write, it puts that write in doubt, which goes again.
        {"--retries 1 write current=1 stop-current=2", 5,
         "AA 00 05 01 00 00 00 01 EE 07 | AA 00 05 01 00 00 00 01 EE 07",
         "after the reply to AA  00  05  01  00  00  00  01  EE  07, sent 2 times",
         "--duplicate 20"},
        {"--timeout 100 --retries 1 read current stop-current", 5,
         kCurrent + " | " + kCurrent + " | " + kInputs,
         "not answer in step after a reply to AA  00  06  01  00  00  00  00  EE  07 went missing",
         "--lag"},
        // After an inputs read, the harmless request is a position read.
        {"--timeout 100 --retries 1 inputs", 5, kInputs + " | " + kInputs + " | " + kPosition,
         "command byte 0C where 06 belongs", "--lag"},
        // Stray bytes before each reply and noise after it are passed over.
        {"--verbose --json read current position", 0, kCurrent + " | " + kPosition,
         R"({"current":20,"line-speed":19200,"port":"COM4","position":0})"
         "\t(skipped)\n\tRX  BB  00  06  64  00  00  00  14  EE  7E\n\t(noise, passed over)\n",
         "--stray 5 --extra 3"},
        // A reply only late is dropped, not taken for the next attempt's or request's.
        {"--verbose --timeout 100 --retries 1 read current stop-current", 4,
         kCurrent + " | " + kCurrent,
         "sent 2 times\tRX  BB  00  06  64  00  00  00  14  EE  7E  (late, dropped)",
         "--delay 150"},
        {"--verbose --timeout 100 position", 4, kPosition,
         "(received only BB  00  06  64  00)\tRX  BB  00  06  64  00\n", "--split 300"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.toStdString());
        startDrive(c.drive);
        const Result run = ctl(c.arguments);
        EXPECT_EQ(run.code, c.code) << run.err.toStdString();
        EXPECT_EQ(run.frames, c.frames);
        for (const QString& part : pts(c.output).split('\t')) // each found in one or the other
            EXPECT_TRUE(run.out.contains(part) || run.err.contains(part))
                << (part + '\n' + run.out + run.err).toStdString();
        // No Qt warning; without --verbose, a sound run says nothing on standard error.
        const bool quiet = run.code || c.arguments.contains("--verbose") || run.err.isEmpty();
        EXPECT_TRUE(quiet && !run.err.contains("::")) << run.err.toStdString();
        EXPECT_TRUE(run.ms >= c.fromMs && run.ms < c.toMs) << run.ms << " ms";
    }
}

TEST_F(Ctl, SaveThenVerifyWritesArePacedAndARefusedProfileSendsNothing) {
    const QString profile = file("drive.profile");
    EXPECT_EQ(ctl("save --profile " + profile).frames, kReadAll);
    QFile saved(profile);
    const QString text = saved.open(QIODevice::ReadOnly) ? QString::fromUtf8(saved.readAll()) : "";
    EXPECT_TRUE(text.endsWith("current = 20\nstop-current = 4\nspeed = 800\naccel = 10\n"
                              "home-speed = 500\nresolution = 2\n"))
        << text.toStdString();

    EXPECT_EQ(ctl("verify --profile " + profile).out,
              "current 20\nstop-current 4\nspeed 800\naccel 10\nhome-speed 500\nresolution 2\n");

    const auto edited = [&](const QString& name, const QString& from, const QString& to) {
        QFile out(file(name));
        out.open(QIODevice::WriteOnly);
        out.write(QString(text).replace(from, to).toUtf8());
        return file(name);
    };
    const Result differs = ctl("verify --profile " + edited("fast", "speed = 800", "speed = 900"));
    EXPECT_EQ(differs.code, 1);
    EXPECT_TRUE(differs.err.contains("speed is 800 on the drive, 900 in the profile\n"
                                     "dx400ctl: verify found 1 difference\n"));
    // Every one of the six is compared; a value read back out of range is saved, and fails.
    ctl("write current=21 stop-current=5 speed=801 accel=11 home-speed=501");
    ctl("send 05 06 00 00 00 09");
    EXPECT_EQ(ctl("read resolution").code, 5);
    const Result all = ctl("--json save --profile " + file("nine"));
    EXPECT_TRUE(all.out.contains(R"("out-of-range":{"resolution":9})")) << all.out.toStdString();
    EXPECT_TRUE(all.err.contains("resolution is 9 on the drive, outside 0 to 7\ndx400ctl: 1 value "
                                 "read back outside the parameter's range"));
    QFile nine(file("nine"));
    EXPECT_TRUE(nine.open(QIODevice::ReadOnly) && nine.readAll().endsWith("resolution = 9\n"));
    const Result six = ctl("--json verify --profile " + profile);
    EXPECT_EQ(six.code, 5) << "a value out of range outweighs the differences";
    EXPECT_TRUE(six.out.contains(R"("differences":{"accel":{"drive":11,"profile":10},)"));
    EXPECT_EQ(six.err.count(" on the drive, "), 7) << six.err.toStdString();

    startDrive();
    const Result written = ctl("verify --write --profile " + file("fast"));
    EXPECT_EQ(written.code, 0) << written.err.toStdString();
    EXPECT_TRUE(written.frames.contains("AA 00 05 04 00 00 03 84 EE 90 | ")); // speed 900
    EXPECT_TRUE(written.frames.endsWith(kReadAll));
    const std::vector<std::int64_t> sent = test::times(*m_drive, sim::LogKind::Rx);
    // Paced as WRITE ALL; the first write may wait for the drive to notice the open line.
    for (std::size_t i = 2; i < 6; ++i)
        EXPECT_GE(sent.at(i) - sent.at(i - 1), 75'000) << "write " << i + 1;

    const auto typo = text.left(text.indexOf("accel")).count('\n') + 1; // the line it is on
    const std::tuple<QString, int, QString> refused[] = {
        {edited("bad", "resolution = 2", "resolution = 8"), 6, ""},
        {edited("typo", "accel = 10", "acel = 10"), 2, QString(":%1: ").arg(typo)},
        {edited("short", "current = 20\n", ""), 2, "short has no line for current\n"},
    };
    for (const auto& [path, code, message] : refused) {
        startDrive();
        const Result run = ctl("write --profile " + path);
        EXPECT_EQ(run.code, code) << path.toStdString();
        EXPECT_EQ(run.frames, "") << path.toStdString();
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
    }
}

// --log: each run's session appended as a header, then its bytes as they went and came; a log
// that cannot be written is said once, and the run goes on.
// A watch shows a move that another run makes meanwhile, and a signal ends it with every
// sample printed whole.
TEST_F(Ctl, WatchSharesTheLineWithAMoveAndEndsOnASignalWithEverySamplePrinted) {
    QProcess watch;
    start(watch, "--json watch --interval 50");
    QByteArray out;
    const auto seen = [&](const char* text) {
        return QTest::qWaitFor([&] {
            watch.waitForReadyRead(20);
            return (out += watch.readAllStandardOutput()).contains(text);
        });
    };
    ASSERT_TRUE(seen(R"("position":0,)"));
    EXPECT_EQ(ctl("move abs 3000").code, 0) << "the watch leaves the line free between samples";
    EXPECT_TRUE(seen(R"("position":3000,)")) << out.toStdString();
    ::kill(static_cast<pid_t>(watch.processId()), SIGINT);
    const Result run = finish(watch);
    const QList<QByteArray> lines = (out + run.out.toUtf8()).split('\n');
    EXPECT_TRUE(std::ranges::all_of(lines.first(lines.size() - 1), [](const QByteArray& line) {
        return QJsonDocument::fromJson(line).object().contains("t_ms");
    }));
    EXPECT_EQ(std::tuple(run.code, lines.last(), run.err),
              std::tuple(128 + SIGINT, QByteArray(),
                         "dx400ctl: SIGINT ended the watch; every "
                         "sample taken was printed\n"));
    const auto moving = std::ranges::count_if(lines.first(lines.size() - 1), [](const auto& line) {
        return !line.contains(R"("position":0,)") && !line.contains(R"("position":3000,)");
    });
    EXPECT_GE(moving, 3) << "the move seen on its way, not only at its ends";
}

TEST_F(Ctl, AppendsEachRunsTrafficToItsLogAndAnUnwritableLogStopsNothing) {
    ctl("write current=21");
    for (const QString command : {"read current", "--speed 9600 --timeout 100 stop"})
        ctl("--log " + file("traffic.log") + " " + command);
    std::vector<std::array<QString, 3>> sessions; // header, bytes sent, bytes received
    qint64 before = 0;
    for (const QString& line : test::linesOf(file("traffic.log"))) {
        if (line.startsWith("# ")) {
            sessions.push_back({line, "", ""}), before = 0;
        } else if (!sessions.empty()) {
            EXPECT_GE(line.section(' ', 0, 0).toLongLong(), before) << "in order, from the header";
            before = line.section(' ', 0, 0).toLongLong();
            sessions.back()[line.section(' ', 1, 1) == "TX" ? 1 : 2] += line.section(' ', 2) + " ";
        }
    }
    ASSERT_EQ(sessions.size(), 2u);
    const QRegularExpression header(
        R"(^# dx400ctl [\d.]+ port=COM4 device=/dev/pts/\d+ speed=(\d+) )"
        R"(start=\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}\+13:10$)");
    EXPECT_EQ(std::tuple(header.match(sessions[0][0]).captured(1), sessions[0][1], sessions[0][2],
                         header.match(sessions[1][0]).captured(1), sessions[1][1], sessions[1][2]),
              std::tuple("19200", kCurrent + " 00 00 ", "BB 00 06 64 00 00 00 15 EE 7F ", "9600",
                         kStop + " 00 00 ", ""));
    // A session for each sample, each trying the log again, and one word about it.
    const Result unwritable = ctl("--log /nonexistent/log watch position --for 0.25");
    EXPECT_EQ(std::tuple(unwritable.code, unwritable.out.count('\n') > 1, unwritable.err),
              std::tuple(0, true,
                         "dx400ctl: cannot write the traffic log /nonexistent/log "
                         "(No such file or directory); the work goes on without it\n"));
    // The drive recorded there, replayed, answers as it did (a new drive would say 20).
    m_drive = std::make_unique<sim::PtyServer>(4);
    m_drive->setReplay(sim::ReplayScript::load(file("traffic.log").toStdString()), false);
    m_drive->start();
    EXPECT_EQ(ctl("read current").out, "current 21\n");
}

TEST_F(Ctl, EverySignalThatWouldEndItStopsATimedJogAndLetsAWriteFinish) {
    // ReplyAwaited: the jog answered 0.5 s late; Mended: its answer wrong, the stop's right.
    enum Moment { BeforeTheJog, ReplyAwaited, Jogging, Writing, Mended };
    const char* const faults[] = {"", "--delay 500", "", "", "--wrong-command"}; // by moment
    const QString jog = "AA 00 01 00 00 00 01 2C EE 2E | " + kStop;
    std::vector<std::tuple<int, Moment, QString, QString>> cases = {
        {0, Mended, jog, "command byte 02 where 01 belongs"}};
    for (const int signal :
         {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGPIPE}) {
        const QString name = QString("SIG") + sigabbrev_np(signal);
        cases.insert(
            cases.end(),
            {{signal, BeforeTheJog, "", name + " came before the jog started; nothing was sent"},
             {signal, ReplyAwaited, jog, name + "; the motor was stopped"},
             {signal, Jogging, jog, name + "; the motor was stopped"},
             {signal, Writing, kWriteAll, name + " came while writing; every value was written"}});
    }
    for (const auto& [signal, moment, frames, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        startDrive(faults[moment]);
        QProcess process;
        // Raised and blocked in the child before it runs, the signal waits for its watch.
        if (moment == BeforeTheJog)
            process.setChildProcessModifier([s = signal] {
                sigset_t one;
                sigemptyset(&one);
                sigaddset(&one, s);
                pthread_sigmask(SIG_BLOCK, &one, nullptr);
                ::raise(s);
            });
        start(process, moment == Writing ? "write " + kSixNewValues
                                         : "--verbose --timeout 3000 jog ror 300 --for 30");
        QByteArray err;
        ASSERT_TRUE(moment != Jogging || QTest::qWaitFor([&] {
                        process.waitForReadyRead(20);
                        return (err += process.readAllStandardError()).contains("jogging;");
                    }))
            << "no jog began";
        if (moment != Jogging && moment != BeforeTheJog) // the first frame got, or answered
            m_drive->waitFor(
                [mended = moment == Mended](const auto& n) {
                    return (mended ? n.repliesSent : n.framesReceived) == 1;
                },
                std::chrono::seconds(5));
        if (!signal)
            m_drive->setFaults({});
        else if (moment != BeforeTheJog)
            ::kill(static_cast<pid_t>(process.processId()), signal);
        const Result run = finish(process);
        EXPECT_EQ(std::tuple(run.code, run.frames), std::tuple(signal ? 128 + signal : 5, frames));
        EXPECT_TRUE(moment != ReplyAwaited || m_drive->log().at(1).kind == sim::LogKind::Rx)
            << "the stop went at once, before the jog was answered";
        EXPECT_TRUE((err + run.err.toUtf8()).contains(message.toUtf8())) << run.err.toStdString();
    }
}

} // namespace
} // namespace dx400
