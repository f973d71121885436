#include "app/form1.h"
#include "fake_window.h"
#include "link/qt_serial_port.h"
#include "message_catcher.h"
#include "pty_port.h"
#include "window_access.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSerialPort>

using namespace dx400;
using namespace dx400::test;

namespace {

bool looksConnected(const Form1& w) {
    return !control(w, "통신연결버튼")->isEnabled() && !control(w, "Combo_0")->isEnabled() &&
           !control(w, "Combo_1")->isEnabled() && control(w, "CMD3")->isEnabled() &&
           control(w, "CMD_OUT")->isEnabled() &&
           control<CircleIndicator>(w, "rxled")->fillColour() == QColor("#FF0000");
}

bool looksNotConnected(const Form1& w) {
    return control(w, "통신연결버튼")->isEnabled() && control(w, "Combo_0")->isEnabled() &&
           control(w, "Combo_1")->isEnabled() && !control(w, "CMD3")->isEnabled() &&
           !control(w, "cmd_Data")->isEnabled() &&
           control<CircleIndicator>(w, "rxled")->fillColour() == QColor("#FFFFFF");
}

} // namespace

TEST(WindowConnect, DefaultChoicesConnectToCom4At19200) {
    PtyPort pty(4);
    Form1 window(std::make_unique<QtSerialPort>());
    MessageCatcher messages;
    click(window, "통신연결버튼");
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join('|').toStdString();
    EXPECT_TRUE(looksConnected(window));
    EXPECT_TRUE(window.serialPort().isOpen());
    EXPECT_EQ(window.serialPort().settings().rate, 19200);
    EXPECT_EQ(window.serialPort().rThreshold(), 10);
    EXPECT_TRUE(pty.readAvailable().isEmpty()) << "connecting sends nothing";
}

TEST(WindowConnect, FailuresLeaveTheWindowNotConnectedWithOneMessage) {
    struct Case {
        const char* name;
        int port;  // Combo_0 position, -1: none
        int speed; // Combo_1 position, -1: none
        bool holdPort;
        const char* says;
    };
    const Case cases[] = {
        {"low_speed6000", 3, 0, false, "low_speed6000"},
        {"no speed selected", 3, -1, false, "속도"},
        {"no port selected", -1, 6, false, "포트가 선택되지"},
        {"missing port", 7, 6, false, "포트가 없습니다"},
        {"port held by another program", 3, 6, true, "다른 프로그램"},
    };
    for (const Case& c : cases) {
        PtyPort pty(4);
        QSerialPort holder(pty.devicePath());
        if (c.holdPort)
            ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << c.name;
        Form1 window(std::make_unique<QtSerialPort>());
        control<QComboBox>(window, "Combo_0")->setCurrentIndex(c.port);
        control<QComboBox>(window, "Combo_1")->setCurrentIndex(c.speed);
        MessageCatcher messages;
        click(window, "통신연결버튼");
        ASSERT_EQ(messages.texts.size(), 1) << c.name;
        EXPECT_TRUE(messages.texts[0].contains(QString::fromUtf8(c.says)))
            << c.name << ": " << messages.texts[0].toStdString();
        EXPECT_EQ(messages.titles[0], "DX-400") << c.name;
        EXPECT_TRUE(looksNotConnected(window)) << c.name;
        EXPECT_FALSE(window.serialPort().isOpen()) << c.name;
    }
}

TEST(WindowConnect, ATryAfterAFailureCanSucceed) {
    PtyPort pty(4);
    Form1 window(std::make_unique<QtSerialPort>());
    MessageCatcher messages;
    control<QComboBox>(window, "Combo_1")->setCurrentIndex(0);
    click(window, "통신연결버튼");
    control<QComboBox>(window, "Combo_1")->setCurrentIndex(6);
    click(window, "통신연결버튼");
    EXPECT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(looksConnected(window));
}

TEST(WindowConnect, ExitPutsOneStopFrameOnTheLine) {
    PtyPort pty(4);
    Form1 window(std::make_unique<QtSerialPort>());
    click(window, "통신연결버튼");
    ASSERT_TRUE(looksConnected(window));
    click(window, "CMD3");
    EXPECT_EQ(pty.read(64, 500).toHex(' ').toUpper(), "AA 00 03 00 00 00 00 00 EE 03 00 00");
    EXPECT_FALSE(window.serialPort().isOpen()) << "the port is released";
}

TEST(WindowConnect, ClosingTheWindowSendsNothingAndReleasesThePort) {
    PtyPort pty(4);
    Form1 window(std::make_unique<QtSerialPort>());
    click(window, "통신연결버튼");
    window.close();
    EXPECT_TRUE(pty.readAvailable().isEmpty());
    EXPECT_FALSE(window.serialPort().isOpen());
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
        MessageCatcher messages;
        auto* list = control<QComboBox>(w.window, c.list);
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), QString::fromUtf8(c.typed));
        click(w.window, "통신연결버튼"); // the field loses the focus first
        EXPECT_EQ(list->currentText(), c.typed) << "the field keeps what was typed";
        ASSERT_EQ(messages.texts.size(), 1);
        EXPECT_TRUE(messages.texts[0].contains(QString::fromUtf8(c.says)))
            << messages.texts[0].toStdString();
        EXPECT_EQ(w.port->openCount, 10) << "only the start-up probes opened a port";

        // Chosen from the drop-down list, the entry counts again.
        list->showPopup();
        QAbstractItemView* view = list->view();
        const QRect entry = view->visualRect(list->model()->index(c.chosen, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
        click(w.window, "통신연결버튼");
        EXPECT_EQ(messages.texts.size(), 1);
        ASSERT_TRUE(w.port->isOpen());
        EXPECT_EQ(w.port->commPort(), c.port);
        EXPECT_EQ(w.port->settings().rate, c.rate);
    }
}
