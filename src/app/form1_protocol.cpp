// Sending command frames, receiving replies and dispatching them.
#include "app_look.h"
#include "form1.h"
#include "message_box.h"
#include "params/parameter_table.h"
#include "protocol/hex_echo.h"
#include "protocol/reply_reception.h"
#include "texts/operator_texts.h"
#include "ui_form1.h"

#include <QCoreApplication>
#include <QThread>

namespace dx400 {

bool Form1::protocol(int cmd, int opt1, int data3, int data2, int data1, int data0) {
    ui->txt_tx->setText(QString());
    if (!fillTxBuffer(tx_buf, {cmd, opt1, data3, data2, data1, data0}))
        return false;
    showText(ui->txt_tx, QString::fromLatin1(echoText(std::span(tx_buf).first(kFrameLength))));
    // The reply decoder reads the data digits at fixed places of rx_txt, so it must
    // start empty for every frame.
    ui->rx_txt->setText(QString());
    if (MSC->write(byteArrayOf(tx_buf)))
        return true;
    // A frame that never left is not shown as sent; the lost-line message says why.
    ui->txt_tx->clear();
    return false;
}

void Form1::MSC_OnComm() {
    if (MSC->commEvent() != CommEvent::Receive)
        return;
    MSC->setRThreshold(0);
    if (const int waiting = MSC->inBufferCount(); waiting > 0) {
        // The count is fixed here; bytes that arrive later wait for the next event.
        const QByteArray bytes = MSC->read(waiting);
        const ReceivedBytes received = receiveBytes(bytesOf(bytes));
        for (std::size_t i = 0; i < received.echoPieces.size(); ++i) {
            if (i > 0)
                showMessage(this, text::kCommError);
            ui->rx_txt->append(QString::fromLatin1(received.echoPieces[i]));
        }
        // The data digits come from the box's text, not from the bytes just read: the
        // operator may have typed into RX DATA.
        const QString head = ui->rx_txt->text().left(static_cast<qsizetype>(kRxHeadLength));
        applyReply(dispatchReply(received.rxCmd, read_state, head.toLatin1().toStdString()));
    }
    QCoreApplication::processEvents();
    MSC->setRThreshold(kReplyLength);
}

void Form1::applyReply(const ReplyAction& action) {
    if (action.setsInputs) {
        CircleIndicator* leds[] = {ui->led1, ui->led2, ui->led3};
        for (std::size_t i = 0; i < 3; ++i)
            leds[i]->setFillColour(action.inputOn[i] ? colour::kRed : colour::kWhite);
        read_state = action.newReadState;
        return;
    }
    if (action.fillIndex == 0)
        return;
    QLineEdit* box = readBox(action.fillIndex);
    showText(box, QString::fromStdString(action.valueText));
    setBackground(box, colour::kRead);
    QThread::msleep(kFramePauseMs);
    read_state = action.newReadState;
    if (action.nextRequest)
        protocol(command::kReadParameter, *action.nextRequest, 0, 0, 0, 0);
}

QLineEdit* Form1::readBox(int index) const {
    if (const std::optional<std::size_t> position = panelPosition(index))
        return m_readBoxes[*position];
    return ui->Text_RPOS;
}

} // namespace dx400
