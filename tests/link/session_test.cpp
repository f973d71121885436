// dx400ctl's session against a drive the test plays on a pseudo-terminal, as each row answers.
#include "ctl/drive_session.h"
#include "ctl/options.h"
#include "line_under_test.h"

#include <QSocketNotifier>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/ioctl.h>

using namespace dx400;

TEST(DriveSession, TakesOnlyAReplyThatCanAnswerThisRequestAndSendsTheDoubtfulOneAgain) {
    // Sound replies to command 06 carrying 1, 2 and 3, and to 0C; at "HUP" the drive hangs up.
    const QByteArray r1 = QByteArray::fromHex("BB00066400000001EE6B"),
                     r2 = QByteArray::fromHex("BB00066400000002EE6C"),
                     r3 = QByteArray::fromHex("BB00066400000003EE6D"),
                     r12 = QByteArray::fromHex("BB000C6400000000EE70"), hangUp = "HUP";
    struct Row {
        const char* name;
        int reads; // of parameters 1, 2, 3: 100 ms apart when more than one
        std::vector<std::vector<std::pair<int, QByteArray>>> answers; // per frame got: ms, bytes
        QString outcome; // the values taken, or the failure up to its first ": "
        QString got;     // the command and option bytes of each frame the drive got
    };
    const QString unasked = "unasked reply BB  00  06  64  00  00  00  01  EE  6B after the reply "
                            "to AA  00  06  01  00  00  00  00  EE  07, sent 2 times";
    // clang-format off
    const Row rows[] = {
        {"noise before the reply", 1, {{{2, "\x12\xBB\x34" + r1}}}, "1", "0601"},
        {"a second reply", 1, {{{2, r1}, {5, r1}}, {{2, r1}, {5, r1}}}, unasked, "0601 0601"},
        {"late replies: before a resend, and before read 3", 3, {{{2, r12}, {80, r1}}, {{2, r1}},
         {{2, r2}, {20, r2}}, {{2, r2}}, {{2, r3}}}, "1 2 3", "0601 0601 0602 0602 0603"},
        {"a drive still talking after its second reply", 1,
         {{{2, r1}, {12, r1}, {40, r1}, {60, r1}, {80, r1}}, {{2, r1}}}, "1", "0601 0601"},
        {"a reply missing, then the drive in step, then a wrong reply", 2,
         {{}, {{2, r1}}, {{2, r12}}, {{2, r12}}, {{2, r2}}}, "1 2", "0601 0601 0c01 0602 0602"},
        {"a wrong reply, then the right one", 1, {{{25, r12}, {42, r1}}}, "1", "0601"},
        {"a wrong reply, then late", 1, {{{2, r12}, {80, r1}}, {{2, r1}}}, unasked, "0601 0601"},
        {"a reply missing, then one too many", 1, {{}, {{2, r1 + r1}}}, unasked, "0601 0601"},
        {"a reply missing, then the drive silent", 1, {{}, {{2, r1}}},
         "no reply within 200 ms to AA  00  0C  01  00  00  00  00  EE  0D", "0601 0601 0c01"},
        {"a reply missing, then the line lost", 1, {{}, {{2, r1}, {20, hangUp}}},
         "통신 연결이 끊어졌습니다", "0601 0601 0c01"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::PtyPort pty(1);
        pty.write(r3); // waiting before the port opens: no answer to anything of this run
        QStringList got;
        QSocketNotifier drive(pty.master(), QSocketNotifier::Read);
        QObject::connect(&drive, &QSocketNotifier::activated, [&] {
            char frame[12];
            if (::read(pty.master(), frame, sizeof frame) != sizeof frame)
                return;
            got << QByteArray(frame + 2, 2).toHex();
            if (std::size_t(got.size()) <= row.answers.size())
                for (const auto& answer : row.answers[std::size_t(got.size()) - 1])
                    QTimer::singleShot(answer.first, [&, bytes = answer.second] {
                        if (bytes != hangUp)
                            return pty.write(bytes);
                        drive.setEnabled(false);
                        pty.hangUp();
                    });
        });
        const ctl::Options options =
            ctl::parseOptions({"dx400ctl", "--port", "COM1", "--retries", "1", "--timeout", "200"});
        std::vector<ctl::Request> requests;
        for (int p = 1; p <= row.reads; ++p)
            requests.push_back(
                {{6, p, 0, 0, 0, 0}, std::chrono::milliseconds(row.reads > 1 ? 100 : 0)});
        test::lineRequests = {};
        QString outcome;
        try { // a session of one exchange, ended (and its line closed) once the replies are in
            for (const ctl::Reply& r : ctl::DriveSession(options).exchange(requests))
                outcome += (outcome.isEmpty() ? "" : " ") + QString::number(r[7]);
        } catch (const ctl::Failure& failure) {
            outcome = failure.what();
        }
        EXPECT_EQ(std::tuple(outcome.section(": ", 0, 0), got.join(' ')),
                  std::tuple(row.outcome, row.got));
        // Opened as the window opens, with DTR raised; closed once the last frame is out.
        EXPECT_EQ(test::lineRequests.modemLines,
                  (std::vector<std::pair<unsigned long, int>>{{TIOCMBIS, TIOCM_DTR}}));
        EXPECT_TRUE(test::lineRequests.calls.ends_with("write drain settings close"))
            << test::lineRequests.calls;
    }
}
