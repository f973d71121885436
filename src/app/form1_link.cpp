// Port discovery, the port and speed choices, connecting and losing the line.
#include "app_look.h"
#include "form1.h"
#include "link/port_description.h"
#include "link/port_naming.h"
#include "message_box.h"

#include <QComboBox>
#include <QListWidget>
#include <array>

namespace dx400 {

namespace {

// The speed list shows these texts, and connecting looks the rate up by the selected
// position in the same table. The first entry is not a rate; the port refuses it.
constexpr std::array<const char*, 13> kRates = {
    "low_speed6000", "128000", "115200", "57600", "56000", "38400", "19200",
    "14400",         "9600",   "4800",   "2400",  "1200",  "600"};
constexpr int kDefaultPort = 3;  // "COM4"
constexpr int kDefaultSpeed = 6; // "19200"

QString rateText(int position) {
    if (position < 0 || position >= static_cast<int>(kRates.size()))
        return {};
    return QString::fromLatin1(kRates[static_cast<std::size_t>(position)]);
}

} // namespace

bool Form1::Port_Probe(SerialPort& port, int n) {
    if (!port.setCommPort(n))
        return false;
    const bool opened = !port.open();
    port.close();
    return opened;
}

void Form1::Rs232_Init() {
    for (int n = 1; n <= 9; ++n) {
        Combo_0->addItem(portName(n));
        Combo_0->setItemData(n - 1, describePort(MSC->deviceName(n)), Qt::ToolTipRole);
    }
    Combo_0->setCurrentIndex(kDefaultPort);
    for (const char* rate : kRates)
        Combo_1->addItem(QString::fromLatin1(rate));
    Combo_1->setCurrentIndex(kDefaultSpeed);
}

void Form1::통신연결버튼_Click() {
    const QString rate = rateText(Combo_1->currentIndex());
    const QString settings =
        rate + QStringLiteral(",N") + QStringLiteral(",8") + QStringLiteral(",1");
    const int port = Combo_0->currentIndex() + 1;

    if (!MSC->setCommPort(port))
        return failConnect(describeNoPortSelected());
    if (!MSC->setSettings(settings))
        return failConnect(describeNotARate(portName(port), rate));
    MSC->setInputMode(SerialPort::InputMode::Binary);
    MSC->setInputLen(1);
    MSC->setRThreshold(10);
    MSC->setDtrEnable(true);
    MSC->discardInput();
    if (!MSC->isOpen()) {
        if (const std::optional<OpenFailure> failure = MSC->open())
            return failConnect(
                describeOpenFailure(*failure, portName(port), MSC->deviceName(port), rate));
    }
    setConnected(true);
}

void Form1::failConnect(const QString& message) {
    MSC->close();
    showMessage(this, message);
}

void Form1::onLineLost() {
    if (!m_connected)
        return;
    read_state = 0;
    setConnected(false);
    showMessage(this, describeLineLost(portName(MSC->commPort())));
}

} // namespace dx400
