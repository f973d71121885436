// The window under faults of the line and of the operator's typing, over the fake port:
// receive events of any size never leave the receive event disarmed, noise shows in the
// receive text until the next frame empties it, a line lost in the middle of a handler is reported
// once and nothing after it is shown as sent, and no text in a number box sends a value other than
// the one it shows.
#include "app/form1.h"
#include "fake_window.h"
#include "window_access.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <functional>
#include <random>

using namespace dx400;
using namespace dx400::test;

namespace {

const QString kLineLost = QStringLiteral("통신 연결이 끊어졌습니다: COM4");
const QString kCommError = QStringLiteral("통신에러");

using Connected = ConnectedFakeWindow;

QByteArray randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    QByteArray bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes.append(static_cast<char>(random() & 0xFF));
    return bytes;
}

const QByteArray kReply500 = QByteArray::fromHex("BB00066400 0001F4EE5F");

bool showsNotConnected(const Form1& w) {
    return control(w, "통신연결버튼")->isEnabled() && control(w, "Combo_0")->isEnabled() &&
           !control(w, "Cmd_RPOS")->isEnabled() && !control(w, "cmd_Data")->isEnabled() &&
           control<CircleIndicator>(w, "rxled")->fillColour() == QColor("#FFFFFF") &&
           w.readState() == 0;
}

} // namespace

TEST(WindowFaults, ReceiveEventsOfAnySizeAreReadAndTheEventIsReArmed) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<int> cuts; // sizes of the pieces fed one after another; the rest last
    };
    const Case cases[] = {
        {"reply whole", kReply500, {}},
        {"reply in halves", kReply500, {5}},
        {"reply byte by byte", kReply500, {1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"one byte then nine", kReply500, {1}},
        {"stray bytes before the reply", QByteArray::fromHex("133742") + kReply500, {3}},
        {"reply and a half", kReply500 + kReply500.left(5), {}},
        {"two replies in one go", kReply500 + kReply500, {}},
        {"noise in odd pieces", randomBytes(997, 1), {1, 9, 10, 11, 99, 300}},
        {"a lot of noise at once", randomBytes(30000, 2), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connected w;
        click(w.window, "Cmd_RPOS");
        int at = 0;
        std::vector<int> pieces = c.cuts;
        pieces.push_back(static_cast<int>(c.bytes.size()));
        for (int size : pieces) {
            w.feed(c.bytes.mid(at, size));
            at = std::min(static_cast<int>(c.bytes.size()), at + size);
            ASSERT_EQ(w.port->rThreshold(), 10) << "the receive event is left disarmed";
            ASSERT_LT(w.port->inBufferCount(), 10) << "ten bytes wait unread";
        }
        EXPECT_EQ(w.box("rx_txt")->text().size(), c.bytes.size() * 4) << "every byte is shown";
        EXPECT_TRUE(w.window.serialPort().isOpen());
        for (const QString& text : w.messages.texts)
            EXPECT_EQ(text, kCommError);
    }
}

TEST(WindowFaults, NoiseGrowsTheReceiveTextUntilTheNextFrame) {
    Connected w;
    const QByteArray noise = randomBytes(40000, 3);
    for (int at = 0; at < noise.size(); at += 1000)
        w.feed(noise.mid(at, 1000));
    const QString shown = w.box("rx_txt")->text();
    ASSERT_EQ(shown.size(), noise.size() * 4) << "the box has no limit";
    EXPECT_EQ(shown.right(8),
              QString(noise.right(2).toHex(' ').toUpper()).replace(" ", "  ") + "  ");
    // The first bytes, which the decoder reads, are kept.
    EXPECT_EQ(shown.left(8), QString(noise.left(2).toHex(' ').toUpper()).replace(" ", "  ") + "  ");
    EXPECT_EQ(w.port->rThreshold(), 10);

    // The next frame empties it, and its reply is read as usual.
    click(w.window, "Cmd_RPOS");
    EXPECT_EQ(w.box("rx_txt")->text(), "");
    const qsizetype messages = w.messages.texts.size();
    w.feed(kReply500);
    EXPECT_EQ(w.box("Text_RPOS")->text(), "500");
    EXPECT_EQ(w.messages.texts.size(), messages);
}

TEST(WindowFaults, LineLostInsideAReceiveEventIsReportedOnceAndTheEventReArmed) {
    Connected w;
    click(w.window, "Cmd_RPOS");
    // Three bytes fail their tests; while the first message is open the device vanishes.
    // The loss is handled in the event loop of the next message, inside the receive event.
    bool posted = false;
    int thresholdAtLoss = -1;
    w.messages.whileOpen = [&] {
        if (!posted)
            QTimer::singleShot(0, [&] {
                thresholdAtLoss = w.port->rThreshold();
                w.port->loseLine();
            });
        posted = true;
    };
    w.feed(QByteArray::fromHex("00000600000001F40000"));
    w.messages.whileOpen = nullptr;
    QCoreApplication::processEvents();

    EXPECT_EQ(thresholdAtLoss, 0) << "the loss must come while the receive event runs";
    EXPECT_EQ(w.messages.texts.count(kLineLost), 1) << w.messages.texts.join('|').toStdString();
    EXPECT_EQ(w.messages.texts.count(kCommError), 3);
    EXPECT_TRUE(showsNotConnected(w.window));
    EXPECT_EQ(w.port->rThreshold(), 10) << "a later connection must get its receive events";

    // Connect again: the first request and its reply work as on a fresh window.
    w.port->discardInput();
    click(w.window, "통신연결버튼");
    click(w.window, "Cmd_RPOS");
    EXPECT_EQ(w.port->writes.last().toHex(' ').toUpper(), "AA 00 06 08 00 00 00 00 EE 0E 00 00");
    w.feed(kReply500);
    EXPECT_EQ(w.box("Text_RPOS")->text(), "500");
    EXPECT_EQ(w.messages.texts.count(kLineLost), 1);
}

TEST(WindowFaults, WriteAllStopsAtTheFirstFrameThatCannotGo) {
    Connected w;
    w.box("Text_VMAX")->setText("abc");
    // While the message about the third box is open, the line goes: the fourth frame
    // is the first that cannot be written.
    w.messages.whileOpen = [&] {
        w.port->failWrites = true;
    };
    click(w.window, "cmd_Data");

    ASSERT_EQ(w.port->writes.size(), 2);
    EXPECT_EQ(w.messages.texts, QStringList({"에러 구동속도 값이 숫자가 아니다.", kLineLost}));
    EXPECT_TRUE(showsNotConnected(w.window));
    EXPECT_EQ(w.text("txt_tx"), "") << "a frame that never left is not shown as sent";
    const std::pair<const char*, const char*> colours[] = {
        {"Text_WDATA2", "#FFFF80"}, {"Text_WDATA3", "#FFFF80"}, {"Text_VMAX", "#FFFFFF"},
        {"Text_ACCEL", "#FFFFFF"},  {"Text_HSPD", "#FFFFFF"},   {"Text_REL", "#FFFFFF"}};
    for (const auto& [box, colour] : colours)
        EXPECT_EQ(colourName(w.window, box), colour) << box;
}

TEST(WindowFaults, NumberBoxesSendExactlyTheValueTheyShowOrNothing) {
    struct Case {
        const char* box;
        const char* button;
        const char* typed;
        std::optional<std::int32_t> sent; // nothing: refused with one message
    };
    const Case cases[] = {
        {"Text_PULSE", "CMD_CUR", "1000", 1000},
        {"Text_PULSE", "CMD_CUR", "-999999", -999999},
        {"Text_PULSE", "CMD_CUR", " 7 ", 7},
        {"Text_PULSE", "CMD_CUR", "1.5", 2},
        {"Text_PULSE", "CMD_CUR", "-2.5", -2},
        {"Text_PULSE", "CMD_CUR", "12345678", 1234567}, // the box keeps seven characters
        {"Text_PULSE", "CMD_CUR_R", "-0", 0},
        {"Text_PULSE", "CMD_CUR", "１２３", std::nullopt}, // full-width digits
        {"Text_PULSE", "CMD_CUR", "٣", std::nullopt},      // Arabic-Indic three
        {"Text_PULSE", "CMD_CUR", "NaN", std::nullopt},
        {"Text_PULSE", "CMD_CUR", "inf", std::nullopt},
        {"Text_PULSE", "CMD_CUR", "1e3", std::nullopt},
        {"Text_PULSE", "CMD_CUR", "0x10", std::nullopt},
        {"Text_PULSE", "CMD_CUR", "", std::nullopt},
        {"Text_PULSE", "CMD_CUR", "-", std::nullopt},
        {"Txt_Jog", "cmd_ROR", "30000", 3000}, // the box keeps four characters
        {"Txt_Jog", "cmd_ROL", "-1", -1},
        {"Txt_Jog", "cmd_ROR", ".5", 0},
        {"Txt_Jog", "cmd_ROR", "３００", std::nullopt},
        {"Txt_Jog", "cmd_ROL", "1,0", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " \"" + c.typed + "\" " + c.button);
        Connected w;
        w.box(c.box)->setText(QString::fromUtf8(c.typed));
        click(w.window, c.button);
        if (!c.sent) {
            EXPECT_TRUE(w.port->writes.isEmpty());
            EXPECT_EQ(w.messages.texts.size(), 1);
            EXPECT_TRUE(w.window.serialPort().isOpen());
            continue;
        }
        ASSERT_EQ(w.port->writes.size(), 1);
        EXPECT_TRUE(w.messages.texts.isEmpty());
        const QByteArray frame = w.port->writes.front();
        const auto byte = [&](int i) {
            return static_cast<std::uint32_t>(quint8(frame[i]));
        };
        const auto value =
            static_cast<std::int32_t>(byte(4) << 24 | byte(5) << 16 | byte(6) << 8 | byte(7));
        EXPECT_EQ(value, *c.sent);
    }
}

TEST(WindowFaults, BoxesKeepTheirLimitForPastedText) {
    const std::pair<const char*, int> limits[] = {
        {"Text_WDATA2", 2}, {"Text_WDATA3", 2}, {"Text_VMAX", 4},  {"Text_ACCEL", 4},
        {"Text_HSPD", 4},   {"Text_REL", 1},    {"Text_PULSE", 7}, {"Txt_Jog", 4}};
    Connected w;
    const QString pasted = QStringLiteral("123456789012345678901234567890");
    for (const auto& [name, limit] : limits) {
        QLineEdit* box = w.box(name);
        QGuiApplication::clipboard()->setText(pasted);
        box->selectAll();
        box->paste();
        EXPECT_EQ(box->text(), pasted.left(limit)) << name << " through the clipboard";
        box->setText(pasted);
        EXPECT_EQ(box->text(), pasted.left(limit)) << name << " set as a whole";
        box->end(false);
        box->insert(pasted);
        EXPECT_EQ(box->text(), pasted.left(limit)) << name << " inserted at the end";
    }
}

TEST(WindowFaults, EveryCloseAfterAWriteDrainsTheLineFirst) {
    struct Case {
        const char* name;
        std::function<void(Connected&)> act;
        QStringList events; // on the line, from the connect on
    };
    const Case cases[] = {
        {"EXIT", [](Connected& w) { click(w.window, "CMD3"); }, {"write", "drain", "close"}},
        {"window closed",
         [](Connected& w) {
             click(w.window, "cmd_ROR");
             w.window.close();
         },
         {"write", "drain", "close"}},
        {"line lost on a write",
         [](Connected& w) {
             w.port->failWrites = true;
             click(w.window, "mtr_STOP");
         },
         {"drain", "close"}},
    };
    for (const Case& c : cases) {
        Connected w;
        w.port->events.clear(); // the start-up probes opened and closed ports too
        c.act(w);
        EXPECT_EQ(w.port->events.join(' '), c.events.join(' ')) << c.name;
    }
}
