// The window over a fake serial port: start-up, connecting, frames, receive events and
// what every button does, one click after another.
#include "window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QtEndian>
#include <functional>
#include <map>
#include <random>

using namespace dx400;
using namespace dx400::test;

namespace {

const char* const kCommandButtons[] = {"CMD3",     "cmd_Data",  "cmd_RData", "Cmd_RPOS",
                                       "CMD_CUR",  "CMD_CUR_R", "cmd_ROL",   "cmd_ROR",
                                       "mtr_STOP", "CMD_IN",    "CMD_OUT"};
const QString kCommError = QStringLiteral("통신에러");
const QString kLineLost = QStringLiteral("통신 연결이 끊어졌습니다: COM4");

bool looksConnected(const FakeWindow& w, bool connected) {
    bool ok = control(w.window, "통신연결버튼")->isEnabled() != connected &&
              control(w.window, "Combo_0")->isEnabled() != connected &&
              control(w.window, "Combo_1")->isEnabled() != connected &&
              colourName(w.window, "rxled") == (connected ? "#FF0000" : "#FFFFFF") &&
              w.port->isOpen() == connected;
    for (const char* name : kCommandButtons)
        ok = ok && control(w.window, name)->isEnabled() == connected;
    return ok;
}

// The ten frame bytes of each write, as "AA 00 06 ...".
QStringList frames(const FakeSerialPort& port) {
    QStringList list;
    for (const QByteArray& write : port.writes)
        list << QString(write.left(10).toHex(' ').toUpper());
    return list;
}

QByteArray reply(const char* hex) {
    return QByteArray::fromHex(hex);
}

} // namespace

TEST(WindowStartup, OnlyTheConnectControlsRespondAndTheBoxesHoldTheirFirstTexts) {
    FakeWindow w;
    EXPECT_TRUE(looksConnected(w, false));
    EXPECT_EQ(w.port->events.join(' '), "open drain close open drain close") << "ports 1, 4 probed";
    auto* found = control<QListWidget>(w.window, "PORT");
    ASSERT_EQ(found->count(), 2);
    EXPECT_EQ(found->item(0)->text() + found->item(1)->text(), "COM1COM4");
    const std::pair<const char*, QStringList> lists[] = {
        {"Combo_0", QString("COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9").split(' ')},
        {"Combo_1", QString("low_speed6000 128000 115200 57600 56000 38400 19200 14400 9600 "
                            "4800 2400 1200 600")
                        .split(' ')}};
    for (const auto& [name, entries] : lists) {
        auto* list = control<QComboBox>(w.window, name);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        EXPECT_EQ(shown, entries);
    }
    EXPECT_EQ(control<QComboBox>(w.window, "Combo_0")->currentText(), "COM4");
    EXPECT_EQ(control<QComboBox>(w.window, "Combo_1")->currentText(), "19200");

    const std::tuple<const char*, const char*, int> boxes[] = {
        {"Text_WDATA2", "20", 2}, {"Text_WDATA3", "4", 2}, {"Text_VMAX", "800", 4},
        {"Text_ACCEL", "10", 4},  {"Text_HSPD", "500", 4}, {"Text_REL", "2", 1},
        {"Text_PULSE", "0", 7},   {"Txt_Jog", "300", 4},   {"Text_RPOS", "0", 0},
        {"Text_RDATA2", "", 0},   {"txt_tx", "", 0},       {"rx_txt", "", 0}};
    for (const auto& [name, text, limit] : boxes) {
        EXPECT_EQ(w.text(name), text) << name;
        EXPECT_EQ(w.box(name)->maxLength(), limit ? limit : std::numeric_limits<int>::max())
            << name;
    }
    EXPECT_EQ(control<QPushButton>(w.window, "CMD_OUT")->text(), "출력ON");
    EXPECT_EQ(w.window.windowTitle(), "DX-400");
    EXPECT_EQ(w.window.size(), QSize(570, 622));

    // The focus starts on the port list and the tab key walks the controls in this order.
    const QStringList order =
        QString::fromUtf8(
            "Combo_0 Combo_1 통신연결버튼 CMD3 PORT cmd_ROR mtr_STOP rx_txt cmd_ROL Text_ACCEL "
            "Text_VMAX cmd_Data Text_RPOS txt_tx Txt_Jog Text_PULSE CMD_CUR CMD_CUR_R Text_WDATA2 "
            "Text_WDATA3 cmd_RData Text_HSPD Text_RDATA3 Text_RACCEL Text_RVMAX Text_RHSPD "
            "Cmd_RPOS Text_RDATA2 Text_REL Text_REPOS CMD_OUT CMD_IN")
            .split(' ');
    EXPECT_EQ(w.window.focusWidget(), control(w.window, "Combo_0"));
    QStringList walked;
    for (QWidget* c = control(w.window, "Combo_0"); walked.size() < order.size();
         c = c->nextInFocusChain()) {
        if (order.contains(c->objectName()) && !walked.contains(c->objectName()))
            walked << c->objectName();
    }
    EXPECT_EQ(walked, order);
}

TEST(WindowConnect, ConnectsWithTheChosenEntriesOrSaysWhyNotAndStaysUsable) {
    struct Case {
        const char* name;
        int port, speed; // list positions, -1: none
        OpenResult::Outcome outcome;
        const char* message; // empty: connected
        int rate;
    };
    const Case cases[] = {
        {"defaults", 3, 6, OpenResult::Outcome::Opened, "", 19200},
        {"COM1 at 600", 0, 12, OpenResult::Outcome::Opened, "", 600},
        {"low_speed6000", 3, 0, OpenResult::Outcome::Opened,
         "통신 연결 실패: COM4\n'low_speed6000'은(는) 통신 속도가 아닙니다.", 0},
        {"no speed", 3, -1, OpenResult::Outcome::Opened,
         "통신 연결 실패: COM4\n통신 속도가 선택되지 않았습니다.", 0},
        {"no port", -1, 6, OpenResult::Outcome::Opened,
         "통신 연결 실패: 포트가 선택되지 않았습니다.", 0},
        {"missing port", 7, 6, OpenResult::Outcome::Opened,
         "통신 연결 실패: COM8\n포트가 없습니다 (/dev/fake8).", 0},
        {"held port", 3, 6, OpenResult::Outcome::Busy,
         "통신 연결 실패: COM4\n다른 프로그램이 포트를 사용하고 있습니다 (/dev/fake4).", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow w;
        w.port->events.clear();
        w.port->openOutcome = c.outcome;
        control<QComboBox>(w.window, "Combo_0")->setCurrentIndex(c.port);
        control<QComboBox>(w.window, "Combo_1")->setCurrentIndex(c.speed);
        click(w.window, "통신연결버튼");
        const bool connected = QString(c.message).isEmpty();
        EXPECT_TRUE(looksConnected(w, connected));
        EXPECT_EQ(w.messages.texts, connected ? QStringList() : QStringList(c.message));
        if (!connected)
            continue;
        EXPECT_EQ(w.port->rate(), c.rate);
        EXPECT_TRUE(w.port->dtrEnable());
        EXPECT_EQ(w.port->rThreshold(), 10);
        EXPECT_EQ(w.port->events.join(' '), "open discard") << "what waited is no reply";
        EXPECT_TRUE(w.port->writes.isEmpty()) << "connecting sends nothing";
    }
}

TEST(WindowConnect, TypedTextIsNoSelectionUntilAnEntryIsChosen) {
    struct Case {
        const char* list;
        const char* typed;
        const char* says; // the one message of the connect that fails
        int chosen;       // entry then chosen from the list
        int port, rate;   // what the connect then opens
    };
    const Case cases[] = {
        {"Combo_1", "9600", "통신 속도가 선택되지 않았습니다", 8, 4, 9600},
        {"Combo_0", "COM1", "포트가 선택되지 않았습니다", 0, 1, 19200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        FakeWindow w;
        w.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
        auto* list = control<QComboBox>(w.window, c.list);
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), QString::fromUtf8(c.typed));
        click(w.window, "통신연결버튼"); // the field loses the focus first
        EXPECT_EQ(list->currentText(), c.typed) << "the field keeps what was typed";
        ASSERT_EQ(w.messages.texts.size(), 1);
        EXPECT_TRUE(w.messages.texts[0].contains(QString::fromUtf8(c.says)));
        EXPECT_FALSE(w.port->isOpen());

        // Chosen from the drop-down list, the entry counts again.
        list->showPopup();
        QAbstractItemView* view = list->view();
        const QRect entry = view->visualRect(list->model()->index(c.chosen, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
        click(w.window, "통신연결버튼");
        EXPECT_EQ(w.messages.texts.size(), 1);
        ASSERT_TRUE(w.port->isOpen());
        EXPECT_EQ(w.port->commPort(), c.port);
        EXPECT_EQ(w.port->rate(), c.rate);
    }
}

TEST(WindowProtocol, SendsTwelveBytesShowsTheFrameAndEmptiesTheReceiveBox) {
    ConnectedWindow w;
    w.box("rx_txt")->setText("BB  00  ");
    ASSERT_TRUE(w.window.protocol(6, 1, 0, 0, 0, 0));
    EXPECT_EQ(w.lastWrite(), "AA 00 06 01 00 00 00 00 EE 07 00 00");
    EXPECT_EQ(w.text("txt_tx"), "AA  00  06  01  00  00  00  00  EE  07  ");
    EXPECT_EQ(w.text("rx_txt"), "");

    w.box("rx_txt")->setText("kept");
    EXPECT_FALSE(w.window.protocol(6, 1, 0, 0, 0, 256));
    EXPECT_EQ(w.port->writes.size(), 1) << "an argument outside a byte sends nothing";
    EXPECT_EQ(w.text("txt_tx"), "");
    EXPECT_EQ(w.text("rx_txt"), "kept");
}

TEST(WindowReceive, EventsOfAnySizeAreEchoedCheckedAndReArmed) {
    std::mt19937 random(7);
    QByteArray noise;
    for (int i = 0; i < 3000; ++i)
        noise.append(char(random() & 0xFF));
    const QByteArray good = reply("BB00066400 0001F4EE5F");
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<int> cuts; // sizes of the pieces fed one after another; the rest last
        int messages;
        const char* position; // Text_RPOS afterwards
    };
    const Case cases[] = {
        {"whole reply", good, {}, 0, "500"},
        {"wrong start, status and end byte", reply("BA00066500 0001F4EF5F"), {}, 3, "500"},
        {"any checksum, twelve bytes", reply("BB00066400 0001F4EE00BA00"), {}, 0, "500"},
        {"in halves", good, {5}, 0, "500"},
        {"byte by byte", good, {1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, "500"},
        {"noise in odd pieces", noise, {1, 9, 10, 11, 99, 300}, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectedWindow w;
        click(w.window, "Cmd_RPOS");
        int at = 0;
        std::vector<int> pieces = c.cuts;
        pieces.push_back(int(c.bytes.size()));
        for (int size : pieces) {
            w.feed(c.bytes.mid(at, size));
            at += size;
            ASSERT_EQ(w.port->rThreshold(), 10) << "the receive event is left disarmed";
            ASSERT_LT(w.port->inBufferCount(), 10) << "ten bytes wait unread";
        }
        EXPECT_EQ(w.text("rx_txt"),
                  QString(c.bytes.toHex(' ').toUpper()).replace(' ', "  ") + "  ");
        if (c.messages >= 0) {
            EXPECT_EQ(w.messages.texts, QStringList(c.messages, kCommError));
            EXPECT_EQ(w.text("Text_RPOS"), c.position);
        }
    }

    // Each message shows over the echo up to the byte it is about; other events do nothing.
    ConnectedWindow w;
    QStringList shownAtMessage;
    w.messages.whileOpen = [&] {
        shownAtMessage << w.text("rx_txt");
    };
    w.feed(reply("BA00066400 0001F4EF5F"));
    EXPECT_EQ(shownAtMessage, QStringList({"BA  ", "BA  00  06  64  00  00  01  F4  EF  "}));
    w.port->feed(good);
    w.port->raiseOther();
    EXPECT_EQ(w.port->inBufferCount(), 10) << "an event of another kind reads nothing";
}

TEST(WindowReceive, ALineLostInsideAReceiveEventIsReportedOnceAndConnectingWorksAgain) {
    ConnectedWindow w;
    click(w.window, "Cmd_RPOS");
    // While the first of three messages is open, the device vanishes; the loss comes
    // through the message's own event loop, as it would from the system.
    bool lost = false;
    w.messages.whileOpen = [&] {
        if (!std::exchange(lost, true))
            QTimer::singleShot(0, [&] { w.port->loseLine(); });
    };
    w.feed(reply("00000600000001F40000"));
    w.messages.whileOpen = nullptr;
    EXPECT_EQ(w.messages.texts, QStringList({kCommError, kLineLost, kCommError, kCommError}));
    EXPECT_TRUE(looksConnected(w, false));
    EXPECT_EQ(w.window.readState(), 0);
    EXPECT_EQ(w.port->rThreshold(), 10) << "a later connection gets its receive events";

    click(w.window, "통신연결버튼");
    click(w.window, "Cmd_RPOS");
    w.feed(reply("BB00066400 0001F4EE5F"));
    EXPECT_EQ(w.text("Text_RPOS"), "500");
    EXPECT_EQ(w.messages.texts.count(kLineLost), 1);
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
            w.feed(reply(hex));
        };
    };
    const Step loseLineOnWrite = [](ConnectedWindow& w) {
        w.port->failWrites = true;
    };
    const auto answerWith = [](int value) -> Step {
        return [value](ConnectedWindow& w) {
            QByteArray bytes = reply("BB000664");
            for (int shift : {24, 16, 8, 0})
                bytes.append(char((value >> shift) & 0xFF));
            w.feed(bytes + reply("EE00"));
        };
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        QStringList frames;
        std::map<const char*, const char*> shown; // box text or caption
        std::map<const char*, const char*> colours;
        QStringList messages;
        int readState, outState;
    };
    const char* const white = "#FFFFFF";
    const QByteArray systemName =
        QApplication::palette().color(QPalette::Button).name().toUpper().toLatin1();
    const char* const system = systemName.constData();
    const Case cases[] = {
        {"jog ROL, then STOP",
         {press("cmd_ROL"), press("mtr_STOP")},
         {"AA 00 02 00 00 00 01 2C EE 2F", "AA 00 03 00 00 00 00 00 EE 03"},
         {{"txt_tx", "AA  00  03  00  00  00  00  00  EE  03  "}},
         {{"cmd_ROL", system}, {"cmd_ROR", system}},
         {},
         0,
         0},
        {"jog ROR at -1, then ROL at 2047",
         {type("Txt_Jog", "-1"), press("cmd_ROR"), type("Txt_Jog", "2047"), press("cmd_ROL")},
         {"AA 00 01 00 FF FF FF FF EE FD", "AA 00 02 00 00 00 07 FF EE 08"},
         {},
         {{"cmd_ROL", "#FF0000"}, {"cmd_ROR", system}},
         {},
         0,
         0},
        {"a jog box that is no number sends nothing and keeps the mark",
         {press("cmd_ROR"), type("Txt_Jog", "x"), press("cmd_ROL"), press("CMD_CUR_R")},
         {"AA 00 01 00 00 00 01 2C EE 2E", "AA 00 04 01 00 00 00 00 EE 05"},
         {},
         {{"cmd_ROL", system}, {"cmd_ROR", "#FF0000"}},
         {"에러 JOG SPEED 값이 숫자가 아니다. 0부터 2047까지의 수를 넣어야 한다."},
         0,
         0},
        {"output three times",
         {press("CMD_OUT"), press("CMD_OUT"), press("CMD_OUT")},
         {"AA 00 0B 01 00 00 00 01 EE 0D", "AA 00 0B 01 00 00 00 00 EE 0C",
          "AA 00 0B 01 00 00 00 01 EE 0D"},
         {{"CMD_OUT", "출력OFF"}},
         {},
         {},
         0,
         1},
        {"moves, and a pulse box that is no number",
         {type("Text_PULSE", "1000"), press("CMD_CUR"), type("Text_PULSE", "-100"),
          press("CMD_CUR_R"), type("Text_PULSE", ""), press("CMD_CUR")},
         {"AA 00 04 00 00 00 03 E8 EE EF", "AA 00 04 01 FF FF FF 9C EE 9E"},
         {},
         {},
         {"에러 이동펄스 값이 숫자가 아니다. -999999부터 9999999까지의 수를 넣어야 한다."},
         0,
         0},
        {"read all, answered",
         {press("cmd_RData"), answerWith(20), answerWith(4), answerWith(1999), answerWith(10),
          answerWith(500), answerWith(2)},
         {"AA 00 06 01 00 00 00 00 EE 07", "AA 00 06 02 00 00 00 00 EE 08",
          "AA 00 06 04 00 00 00 00 EE 0A", "AA 00 06 05 00 00 00 00 EE 0B",
          "AA 00 06 07 00 00 00 00 EE 0D", "AA 00 06 06 00 00 00 00 EE 0C"},
         {{"Text_RDATA2", "20"},
          {"Text_RVMAX", "1999"},
          {"Text_RHSPD", "500"},
          {"Text_REPOS", "2"}},
         {{"Text_RDATA3", "#C0C0FF"}, {"Text_REPOS", "#C0C0FF"}},
         {},
         0,
         0},
        {"read all, overtaken by read position",
         {press("cmd_RData"), answerWith(20), press("Cmd_RPOS"), answerWith(-5), answerWith(7)},
         {"AA 00 06 01 00 00 00 00 EE 07", "AA 00 06 02 00 00 00 00 EE 08",
          "AA 00 06 08 00 00 00 00 EE 0E"},
         {{"Text_RPOS", "-5"}, {"Text_RDATA3", ""}},
         {{"Text_RDATA2", "#C0C0FF"}, {"Text_RDATA3", white}, {"Text_RPOS", "#C0C0FF"}},
         {},
         0,
         0},
        {"inputs, and an input reply nobody asked for",
         {press("CMD_IN"), answer("BB000C6400010 0FFEE00"), answer("BB000C6400000000EE00")},
         {"AA 00 0C 01 00 00 00 00 EE 0D"},
         {},
         {{"led1", "#FF0000"}, {"led2", white}, {"led3", "#FF0000"}},
         {},
         0,
         0},
        {"write all",
         {press("cmd_Data")},
         {"AA 00 05 01 00 00 00 14 EE 1A", "AA 00 05 02 00 00 00 04 EE 0B",
          "AA 00 05 04 00 00 03 20 EE 2C", "AA 00 05 05 00 00 00 0A EE 14",
          "AA 00 05 07 00 00 01 F4 EE 01", "AA 00 05 06 00 00 00 02 EE 0D"},
         {},
         {{"Text_WDATA2", "#FFFF80"}, {"Text_REL", "#FFFF80"}},
         {},
         0,
         0},
        {"write all twice, the second time with refused boxes",
         {press("cmd_Data"), type("Text_VMAX", "2047"), type("Text_REL", "-"), press("cmd_Data")},
         {"AA 00 05 01 00 00 00 14 EE 1A", "AA 00 05 02 00 00 00 04 EE 0B",
          "AA 00 05 04 00 00 03 20 EE 2C", "AA 00 05 05 00 00 00 0A EE 14",
          "AA 00 05 07 00 00 01 F4 EE 01", "AA 00 05 06 00 00 00 02 EE 0D",
          "AA 00 05 01 00 00 00 14 EE 1A", "AA 00 05 02 00 00 00 04 EE 0B",
          "AA 00 05 05 00 00 00 0A EE 14", "AA 00 05 07 00 00 01 F4 EE 01"},
         {},
         {{"Text_VMAX", white}, {"Text_REL", white}, {"Text_ACCEL", "#FFFF80"}},
         {"에러 구동속도 값은 2047보다 작아야 한다.", "에러 분해능 값이 숫자가 아니다."},
         0,
         0},
        {"write all on a line lost before a refused box",
         {type("Text_HSPD", "x"), loseLineOnWrite, press("cmd_Data")},
         {},
         {{"txt_tx", ""}},
         {{"Text_WDATA2", white}, {"Text_HSPD", white}},
         {kLineLost},
         0,
         0},
        {"read all on a lost line",
         {loseLineOnWrite, press("cmd_RData")},
         {},
         {},
         {},
         {kLineLost},
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectedWindow w;
        for (const Step& step : c.steps)
            step(w);
        EXPECT_EQ(frames(*w.port), c.frames);
        for (const auto& [name, text] : c.shown) {
            auto* button = qobject_cast<QPushButton*>(control(w.window, name));
            EXPECT_EQ(button ? button->text() : w.text(name), QString::fromUtf8(text)) << name;
        }
        for (const auto& [name, colour] : c.colours)
            EXPECT_EQ(colourName(w.window, name), colour) << name;
        EXPECT_EQ(w.messages.texts, c.messages);
        EXPECT_EQ(w.window.readState(), c.readState);
        EXPECT_EQ(w.window.outState(), c.outState);
    }
}

TEST(WindowClicks, NumberBoxesSendExactlyTheValueTheyShowOrNothing) {
    const std::tuple<const char*, const char*, const char*, std::optional<std::int32_t>> cases[] = {
        {"Text_PULSE", "CMD_CUR", " 7 ", 7},
        {"Text_PULSE", "CMD_CUR", "1.5", 2},
        {"Text_PULSE", "CMD_CUR", "-2.5", -2},
        {"Text_PULSE", "CMD_CUR", "12345678", 1234567},    // the box keeps seven characters
        {"Text_PULSE", "CMD_CUR", "１２３", std::nullopt}, // full-width digits
        {"Text_PULSE", "CMD_CUR", "1e3", std::nullopt},
        {"Txt_Jog", "cmd_ROR", "30000", 3000}, // the box keeps four characters
        {"Txt_Jog", "cmd_ROR", ".5", 0},
    };
    for (const auto& [box, button, typed, sent] : cases) {
        SCOPED_TRACE(std::string(box) + " \"" + typed + "\"");
        ConnectedWindow w;
        w.box(box)->setText(QString::fromUtf8(typed));
        click(w.window, button);
        ASSERT_EQ(w.port->writes.size(), sent ? 1 : 0);
        EXPECT_EQ(w.messages.texts.size(), sent ? 0 : 1);
        if (sent) {
            EXPECT_EQ(qFromBigEndian<qint32>(w.port->writes.front().constData() + 4), *sent);
        }
    }
}

TEST(WindowClicks, EveryCloseAfterAWriteDrainsTheLineFirst) {
    const std::pair<const char*, std::function<void(ConnectedWindow&)>> cases[] = {
        {"EXIT",
         [](ConnectedWindow& w) {
             click(w.window, "CMD3");
         }},
        {"window closed",
         [](ConnectedWindow& w) {
             click(w.window, "cmd_ROR");
             w.window.close();
         }},
    };
    for (const auto& [name, act] : cases) {
        ConnectedWindow w;
        w.port->events.clear();
        act(w);
        EXPECT_EQ(w.port->events.join(' '), "write drain close") << name;
    }
    ConnectedWindow w;
    w.port->events.clear();
    w.port->failWrites = true;
    click(w.window, "mtr_STOP");
    EXPECT_EQ(w.port->events.join(' '), "drain close") << "a line lost on a write";
}
