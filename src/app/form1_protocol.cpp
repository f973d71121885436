// Sending command frames, receiving replies and dispatching them.
#include "app_look.h"
#include "circle_indicator.h"
#include "form1.h"
#include "message_box.h"
#include "params/parameter_table.h"
#include "protocol/hex_echo.h"
#include "protocol/reply_dispatch.h"
#include "protocol/reply_reception.h"
#include "receive_echo_box.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QThread>
#include <vector>

namespace dx400 {

namespace {
constexpr int kReceiveThreshold = 10;
constexpr unsigned long kPauseMs = 100;
} // namespace

bool Form1::protocol(int cmd, int opt1, int data3, int data2, int data1, int data0) {
    txt_tx->setText(QString());
    if (!fillTxBuffer(tx_buf, {cmd, opt1, data3, data2, data1, data0}))
        return false;
    showText(txt_tx, QString::fromLatin1(echoText(std::span(tx_buf).first(kFrameLength))));
    // The reply decoder reads the data digits at fixed places of rx_txt, so it must
    // start empty for every frame.
    rx_txt->setText(QString());
    if (MSC->write(QByteArray(reinterpret_cast<const char*>(tx_buf.data()),
                              static_cast<qsizetype>(tx_buf.size()))))
        return true;
    // A frame that never left is not shown as sent; the lost-line message says why.
    txt_tx->clear();
    return false;
}

void Form1::MSC_OnComm() {
    if (MSC->commEvent() != CommEvent::Receive)
        return;
    MSC->setRThreshold(0);
    if (MSC->inBufferCount() > 0) {
        // The count is fixed here; bytes that arrive later wait for the next event.
        const int count = MSC->inBufferCount();
        std::vector<std::uint8_t> bytes;
        bytes.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const std::optional<quint8> byte = MSC->readByte();
            if (!byte)
                break;
            bytes.push_back(*byte);
        }
        // The echo goes into the box in as few pieces as possible: each piece ends at a
        // byte that failed its test, whose message then shows over the bytes read so far.
        const ReceivedBytes received = receiveBytes(bytes);
        std::size_t shown = 0;
        for (std::size_t failed : received.failedBytes) {
            const std::size_t end = (failed + 1) * kEchoWidth;
            appendReceived(received.echo.substr(shown, end - shown));
            shown = end;
            showMessage(this, QStringLiteral("통신에러"));
        }
        appendReceived(received.echo.substr(shown));

        const std::string rxHead =
            rx_txt->text().left(static_cast<qsizetype>(kRxHeadLength)).toLatin1().toStdString();
        applyReply(received.rxCmd, rxHexFrom(rxHead), rxHead);
    }
    QCoreApplication::processEvents();
    MSC->setRThreshold(kReceiveThreshold);
}

void Form1::appendReceived(const std::string& echo) {
    // The box keeps every byte received since the last frame; it appends in time that
    // does not grow with what it already holds.
    rx_txt->append(QString::fromLatin1(echo));
}

void Form1::applyReply(quint8 rxCmd, const std::string& rxHex, const std::string& rxHead) {
    const ReplyAction action = dispatchReply(rxCmd, read_state, rxHex, rxHead);
    if (action.setsInputs) {
        CircleIndicator* leds[] = {led1, led2, led3};
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
    QThread::msleep(kPauseMs);
    read_state = action.newReadState;
    if (action.nextRequest)
        protocol(command::kReadParameter, *action.nextRequest, 0, 0, 0, 0);
}

QLineEdit* Form1::readBox(int index) const {
    const DriveParameter* parameter = parameterByIndex(index);
    return findChild<QLineEdit*>(QString::fromUtf8(parameter ? parameter->readBox : kPositionBox));
}

QLineEdit* Form1::writeBox(const DriveParameter& parameter) const {
    return findChild<QLineEdit*>(QString::fromUtf8(parameter.writeBox));
}

} // namespace dx400
