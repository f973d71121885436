// Port discovery, the port and speed choices, connecting and losing the line.
#include "form1.h"
#include "link/line_settings.h"
#include "link/port_naming.h"
#include "message_box.h"
#include "protocol/reply_reception.h"
#include "texts/operator_texts.h"
#include "ui_form1.h"

namespace dx400 {

namespace {
constexpr int kDefaultPort = 3; // "COM4"
} // namespace

bool Form1::Port_Probe(SerialPort& port, int n) {
    if (!port.setCommPort(n))
        return false;
    const bool opened = port.open().opened();
    port.close();
    return opened;
}

void Form1::Rs232_Init() {
    for (int n = 1; n <= kOfferedPorts; ++n)
        ui->Combo_0->addItem(portName(n), n);
    ui->Combo_0->setCurrentIndex(kDefaultPort);
    for (const LineRate& entry : kLineRates)
        ui->Combo_1->addItem(QString::fromLatin1(entry.text), entry.rate);
    ui->Combo_1->setCurrentIndex(static_cast<int>(kDefaultRatePosition));
}

void Form1::통신연결버튼_Click() {
    // Only an entry chosen from a list counts: typed text leaves a list with none.
    const int n = ui->Combo_0->currentIndex() + 1;
    const std::string port = portName(n).toStdString();
    if (!MSC->setCommPort(n))
        return failConnect(text::noPortSelected());
    if (ui->Combo_1->currentIndex() < 0)
        return failConnect(text::noRateSelected(port));
    if (!MSC->setRate(ui->Combo_1->currentData().toInt()))
        return failConnect(text::notARate(port, ui->Combo_1->currentText().toStdString()));
    MSC->setDtrEnable(true);
    // The port is closed here: the button is only there while it is.
    const OpenResult result = MSC->open();
    if (!result.opened())
        return failConnect(
            describeOpenFailure(result, portName(n), MSC->deviceName(n), ui->Combo_1->currentText())
                .toStdString());
    // Bytes that reached the port before it was opened are no reply to anything.
    MSC->discardInput();
    MSC->setRThreshold(kReplyLength);
    setConnected(true);
}

void Form1::failConnect(const std::string& message) {
    showMessage(this, message);
}

void Form1::onLineLost() {
    if (!m_connected)
        return;
    read_state = 0;
    setConnected(false);
    showMessage(this, text::lineLost(portName(MSC->commPort()).toStdString()));
}

} // namespace dx400
