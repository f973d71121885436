// Moves, jog and stop, digital input and output.
#include "app_look.h"
#include "form1.h"
#include "message_box.h"
#include "motion/pulse_packing.h"
#include "params/number_reader.h"
#include "protocol/reply_dispatch.h"

#include <QLineEdit>
#include <QPushButton>

namespace dx400 {

namespace {
constexpr int kAbsolute = 0;
constexpr int kIncremental = 1;
// The boxes take at most 7 and 4 characters; the drive runs jogs from 0 to 2047.
const QString kPulseRefused =
    QStringLiteral("에러 이동펄스 값이 숫자가 아니다. -999999부터 9999999까지의 수를 넣어야 한다.");
const QString kJogSpeedRefused =
    QStringLiteral("에러 JOG SPEED 값이 숫자가 아니다. 0부터 2047까지의 수를 넣어야 한다.");
} // namespace

bool Form1::readBoxNumber(QLineEdit* box, const QString& refusal, qint32& value) {
    const NumberReading reading = readNumber(box->text().toStdString());
    if (!reading.ok()) {
        showMessage(this, refusal);
        return false;
    }
    value = reading.value;
    return true;
}

void Form1::sendMove(int opt1) {
    qint32 value = 0;
    if (!readBoxNumber(Text_PULSE, kPulseRefused, value))
        return;
    const auto bytes = packPulses(value);
    protocol(command::kMove, opt1, bytes[0], bytes[1], bytes[2], bytes[3]);
}

void Form1::CMD_CUR_Click() {
    sendMove(kAbsolute);
}
void Form1::CMD_CUR_R_Click() {
    sendMove(kIncremental);
}

void Form1::sendJog(int cmd, QPushButton* clicked, QPushButton* other) {
    qint32 speed = 0;
    if (!readBoxNumber(Txt_Jog, kJogSpeedRefused, speed))
        return;
    const auto bytes = packPulses(speed);
    if (!protocol(cmd, 0, bytes[0], bytes[1], bytes[2], bytes[3]))
        return;
    setBackground(other, systemButtonColour());
    setBackground(clicked, colour::kRed);
}

void Form1::cmd_ROL_Click() {
    sendJog(command::kJogRol, cmd_ROL, cmd_ROR);
}
void Form1::cmd_ROR_Click() {
    sendJog(command::kJogRor, cmd_ROR, cmd_ROL);
}

void Form1::mtr_STOP_Click() {
    if (!protocol(command::kStop, 0, 0, 0, 0, 0))
        return;
    setBackground(cmd_ROR, systemButtonColour());
    setBackground(cmd_ROL, systemButtonColour());
}

void Form1::CMD_IN_Click() {
    read_state = read_state::kInputs;
    protocol(command::kInput, 1, 0, 0, 0, 0);
}

void Form1::CMD_OUT_Click() {
    // The caption names what the next click will do; it changes before the frame and
    // out_state after it. A frame that never left puts the caption back.
    const bool switchOn = out_state == 0;
    const QString caption = CMD_OUT->text();
    CMD_OUT->setText(switchOn ? QStringLiteral("출력OFF") : QStringLiteral("출력ON"));
    if (protocol(command::kOutput, 1, 0, 0, 0, switchOn ? 1 : 0))
        out_state = switchOn ? 1 : 0;
    else
        CMD_OUT->setText(caption);
}

} // namespace dx400
