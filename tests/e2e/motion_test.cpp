// Moves, jog, stop, the digital inputs and the output against the simulated drive.
#include "drive_steps.h"
#include "sim_fixture.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

using namespace dx400::e2e;

namespace {

constexpr const char* kRed = "#FF0000";
constexpr const char* kWhite = "#FFFFFF";
constexpr const char* kLightBlue = "#C0C0FF";

QString systemButton() {
    return QApplication::palette().color(QPalette::Button).name(QColor::HexRgb).toUpper();
}

} // namespace

TEST(EndToEndMotion, ReadPositionShowsWhereTheMovesTookTheDrive) {
    struct Step {
        const char* button;
        const char* pulses;
        const char* frame;
        const char* position;
    };
    const Step steps[] = {
        {"CMD_CUR", "1000", "AA 00 04 00 00 00 03 E8 EE EF", "1000"},
        {"CMD_CUR_R", "-100", "AA 00 04 01 FF FF FF 9C EE 9E", "900"},
    };
    SimFixture f;
    ASSERT_TRUE(f.connect());
    for (const Step& s : steps) {
        SCOPED_TRACE(s.button);
        f.setText("Text_PULSE", s.pulses);
        ASSERT_TRUE(sendOne(f, s.button)) << f.trafficText();
        EXPECT_EQ(f.lastReceived(), s.frame);

        f.click("Cmd_RPOS");
        EXPECT_EQ(f.readState(), 8);
        EXPECT_EQ(f.colour("Text_RPOS"), kWhite);
        ASSERT_TRUE(f.waitUntil([&] { return f.readState() == 0; })) << f.trafficText();
        EXPECT_EQ(f.lastReceived(), "AA 00 06 08 00 00 00 00 EE 0E");
        EXPECT_EQ(f.text("Text_RPOS"), s.position);
        EXPECT_EQ(f.colour("Text_RPOS"), kLightBlue);
        ASSERT_TRUE(f.settle());
    }
    EXPECT_TRUE(f.messageTexts().isEmpty()) << f.messageTexts().join('|').toStdString();
}

TEST(EndToEndMotion, AJogMovesThePositionUntilStopped) {
    SimFixture f;
    ASSERT_TRUE(f.connect());
    f.setText("Txt_Jog", "300");
    ASSERT_TRUE(sendOne(f, "cmd_ROL")) << f.trafficText();
    f.runFor(150);
    const std::optional<QString> first = readPosition(f);
    f.runFor(150);
    const std::optional<QString> second = readPosition(f);
    ASSERT_TRUE(first && second) << f.trafficText();
    EXPECT_NE(*first, "0") << "the drive moved while jogging";
    EXPECT_NE(*second, *first) << "and goes on moving";

    ASSERT_TRUE(sendOne(f, "mtr_STOP")) << f.trafficText();
    const std::optional<QString> stopped = readPosition(f);
    f.runFor(150);
    const std::optional<QString> later = readPosition(f);
    ASSERT_TRUE(stopped && later) << f.trafficText();
    EXPECT_EQ(*later, *stopped) << "the drive stands still after the stop";
    EXPECT_TRUE(f.messageTexts().isEmpty()) << f.messageTexts().join('|').toStdString();
}

TEST(EndToEndMotion, EachButtonPutsItsFrameOnTheLineAndShowsItsState) {
    enum Face { System, Red };
    struct Step {
        const char* button;
        const char* box; // text box set first, or nullptr
        const char* text;
        const char* frame;
        Face rol;
        Face ror;
        const char* outCaption;
        bool driveOutput;
    };
    const Step steps[] = {
        {"CMD_CUR", "Text_PULSE", "1000", "AA 00 04 00 00 00 03 E8 EE EF", System, System, "출력ON",
         false},
        {"CMD_CUR_R", "Text_PULSE", "-100", "AA 00 04 01 FF FF FF 9C EE 9E", System, System,
         "출력ON", false},
        {"cmd_ROL", "Txt_Jog", "300", "AA 00 02 00 00 00 01 2C EE 2F", Red, System, "출력ON",
         false},
        {"cmd_ROR", "Txt_Jog", "300", "AA 00 01 00 00 00 01 2C EE 2E", System, Red, "출력ON",
         false},
        {"mtr_STOP", nullptr, nullptr, "AA 00 03 00 00 00 00 00 EE 03", System, System, "출력ON",
         false},
        {"CMD_IN", nullptr, nullptr, "AA 00 0C 01 00 00 00 00 EE 0D", System, System, "출력ON",
         false},
        {"CMD_OUT", nullptr, nullptr, "AA 00 0B 01 00 00 00 01 EE 0D", System, System, "출력OFF",
         true},
        {"CMD_OUT", nullptr, nullptr, "AA 00 0B 01 00 00 00 00 EE 0C", System, System, "출력ON",
         false},
    };
    const auto face = [](Face which) {
        return which == Red ? QString(kRed) : systemButton();
    };

    SimFixture f;
    ASSERT_TRUE(f.connect());
    std::size_t frames = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.button) + " " + s.frame);
        if (s.box)
            f.setText(s.box, s.text);
        ASSERT_TRUE(sendOne(f, s.button)) << f.trafficText();
        ++frames;
        EXPECT_EQ(f.received().size(), frames) << "one frame per click\n" << f.trafficText();
        EXPECT_EQ(f.lastReceived(), s.frame);
        EXPECT_EQ(f.colour("cmd_ROL"), face(s.rol));
        EXPECT_EQ(f.colour("cmd_ROR"), face(s.ror));
        EXPECT_EQ(f.text("CMD_OUT"), s.outCaption);
        EXPECT_EQ(f.sim().driveState().output, s.driveOutput);
    }
    EXPECT_TRUE(f.messageTexts().isEmpty()) << f.messageTexts().join('|').toStdString();
}

TEST(EndToEndMotion, ATextThatIsNoNumberShowsOneMessageAndSendsNothing) {
    struct Case {
        const char* box;
        const char* text;
        const char* button;
        QString message; // names the box
    };
    const QString pulses = QStringLiteral("에러 이동펄스 값이 숫자가 아니다.");
    const QString jog = QStringLiteral("에러 JOG SPEED 값이 숫자가 아니다.");
    const Case cases[] = {
        {"Text_PULSE", "abc", "CMD_CUR", pulses},
        {"Text_PULSE", "", "CMD_CUR_R", pulses},
        {"Txt_Jog", "x", "cmd_ROL", jog},
        {"Txt_Jog", "-", "cmd_ROR", jog},
    };
    SimFixture f;
    ASSERT_TRUE(f.connect());
    // A jog to the left is running, so that a refused click has colours it could change.
    f.setText("Txt_Jog", "300");
    ASSERT_TRUE(sendOne(f, "cmd_ROL")) << f.trafficText();
    const QString echo = f.text("txt_tx");

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " with '" + c.text + "'");
        f.setText("Txt_Jog", "300");
        f.setText(c.box, c.text);
        const qsizetype messagesBefore = f.messageTexts().size();
        f.click(c.button);
        f.runFor(150);
        ASSERT_EQ(f.messageTexts().size(), messagesBefore + 1);
        EXPECT_TRUE(f.messageTexts().last().startsWith(c.message))
            << f.messageTexts().last().toStdString();
        EXPECT_EQ(f.received().size(), 1u) << "no frame\n" << f.trafficText();
        EXPECT_EQ(f.colour("cmd_ROL"), kRed);
        EXPECT_EQ(f.colour("cmd_ROR"), systemButton());
        EXPECT_EQ(f.text("txt_tx"), echo);
    }
}

TEST(EndToEndInputs, EachInputLightsItsIndicator) {
    struct Case {
        dx400::sim::Inputs inputs; // input 1, 2, 3
        const char* reply;         // what the drive answers
        const char* led1;
        const char* led2;
        const char* led3;
    };
    // The third input is reported in the reply's 6th byte and lights led3; the first in
    // the 8th byte and lights led1.
    const Case cases[] = {
        {{true, true, true}, "BB 00 0C 64 00 01 01 01 EE 73", kRed, kRed, kRed},
        {{true, false, true}, "BB 00 0C 64 00 01 00 01 EE 72", kRed, kWhite, kRed},
        {{true, false, false}, "BB 00 0C 64 00 00 00 01 EE 71", kRed, kWhite, kWhite},
        {{false, false, true}, "BB 00 0C 64 00 01 00 00 EE 71", kWhite, kWhite, kRed},
        {{false, false, false}, "BB 00 0C 64 00 00 00 00 EE 70", kWhite, kWhite, kWhite},
    };
    SimFixture f;
    ASSERT_TRUE(f.connect());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        f.sim().setInputs(c.inputs);
        f.click("CMD_IN");
        EXPECT_EQ(f.readState(), 9) << "waiting for the inputs";
        ASSERT_TRUE(f.waitUntil([&] { return f.readState() == 0; })) << f.trafficText();
        ASSERT_TRUE(f.settle());
        EXPECT_EQ(f.lastReceived(), "AA 00 0C 01 00 00 00 00 EE 0D");
        ASSERT_FALSE(f.replies().empty());
        EXPECT_EQ(f.replies().back().hex, c.reply);
        EXPECT_EQ(f.colour("led1"), c.led1);
        EXPECT_EQ(f.colour("led2"), c.led2);
        EXPECT_EQ(f.colour("led3"), c.led3);
    }
    EXPECT_TRUE(f.messageTexts().isEmpty()) << f.messageTexts().join('|').toStdString();
}
