// WRITE ALL, READ ALL and READ POSITION.
#include "app_look.h"
#include "form1.h"
#include "message_box.h"
#include "params/parameter_table.h"
#include "ui_form1.h"

#include <QThread>

namespace dx400 {

void Form1::cmd_Data_Click() {
    for (std::size_t position : kPaintOrder)
        setBackground(m_writeBoxes[position], colour::kWhite);

    // Each value is tested just before its own frame, so the frames of the parameters
    // before a refused one have already left. A refused value sends no frame at all:
    // sending zero instead would set a current or a speed to zero on the drive.
    const auto& parameters = driveParameters();
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const DriveParameter& parameter = parameters[i];
        const ParameterReading reading =
            readParameter(parameter, m_writeBoxes[i]->text().toStdString());
        if (!reading.ok()) {
            showMessage(this, reading.refusal);
        } else {
            const auto [high, low] = splitValue(reading.value);
            if (!protocol(command::kWriteParameter, parameter.index, 0, 0, high, low))
                return; // the line is gone; the rest could not be sent either
            setBackground(m_writeBoxes[i], colour::kWritten);
        }
        if (i + 1 < parameters.size())
            QThread::msleep(kFramePauseMs);
    }
}

void Form1::cmd_RData_Click() {
    for (std::size_t position : kPaintOrder)
        setBackground(m_readBoxes[position], colour::kWhite);
    read_state = static_cast<quint8>(driveParameters().front().index);
    protocol(command::kReadParameter, read_state, 0, 0, 0, 0);
}

void Form1::Cmd_RPOS_Click() {
    read_state = read_state::kPosition;
    setBackground(ui->Text_RPOS, colour::kWhite);
    protocol(command::kReadParameter, kPositionIndex, 0, 0, 0, 0);
}

} // namespace dx400
