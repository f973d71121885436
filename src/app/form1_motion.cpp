// Moves, jog and stop, digital input and output.
#include "app_look.h"
#include "form1.h"
#include "message_box.h"
#include "motion/pulse_packing.h"
#include "params/number_reader.h"
#include "protocol/reply_dispatch.h"
#include "texts/operator_texts.h"
#include "ui_form1.h"

#include <QLineEdit>
#include <QPushButton>

namespace dx400 {

namespace {
constexpr int kAbsolute = 0;
constexpr int kIncremental = 1;
} // namespace

bool Form1::readBoxNumber(QLineEdit* box, std::string_view refusal, qint32& value) {
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
    if (!readBoxNumber(ui->Text_PULSE, text::kPulsesRefused, value))
        return;
    const auto [data3, data2, data1, data0] = packPulses(value);
    protocol(command::kMove, opt1, data3, data2, data1, data0);
}

void Form1::CMD_CUR_Click() {
    sendMove(kAbsolute);
}
void Form1::CMD_CUR_R_Click() {
    sendMove(kIncremental);
}

void Form1::sendJog(int cmd, QPushButton* clicked, QPushButton* other) {
    qint32 speed = 0;
    if (!readBoxNumber(ui->Txt_Jog, text::kJogSpeedRefused, speed))
        return;
    const auto [data3, data2, data1, data0] = packPulses(speed);
    if (!protocol(cmd, 0, data3, data2, data1, data0))
        return;
    setBackground(other, systemButtonColour());
    setBackground(clicked, colour::kRed);
}

void Form1::cmd_ROL_Click() {
    sendJog(command::kJogRol, ui->cmd_ROL, ui->cmd_ROR);
}
void Form1::cmd_ROR_Click() {
    sendJog(command::kJogRor, ui->cmd_ROR, ui->cmd_ROL);
}

void Form1::mtr_STOP_Click() {
    if (!protocol(command::kStop, 0, 0, 0, 0, 0))
        return;
    setBackground(ui->cmd_ROR, systemButtonColour());
    setBackground(ui->cmd_ROL, systemButtonColour());
}

void Form1::CMD_IN_Click() {
    read_state = read_state::kInputs;
    protocol(command::kInput, 1, 0, 0, 0, 0);
}

void Form1::CMD_OUT_Click() {
    // The caption names what the next click will do; it changes before the frame and
    // out_state after it. A frame that never left puts the caption back.
    const bool switchOn = out_state == 0;
    const QString caption = ui->CMD_OUT->text();
    ui->CMD_OUT->setText(QString::fromUtf8(switchOn ? text::kOutputOff : text::kOutputOn));
    if (protocol(command::kOutput, 1, 0, 0, 0, switchOn ? 1 : 0))
        out_state = switchOn ? 1 : 0;
    else
        ui->CMD_OUT->setText(caption);
}

} // namespace dx400
