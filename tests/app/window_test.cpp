// The window over a fake serial port, one click after another.
#include "window_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <random>

using namespace dx400;
using namespace dx400::test;

const QString kLineLost = QStringLiteral("통신 연결이 끊어졌습니다: COM4");

TEST(WindowConnect, ConnectsWithTheChosenEntriesOrSaysWhyNotAndTypedTextIsNoChoice) {
    const std::tuple<int, int, bool, const char*> picked[] = {
        // port and speed entries, held by another program, message ("": connected)
        {0, 12, false, ""},
        {3, 0, false, "통신 연결 실패: COM4\n'low_speed6000'은(는) 통신 속도가 아닙니다."},
        {8, 6, false, "통신 연결 실패: COM9\n포트가 없습니다 (/dev/fake9)."},
        {3, 6, true,
         "통신 연결 실패: COM4\n다른 프로그램이 포트를 사용하고 있습니다 (/dev/fake4)."},
    };
    for (const auto& [port, speed, busy, message] : picked) {
        SCOPED_TRACE(message);
        FakeWindow w;
        w.port->events->clear();
        w.port->openOutcome = busy ? OpenResult::Outcome::Busy : OpenResult::Outcome::Opened;
        control<QComboBox>(w.window, "Combo_0")->setCurrentIndex(port);
        control<QComboBox>(w.window, "Combo_1")->setCurrentIndex(speed);
        w.click("통신연결버튼");
        const bool connected = *message == 0;
        EXPECT_EQ(w.colour("rxled"), connected ? "#FF0000" : "#FFFFFF");
        for (const QPushButton* button : w.window.findChildren<QPushButton*>())
            EXPECT_EQ(button->isEnabled(), connected != (button->objectName() == "통신연결버튼"));
        for (const char* list : {"Combo_0", "Combo_1"})
            EXPECT_NE(control(w.window, list)->isEnabled(), connected) << list;
        EXPECT_EQ(w.messages.texts, connected ? QStringList() : QStringList(message));
        if (connected) {
            EXPECT_TRUE(w.port->dtrEnable());
            EXPECT_EQ(w.port->events->join(' '), "open discard") << "what waited is no reply";
        }
    }

    const std::tuple<const char*, const char*, const char*, int, int, int> typings[] = {
        // list, typed, the one message, entry then chosen, port and rate opened
        {"Combo_1", "9600", "통신 연결 실패: COM4\n통신 속도가 선택되지 않았습니다.", 8, 4, 9600},
        {"Combo_0", "COM", "통신 연결 실패: 포트가 선택되지 않았습니다.", 0, 1, 19200},
    };
    for (const auto& [name, typed, says, chosen, port, rate] : typings) {
        FakeWindow w;
        w.show();
        auto* list = control<QComboBox>(w.window, name);
        list->lineEdit()->selectAll();
        // Typed in two pieces, the second first: the cursor stays where the typing is.
        QTest::keyClicks(list->lineEdit(), typed + 2);
        QTest::keyClick(list->lineEdit(), Qt::Key_Home);
        QTest::keyClicks(list->lineEdit(), QString(typed).left(2));
        w.click("통신연결버튼"); // the field loses the focus first
        EXPECT_EQ(list->currentText(), typed) << "the field keeps what was typed";
        EXPECT_EQ(w.messages.texts, QStringList(QString::fromUtf8(says)));
        // Chosen from the drop-down list, the entry counts again.
        list->showPopup();
        const QRect entry = list->view()->visualRect(list->model()->index(chosen, 0));
        QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, entry.center());
        w.click("통신연결버튼");
        EXPECT_EQ(std::tuple(w.port->commPort(), w.port->rate(), w.port->isOpen()),
                  std::tuple(port, rate, true));
    }
}

TEST(WindowReceive, EventsOfAnySizeAreEchoedCheckedAndReArmed) {
    QByteArray noise(3000, 0);
    std::generate(noise.begin(), noise.end(),
                  [random = std::mt19937(7)]() mutable { return char(random() & 0xFF); });
    const QByteArray good = QByteArray::fromHex("BB00066400 0001F4EE5F");
    const std::tuple<QByteArray, std::vector<int>, int> cases[] = {
        // bytes, sizes of the pieces fed one after another (the rest last), messages
        {QByteArray::fromHex("BA00066500 0001F4EF5F"), {}, 3},     // start, status, end
        {QByteArray::fromHex("BB00066400 0001F4EE00BA00"), {}, 0}, // checksum, bytes 11, 12
        {good, {1, 1, 1, 1, 1, 1, 1, 1, 1}, 0},
        {noise, {1, 9, 10, 11, 99, 300}, -1},
    };
    for (const auto& [bytes, cuts, messages] : cases) {
        SCOPED_TRACE(bytes.left(10).toHex().toStdString());
        ConnectedWindow w;
        w.click("Cmd_RPOS");
        qsizetype at = 0;
        for (int size : cuts)
            w.feed(bytes.mid(std::exchange(at, at + size), size));
        w.feed(bytes.mid(at));
        EXPECT_EQ(w.port->rThreshold(), 10) << "the receive event is left disarmed";
        EXPECT_EQ(w.text("rx_txt"), QString(bytes.toHex(' ').toUpper()).replace(' ', "  ") + "  ");
        if (messages >= 0) {
            EXPECT_EQ(w.messages.texts, QStringList(messages, "통신에러"));
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

// Steps: "NAME" clicks a button, "NAME=TEXT" types into a box, "<HEX" feeds reply bytes, "lose"
// makes the next write find the line gone, "gone" loses it now, "close" closes the window, "end"
// destroys it unclosed (as when made to quit), "256" asks for a frame with a value beyond a byte.
TEST(WindowClicks, EachButtonSendsItsFramesAndMarksTheWindow) {
    const QString system = QApplication::palette().button().color().name().toUpper();
    struct Case {
        const char* steps;
        QString frames = {}; // the ten frame bytes of each write in hexadecimal, "|" between them
        // "NAME=SHOWN;...": a control's text, or its colour if "#RRGGBB" or "system" (button face)
        QString shows = {}, messages = {}; // messages: "|" between them
        int readState = 0, outState = 0;
        QString events = {}; // the port's after connecting, if given; alone checked after "end"
    };
    const Case cases[] = {
        {"cmd_ROL mtr_STOP", "AA0002000000012CEE2F|AA00030000000000EE03",
         "txt_tx=AA  00  03  00  00  00  00  00  EE  03  ;cmd_ROL=system;cmd_ROR=system"},
        {"mtr_STOP 256", "AA00030000000000EE03", "txt_tx="},
        {"Txt_Jog=-1 cmd_ROR Txt_Jog=2047 cmd_ROL", "AA000100FFFFFFFFEEFD|AA000200000007FFEE08",
         "cmd_ROL=#FF0000;cmd_ROR=system"},
        {"cmd_ROR Txt_Jog=x cmd_ROL", "AA0001000000012CEE2E", "cmd_ROL=system;cmd_ROR=#FF0000",
         "에러 JOG SPEED 값이 숫자가 아니다. -999부터 9999까지의 수를 넣어야 한다."},
        {"CMD_OUT CMD_OUT CMD_OUT",
         "AA000B0100000001EE0D|AA000B0100000000EE0C|AA000B0100000001EE0D", "CMD_OUT=출력OFF", "", 0,
         1},
        {"Text_PULSE=9999999 CMD_CUR Text_PULSE=-999999 CMD_CUR_R Text_PULSE= CMD_CUR",
         "AA0004000098967FEEB1|AA000401FFF0BDC1EE72", "",
         "에러 이동펄스 값이 숫자가 아니다. -999999부터 9999999까지의 수를 넣어야 한다."},
        {"cmd_RData <BB00066400000014EE00 <BB00066400000004EE00 <BB000664000007CFEE00 "
         "<BB0006640000000AEE00 <BB000664000001F4EE00 <BB00066400000002EE00 cmd_RData",
         "AA00060100000000EE07|AA00060200000000EE08|AA00060400000000EE0A|AA00060500000000EE0B|"
         "AA00060700000000EE0D|AA00060600000000EE0C|AA00060100000000EE07",
         "Text_RDATA2=20;Text_RVMAX=1999;Text_RHSPD=500;Text_REPOS=2;Text_RDATA3=#FFFFFF;"
         "Text_RACCEL=10;Text_RACCEL=#FFFFFF;Text_RDATA2=#FFFFFF;Text_REPOS=#FFFFFF",
         "", 1},
        {"cmd_RData <BB00066400000014EE00 Cmd_RPOS <BB000664FFFFFFFBEE00 <BB00066400000007EE00 "
         "Cmd_RPOS",
         "AA00060100000000EE07|AA00060200000000EE08|AA00060800000000EE0E|AA00060800000000EE0E",
         "Text_RPOS=-5;Text_RDATA3=;Text_RDATA2=#C0C0FF;Text_RDATA3=#FFFFFF;Text_RPOS=#FFFFFF", "",
         8},
        {"CMD_IN <BB000C64000100FFEE00 <BB000C6400000000EE00", "AA000C0100000000EE0D",
         "led1=#FF0000;led2=#FFFFFF;led3=#FF0000"},
        {"Text_WDATA3=31 cmd_Data Text_VMAX=x Text_HSPD=- Text_REL=8 cmd_Data",
         "AA00050100000014EE1A|AA0005020000001FEE26|AA00050400000320EE2C|AA0005050000000AEE14|"
         "AA000507000001F4EE01|AA00050600000002EE0D|AA00050100000014EE1A|AA0005020000001FEE26|"
         "AA0005050000000AEE14",
         "Text_VMAX=#FFFFFF;Text_HSPD=#FFFFFF;Text_REL=#FFFFFF;Text_ACCEL=#FFFF80",
         "에러 구동속도 값이 숫자가 아니다.|에러 홈 이동 속도 값이 숫자가 아니다.|"
         "에러 분해능 값은 8보다 작아야 한다."},
        {"Text_HSPD=x lose cmd_Data", "", "txt_tx=;Text_WDATA2=#FFFFFF;Text_HSPD=#FFFFFF",
         kLineLost},
        {"cmd_ROL lose CMD_OUT mtr_STOP", "AA0002000000012CEE2F",
         "CMD_OUT=출력ON;txt_tx=;cmd_ROL=#FF0000", kLineLost},
        {"lose cmd_RData", "", "rxled=#FFFFFF", kLineLost},
        // Every end of a jog stops it and drains the line before the close, but never warns.
        {"cmd_ROR CMD3", "AA0001000000012CEE2E|AA00030000000000EE03",
         "txt_tx=AA  00  03  00  00  00  00  00  EE  03  ", "", 0, 0,
         "write 1 write 3 drain close"},
        {.steps = "cmd_ROR end", .events = "write 1 write 3 drain close"},
        {"cmd_ROR gone close", "AA0001000000012CEE2E",
         "txt_tx=AA  00  01  00  00  00  01  2C  EE  2E  ", kLineLost, 0, 0, "write 1 drain close"},
        {"cmd_ROR lose close", "AA0001000000012CEE2E", "txt_tx=", "", 0, 0, "write 1 drain close"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.steps);
        auto w = std::make_unique<ConnectedWindow>();
        const std::shared_ptr<QStringList> events = w->port->events;
        for (const QString& step : QString::fromUtf8(c.steps).split(' ')) {
            const QByteArray name = step.section('=', 0, 0).toUtf8();
            if (step.startsWith('<'))
                w->feed(QByteArray::fromHex(name.mid(1)));
            else if (step == "lose")
                w->port->failWrites = true;
            else if (step == "gone")
                w->port->loseLine();
            else if (step == "close")
                w->window.close();
            else if (step == "end")
                w.reset();
            else if (step == "256")
                EXPECT_FALSE(w->window.protocol(3, 256, 0, 0, 0, 0));
            else if (step.contains('='))
                w->box(name)->setText(step.section('=', 1));
            else
                w->click(name);
        }
        EXPECT_EQ(c.events.isEmpty() ? "" : events->join(' ').section("discard ", 1), c.events);
        if (!w)
            continue;
        for (const QString& show :
             QString(c.shows).replace("system", system).split(';', Qt::SkipEmptyParts)) {
            const QByteArray name = show.section('=', 0, 0).toUtf8();
            const QString want = show.section('=', 1);
            EXPECT_EQ(want.startsWith('#') ? w->colour(name) : w->text(name), want)
                << qPrintable(show);
        }
        EXPECT_EQ(std::tuple(w->port->frames.join('|'), w->messages.texts.join('|'),
                             w->window.readState(), w->window.outState()),
                  std::tuple(c.frames, c.messages, c.readState, c.outState));
    }
}
