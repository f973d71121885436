#include "app/form1.h"
#include "fake_window.h"
#include "window_access.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

using namespace dx400;
using namespace dx400::test;

namespace {

const char* kCommandButtons[] = {"CMD3",     "cmd_Data",  "cmd_RData", "Cmd_RPOS",
                                 "CMD_CUR",  "CMD_CUR_R", "cmd_ROL",   "cmd_ROR",
                                 "mtr_STOP", "CMD_IN",    "CMD_OUT"};

} // namespace

TEST(WindowStartup, OnlyTheConnectControlsAndBoxesRespond) {
    FakeWindow s;
    for (const char* name : kCommandButtons)
        EXPECT_FALSE(control(s.window, name)->isEnabled()) << name;
    for (const char* name :
         {"통신연결버튼", "Combo_0", "Combo_1", "PORT", "Text_WDATA2", "Text_RPOS", "txt_tx",
          "rx_txt", "Txt_Jog", "Text_PULSE", "Text_REPOS"})
        EXPECT_TRUE(control(s.window, name)->isEnabled()) << name;
    EXPECT_EQ(control<CircleIndicator>(s.window, "rxled")->fillColour(), QColor("#FFFFFF"));
    EXPECT_FALSE(s.port->isOpen()) << "the port stays closed until connect";
}

TEST(WindowStartup, ListsOfferPortsAndSpeedsWithTheirDefaults) {
    FakeWindow s;
    auto* ports = control<QComboBox>(s.window, "Combo_0");
    auto* speeds = control<QComboBox>(s.window, "Combo_1");
    QStringList portTexts, speedTexts;
    for (int i = 0; i < ports->count(); ++i)
        portTexts << ports->itemText(i);
    for (int i = 0; i < speeds->count(); ++i)
        speedTexts << speeds->itemText(i);
    EXPECT_EQ(portTexts.join(' '), "COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9");
    EXPECT_EQ(speedTexts.join(' '),
              "low_speed6000 128000 115200 57600 56000 38400 19200 14400 9600 4800 2400 1200 600");
    EXPECT_EQ(ports->currentText(), "COM4");
    EXPECT_EQ(speeds->currentText(), "19200");

    // The fake has ports 1 and 4; probing opened and closed each of the ten numbers once.
    auto* found = control<QListWidget>(s.window, "PORT");
    ASSERT_EQ(found->count(), 2);
    EXPECT_EQ(found->item(0)->text(), "COM1");
    EXPECT_EQ(found->item(1)->text(), "COM4");
    EXPECT_EQ(s.port->openCount, 10);
}

TEST(WindowStartup, TextsLimitsAndFocus) {
    FakeWindow s;
    struct Box {
        const char* name;
        const char* text;
        int maxLength; // 0: no limit
    };
    const Box boxes[] = {
        {"Text_WDATA2", "20", 2}, {"Text_WDATA3", "4", 2}, {"Text_VMAX", "800", 4},
        {"Text_ACCEL", "10", 4},  {"Text_HSPD", "500", 4}, {"Text_REL", "2", 1},
        {"Text_PULSE", "0", 7},   {"Txt_Jog", "300", 4},   {"Text_RPOS", "0", 0},
        {"Text_RDATA2", "", 0},   {"Text_REPOS", "", 0},   {"txt_tx", "", 0},
        {"rx_txt", "", 0},
    };
    for (const Box& b : boxes) {
        auto* box = control<QLineEdit>(s.window, b.name);
        EXPECT_EQ(box->text(), b.text) << b.name;
        if (b.maxLength)
            EXPECT_EQ(box->maxLength(), b.maxLength) << b.name;
        else
            EXPECT_GT(box->maxLength(), 1 << 20) << b.name << " must not be capped";
    }
    // Pasting cannot get past a limit either.
    auto* current = control<QLineEdit>(s.window, "Text_WDATA2");
    current->selectAll();
    current->insert("12345");
    EXPECT_EQ(current->text(), "12");

    EXPECT_EQ(s.window.windowTitle(), "DX-400");
    EXPECT_EQ(control<QPushButton>(s.window, "mtr_STOP")->text(), "MOTOR    STOP");
    EXPECT_EQ(control<QPushButton>(s.window, "CMD_OUT")->text(), "출력ON");
    EXPECT_EQ(s.window.size(), QSize(570, 622));
    EXPECT_EQ(s.window.focusWidget(), control(s.window, "Combo_0"));
}

TEST(WindowStartup, FocusOrderFollowsTheTabChain) {
    FakeWindow s;
    const QStringList order = QString::fromUtf8("Combo_0 Combo_1 통신연결버튼 CMD3 PORT cmd_ROR "
                                                "mtr_STOP rx_txt cmd_ROL Text_ACCEL Text_VMAX "
                                                "cmd_Data Text_RPOS txt_tx Txt_Jog Text_PULSE "
                                                "CMD_CUR CMD_CUR_R Text_WDATA2 Text_WDATA3 "
                                                "cmd_RData Text_HSPD Text_RDATA3 Text_RACCEL "
                                                "Text_RVMAX Text_RHSPD Cmd_RPOS Text_RDATA2 "
                                                "Text_REL Text_REPOS CMD_OUT CMD_IN")
                                  .split(' ');
    // Walk the whole chain once from the first control and keep the named controls.
    QStringList walked;
    QWidget* first = control(s.window, "Combo_0");
    QWidget* w = first;
    do {
        if (order.contains(w->objectName()) && !walked.contains(w->objectName()))
            walked << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first);
    EXPECT_EQ(walked, order);
}
