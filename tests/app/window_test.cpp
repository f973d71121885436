// The window over a fake serial port: start-up, connecting, frames, receive events and
// what every button does, one click after another.
#include "window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QtEndian>
#include <functional>
#include <random>
#include <utility>
#include <vector>

using namespace dx400;
using namespace dx400::test;

namespace {

const QString kCommError = QStringLiteral("통신에러");
const QString kLineLost = QStringLiteral("통신 연결이 끊어졌습니다: COM4");

bool looksConnected(const FakeWindow& w, bool connected) {
    bool ok = colourName(w.window, "rxled") == (connected ? "#FF0000" : "#FFFFFF") &&
              w.port->isOpen() == connected;
    for (const char* name : {"통신연결버튼", "Combo_0", "Combo_1"})
        ok = ok && control(w.window, name)->isEnabled() != connected;
    for (const char* name : {"CMD3", "cmd_Data", "cmd_RData", "Cmd_RPOS", "CMD_CUR", "CMD_CUR_R",
                             "cmd_ROL", "cmd_ROR", "mtr_STOP", "CMD_IN", "CMD_OUT"})
        ok = ok && control(w.window, name)->isEnabled() == connected;
    return ok;
}

} // namespace

TEST(WindowStartup, OnlyTheConnectControlsRespondAndThePortsThatOpenAreListed) {
    FakeWindow w;
    EXPECT_TRUE(looksConnected(w, false));
    EXPECT_EQ(w.port->events->join(' ').count("open drain close"), 3) << "COM1, COM4, COM10";
    auto* found = control<QListWidget>(w.window, "PORT");
    QStringList listed;
    for (int i = 0; i < found->count(); ++i)
        listed << found->item(i)->text();
    EXPECT_EQ(listed.join(' '), "COM1 COM4 COM10");
    auto* ports = control<QComboBox>(w.window, "Combo_0");
    auto* speeds = control<QComboBox>(w.window, "Combo_1");
    EXPECT_EQ(ports->currentText() + speeds->currentText(), "COM419200");
    EXPECT_EQ(w.window.focusWidget(), control(w.window, "Combo_0"));
}

TEST(WindowConnect, ConnectsWithTheChosenEntriesOrSaysWhyNot) {
    using Outcome = OpenResult::Outcome;
    const std::tuple<int, int, Outcome, const char*, int> cases[] = {
        // port and speed list positions (-1: none), how opening goes, message, rate
        {3, 6, Outcome::Opened, "", 19200},
        {0, 12, Outcome::Opened, "", 600},
        {3, 0, Outcome::Opened, "통신 연결 실패: COM4\n'low_speed6000'은(는) 통신 속도가 아닙니다.",
         0},
        {3, -1, Outcome::Opened, "통신 연결 실패: COM4\n통신 속도가 선택되지 않았습니다.", 0},
        {-1, 6, Outcome::Opened, "통신 연결 실패: 포트가 선택되지 않았습니다.", 0},
        {8, 6, Outcome::Opened, "통신 연결 실패: COM9\n포트가 없습니다 (/dev/fake9).", 0},
        {3, 6, Outcome::Busy,
         "통신 연결 실패: COM4\n다른 프로그램이 포트를 사용하고 있습니다 (/dev/fake4).", 0},
    };
    for (const auto& [port, speed, outcome, message, rate] : cases) {
        SCOPED_TRACE(message);
        FakeWindow w;
        w.port->events->clear();
        w.port->openOutcome = outcome;
        control<QComboBox>(w.window, "Combo_0")->setCurrentIndex(port);
        control<QComboBox>(w.window, "Combo_1")->setCurrentIndex(speed);
        click(w.window, "통신연결버튼");
        EXPECT_TRUE(looksConnected(w, rate != 0));
        EXPECT_EQ(w.messages.texts, rate ? QStringList() : QStringList(message));
        if (rate) {
            EXPECT_EQ(w.port->rate(), rate);
            EXPECT_TRUE(w.port->dtrEnable());
            EXPECT_EQ(w.port->rThreshold(), 10);
            EXPECT_EQ(w.port->events->join(' '), "open discard") << "what waited is no reply";
        }
    }
}

TEST(WindowConnect, TypedTextIsNoSelectionUntilAnEntryIsChosen) {
    const std::tuple<const char*, const char*, const char*, int, int, int> cases[] = {
        // list, typed, the one message, entry then chosen, port and rate opened
        {"Combo_1", "9600", "통신 속도가 선택되지 않았습니다", 8, 4, 9600},
        {"Combo_0", "COM1", "포트가 선택되지 않았습니다", 0, 1, 19200},
    };
    for (const auto& [name, typed, says, chosen, port, rate] : cases) {
        FakeWindow w;
        w.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
        auto* list = control<QComboBox>(w.window, name);
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), typed);
        click(w.window, "통신연결버튼"); // the field loses the focus first
        EXPECT_EQ(list->currentText(), typed) << "the field keeps what was typed";
        ASSERT_EQ(w.messages.texts.size(), 1);
        EXPECT_TRUE(w.messages.texts[0].contains(QString::fromUtf8(says))) << name;
        // Chosen from the drop-down list, the entry counts again.
        list->showPopup();
        const QRect entry = list->view()->visualRect(list->model()->index(chosen, 0));
        QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, entry.center());
        click(w.window, "통신연결버튼");
        EXPECT_EQ(w.port->commPort(), port) << name;
        EXPECT_EQ(w.port->rate(), rate) << name;
        EXPECT_TRUE(w.port->isOpen()) << name;
    }
}

TEST(WindowReceive, EventsOfAnySizeAreEchoedCheckedAndReArmed) {
    std::mt19937 random(7);
    QByteArray noise;
    for (int i = 0; i < 3000; ++i)
        noise.append(char(random() & 0xFF));
    const QByteArray good = QByteArray::fromHex("BB00066400 0001F4EE5F");
    const std::tuple<QByteArray, std::vector<int>, int> cases[] = {
        // bytes, sizes of the pieces fed one after another (the rest last), messages
        {good, {}, 0},
        {QByteArray::fromHex("BA00066500 0001F4EF5F"), {}, 3},     // start, status, end
        {QByteArray::fromHex("BB00066400 0001F4EE00BA00"), {}, 0}, // checksum, bytes 11, 12
        {good, {1, 1, 1, 1, 1, 1, 1, 1, 1}, 0},
        {noise, {1, 9, 10, 11, 99, 300}, -1},
    };
    for (const auto& [bytes, cuts, messages] : cases) {
        SCOPED_TRACE(bytes.left(10).toHex().toStdString());
        ConnectedWindow w;
        click(w.window, "Cmd_RPOS");
        qsizetype at = 0;
        for (int size : cuts) {
            w.feed(bytes.mid(at, size));
            at += size;
        }
        w.feed(bytes.mid(at));
        EXPECT_EQ(w.port->rThreshold(), 10) << "the receive event is left disarmed";
        EXPECT_LT(w.port->inBufferCount(), 10) << "ten bytes wait unread";
        EXPECT_EQ(w.text("rx_txt"), QString(bytes.toHex(' ').toUpper()).replace(' ', "  ") + "  ");
        if (messages >= 0) {
            EXPECT_EQ(w.messages.texts, QStringList(messages, kCommError));
            EXPECT_EQ(w.text("Text_RPOS"), "500");
        }
    }

    // Each message shows over the echo up to the byte it is about. A reply that comes while
    // a message is open waits for an event of its own; other events do nothing.
    ConnectedWindow w;
    QStringList shownAtMessage;
    w.messages.whileOpen = [&] {
        shownAtMessage << w.text("rx_txt");
        if (shownAtMessage.size() == 1)
            w.port->feed(good);
    };
    w.feed(QByteArray::fromHex("BA00066400 0001F4EF5F"));
    EXPECT_EQ(shownAtMessage, QStringList({"BA  ", "BA  00  06  64  00  00  01  F4  EF  "}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.port->inBufferCount() == 0; }));
    EXPECT_TRUE(w.text("rx_txt").endsWith("EF  5F  BB  00  06  64  00  00  01  F4  EE  5F  "));
    w.port->feed(good);
    w.port->raiseOther();
    EXPECT_EQ(w.port->inBufferCount(), 10) << "an event of another kind reads nothing";
}

TEST(WindowReceive, ALineLostInsideAReceiveEventIsReportedOnceAndConnectingWorksAgain) {
    ConnectedWindow w;
    click(w.window, "Cmd_RPOS");
    // While the first of three messages is open, the device vanishes; the loss comes
    // through a message's own event loop, as it would from the system.
    bool lost = false;
    w.messages.whileOpen = [&] {
        if (!std::exchange(lost, true))
            QTimer::singleShot(0, [&] { w.port->loseLine(); });
    };
    w.feed(QByteArray::fromHex("00000600000001F40000"));
    EXPECT_EQ(w.messages.texts, QStringList({kCommError, kLineLost, kCommError, kCommError}));
    EXPECT_TRUE(looksConnected(w, false));
    EXPECT_EQ(w.window.readState(), 0);
    EXPECT_EQ(w.port->rThreshold(), 10) << "a later connection gets its receive events";
    click(w.window, "통신연결버튼");
    click(w.window, "Cmd_RPOS");
    w.feed(QByteArray::fromHex("BB00066400 0001F4EE5F"));
    EXPECT_EQ(w.text("Text_RPOS"), "500");
    EXPECT_EQ(w.messages.texts.size(), 4);
}

// What a run of clicks, typing and replies leaves on the line and on the window.
TEST(WindowClicks, EachButtonSendsItsFramesAndMarksTheWindow) {
    using Step = std::function<void(ConnectedWindow&)>;
    const auto press = [](const char* name) -> Step {
        return [name](ConnectedWindow& w) {
            click(w.window, name);
        };
    };
    const auto type = [](const char* name, const char* text) -> Step {
        return [=](ConnectedWindow& w) {
            w.box(name)->setText(QString::fromUtf8(text));
        };
    };
    const auto answer = [](const char* hex) -> Step {
        return [hex](ConnectedWindow& w) {
            w.feed(QByteArray::fromHex(hex));
        };
    };
    const auto answerWith = [](qint32 value) -> Step {
        return [value](ConnectedWindow& w) {
            char data[4];
            qToBigEndian(value, data);
            w.feed(QByteArray::fromHex("BB000664") + QByteArray(data, 4) +
                   QByteArray::fromHex("EE00"));
        };
    };
    const Step loseLineOnWrite = [](ConnectedWindow& w) {
        w.port->failWrites = true;
    };
    const QByteArray systemName =
        QApplication::palette().button().color().name().toUpper().toLatin1();
    const char *white = "#FFFFFF", *red = "#FF0000", *blue = "#C0C0FF", *yellow = "#FFFF80",
               *system = systemName.constData();
    struct Case {
        const char* name;
        std::vector<Step> steps;
        QString frames; // the ten frame bytes of each write, "|" between frames
        // Each control's text, or its colour (background, face or fill) when "#RRGGBB".
        std::vector<std::pair<const char*, const char*>> shows = {};
        QStringList messages = {};
        int readState = 0, outState = 0;
    };
    const Case cases[] = {
        {"jog ROL, then STOP",
         {press("cmd_ROL"), press("mtr_STOP")},
         "AA 00 02 00 00 00 01 2C EE 2F|AA 00 03 00 00 00 00 00 EE 03",
         {{"txt_tx", "AA  00  03  00  00  00  00  00  EE  03  "},
          {"cmd_ROL", system},
          {"cmd_ROR", system}}},
        {"a value beyond a byte sends and shows nothing",
         {press("mtr_STOP"),
          [](ConnectedWindow& w) {
              EXPECT_FALSE(w.window.protocol(3, 256, 0, 0, 0, 0));
          }},
         "AA 00 03 00 00 00 00 00 EE 03",
         {{"txt_tx", ""}}},
        {"jog ROR at -1, then ROL at 2047",
         {type("Txt_Jog", "-1"), press("cmd_ROR"), type("Txt_Jog", "2047"), press("cmd_ROL")},
         "AA 00 01 00 FF FF FF FF EE FD|AA 00 02 00 00 00 07 FF EE 08",
         {{"cmd_ROL", red}, {"cmd_ROR", system}}},
        {"a jog box that is no number sends nothing and keeps the mark",
         {press("cmd_ROR"), type("Txt_Jog", "x"), press("cmd_ROL"), press("CMD_CUR_R")},
         "AA 00 01 00 00 00 01 2C EE 2E|AA 00 04 01 00 00 00 00 EE 05",
         {{"cmd_ROL", system}, {"cmd_ROR", red}},
         {"에러 JOG SPEED 값이 숫자가 아니다. -999부터 9999까지의 수를 넣어야 한다."}},
        {"output three times",
         {press("CMD_OUT"), press("CMD_OUT"), press("CMD_OUT")},
         "AA 00 0B 01 00 00 00 01 EE 0D|AA 00 0B 01 00 00 00 00 EE 0C|"
         "AA 00 0B 01 00 00 00 01 EE 0D",
         {{"CMD_OUT", "출력OFF"}},
         {},
         0,
         1},
        {"moves, and a pulse box that is no number",
         {type("Text_PULSE", "9999999"), press("CMD_CUR"), type("Text_PULSE", "-999999"),
          press("CMD_CUR_R"), type("Text_PULSE", ""), press("CMD_CUR")},
         "AA 00 04 00 00 98 96 7F EE B1|AA 00 04 01 FF F0 BD C1 EE 72",
         {},
         {"에러 이동펄스 값이 숫자가 아니다. -999999부터 9999999까지의 수를 넣어야 한다."}},
        {"read all, answered, then read all again",
         {press("cmd_RData"), answerWith(20), answerWith(4), answerWith(1999), answerWith(10),
          answerWith(500), answerWith(2), press("cmd_RData")},
         "AA 00 06 01 00 00 00 00 EE 07|AA 00 06 02 00 00 00 00 EE 08|"
         "AA 00 06 04 00 00 00 00 EE 0A|AA 00 06 05 00 00 00 00 EE 0B|"
         "AA 00 06 07 00 00 00 00 EE 0D|AA 00 06 06 00 00 00 00 EE 0C|"
         "AA 00 06 01 00 00 00 00 EE 07",
         {{"Text_RDATA2", "20"},
          {"Text_RVMAX", "1999"},
          {"Text_RHSPD", "500"},
          {"Text_REPOS", "2"},
          {"Text_RDATA3", white},
          {"Text_REPOS", white}},
         {},
         1},
        {"read all, overtaken by read position, which clears its mark when asked again",
         {press("cmd_RData"), answerWith(20), press("Cmd_RPOS"), answerWith(-5), answerWith(7),
          press("Cmd_RPOS")},
         "AA 00 06 01 00 00 00 00 EE 07|AA 00 06 02 00 00 00 00 EE 08|"
         "AA 00 06 08 00 00 00 00 EE 0E|AA 00 06 08 00 00 00 00 EE 0E",
         {{"Text_RPOS", "-5"},
          {"Text_RDATA3", ""},
          {"Text_RDATA2", blue},
          {"Text_RDATA3", white},
          {"Text_RPOS", white}},
         {},
         8},
        {"inputs, and an input reply nobody asked for",
         {press("CMD_IN"), answer("BB000C6400010 0FFEE00"), answer("BB000C6400000000EE00")},
         "AA 00 0C 01 00 00 00 00 EE 0D",
         {{"led1", red}, {"led2", white}, {"led3", red}}},
        {"write all twice, the second time with refused boxes",
         {press("cmd_Data"), type("Text_VMAX", "x"), type("Text_HSPD", "-"), type("Text_REL", "8"),
          press("cmd_Data")},
         "AA 00 05 01 00 00 00 14 EE 1A|AA 00 05 02 00 00 00 04 EE 0B|"
         "AA 00 05 04 00 00 03 20 EE 2C|AA 00 05 05 00 00 00 0A EE 14|"
         "AA 00 05 07 00 00 01 F4 EE 01|AA 00 05 06 00 00 00 02 EE 0D|"
         "AA 00 05 01 00 00 00 14 EE 1A|AA 00 05 02 00 00 00 04 EE 0B|"
         "AA 00 05 05 00 00 00 0A EE 14",
         {{"Text_VMAX", white}, {"Text_HSPD", white}, {"Text_REL", white}, {"Text_ACCEL", yellow}},
         {"에러 구동속도 값이 숫자가 아니다.", "에러 홈 이동 속도 값이 숫자가 아니다.",
          "에러 분해능 값은 8보다 작아야 한다."}},
        {"write all on a line lost before a refused box",
         {type("Text_HSPD", "x"), loseLineOnWrite, press("cmd_Data")},
         "",
         {{"txt_tx", ""}, {"Text_WDATA2", white}, {"Text_HSPD", white}},
         {kLineLost}},
        {"jog, output and stop on a lost line: no mark moves",
         {press("cmd_ROL"), loseLineOnWrite, press("CMD_OUT"), press("mtr_STOP")},
         "AA 00 02 00 00 00 01 2C EE 2F",
         {{"CMD_OUT", "출력ON"}, {"txt_tx", ""}, {"cmd_ROL", red}},
         {kLineLost}},
        {"read all on a lost line", {loseLineOnWrite, press("cmd_RData")}, "", {}, {kLineLost}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectedWindow w;
        for (const Step& step : c.steps)
            step(w);
        QStringList frames;
        for (const QByteArray& write : w.port->writes)
            frames << QString(write.left(10).toHex(' ').toUpper());
        EXPECT_EQ(frames.join('|'), c.frames);
        for (const auto& [name, shown] : c.shows) {
            const auto* button = qobject_cast<QPushButton*>(control(w.window, name));
            EXPECT_EQ(shown[0] == '#' ? colourName(w.window, name)
                      : button        ? button->text()
                                      : w.text(name),
                      QString::fromUtf8(shown))
                << name;
        }
        EXPECT_EQ(w.messages.texts, c.messages);
        EXPECT_EQ(w.window.readState(), c.readState);
        EXPECT_EQ(w.window.outState(), c.outState);
    }
}

TEST(WindowClicks, EveryEndStopsAJogAndDrainsTheLineBeforeTheCloseButNeverWarns) {
    using Act = std::function<void(std::unique_ptr<FakeWindow>&)>;
    const auto close = [](auto& w) {
        w->window.close();
    };
    const std::tuple<const char*, Act, bool, const char*, const char*, int> cases[] = {
        // how it ends after a jog to the right, connected, the port's events then, the
        // command byte TX DATA shows, messages
        {"EXIT", [](auto& w) { click(w->window, "CMD3"); }, true, "write 3 drain close", "03", 0},
        {"window closed", close, true, "write 3 drain close", "03", 0},
        {"window destroyed unclosed, as when the program is made to quit",
         [](auto& w) { w.reset(); }, true, "write 3 drain close", "", 0},
        {"line lost, then closed",
         [&](auto& w) {
             w->port->loseLine();
             close(w);
         },
         true, "drain close", "01", 1},
        {"line lost on the stop frame",
         [&](auto& w) {
             w->port->failWrites = true;
             close(w);
         },
         true, "drain close", "", 0},
        {"closed before connecting", close, false, "", "", 0},
    };
    for (const auto& [name, act, connected, events, shown, messages] : cases) {
        SCOPED_TRACE(name);
        auto w = std::make_unique<FakeWindow>();
        if (connected) {
            click(w->window, "통신연결버튼");
            click(w->window, "cmd_ROR");
        }
        const std::shared_ptr<QStringList> seen = w->port->events;
        seen->clear();
        act(w);
        EXPECT_EQ(seen->join(' '), events);
        if (w) {
            EXPECT_EQ(w->text("txt_tx").mid(8, 2), shown);
            EXPECT_EQ(w->messages.texts.size(), messages);
        }
    }
}
