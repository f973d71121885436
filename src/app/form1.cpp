#include "form1.h"

#include "app_look.h"
#include "circle_indicator.h"
#include "link/port_description.h"
#include "link/port_naming.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace dx400 {

Form1::Form1(std::unique_ptr<SerialPort> msc, QWidget* parent)
    : QWidget(parent), MSC(std::move(msc)) {
    buildControls();
    setFocusOrder();
    describeControls();
    connectHandlers();
    connect(MSC.get(), &SerialPort::comm, this, [this] { MSC_OnComm(); });
    connect(MSC.get(), &SerialPort::lineLost, this, [this] { onLineLost(); });
    Form_Load();
}

Form1::~Form1() {
    MSC->close();
}

void Form1::connectHandlers() {
    const std::pair<QPushButton*, void (Form1::*)()> handlers[] = {
        {통신연결버튼, &Form1::통신연결버튼_Click},
        {CMD3, &Form1::CMD3_Click},
        {cmd_Data, &Form1::cmd_Data_Click},
        {cmd_RData, &Form1::cmd_RData_Click},
        {Cmd_RPOS, &Form1::Cmd_RPOS_Click},
        {CMD_CUR, &Form1::CMD_CUR_Click},
        {CMD_CUR_R, &Form1::CMD_CUR_R_Click},
        {cmd_ROL, &Form1::cmd_ROL_Click},
        {cmd_ROR, &Form1::cmd_ROR_Click},
        {mtr_STOP, &Form1::mtr_STOP_Click},
        {CMD_IN, &Form1::CMD_IN_Click},
        {CMD_OUT, &Form1::CMD_OUT_Click},
    };
    for (const auto& [button, handler] : handlers)
        connect(button, &QPushButton::clicked, this, handler);
}

void Form1::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QSize outer = frameGeometry().size();
        move(area.x() + (area.width() - outer.width()) / 2,
             area.y() + (area.height() - outer.height()) / 2);
    }
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Before the window is shown its frame is unknown, so start-up centres the client
    // area. Once the window manager has framed it, the frame is centred instead, once.
    if (!m_centredFrame && frameGeometry().size() != size()) {
        m_centredFrame = true;
        centreOnScreen();
    }
}

void Form1::Form_Load() {
    // Centre on the screen; the window is placed once and never moves by itself.
    centreOnScreen();
    for (int n = 1; n <= 10; ++n) {
        if (Port_Probe(*MSC, n)) {
            auto* entry = new QListWidgetItem(portName(n), PORT);
            entry->setToolTip(describePort(MSC->deviceName(n)));
        }
    }
    Rs232_Init();
    setConnected(false);
    Combo_0->setFocus();
}

QList<QPushButton*> Form1::commandButtons() const {
    return {CMD3,    cmd_Data, cmd_RData, Cmd_RPOS, CMD_CUR, CMD_CUR_R,
            cmd_ROL, cmd_ROR,  mtr_STOP,  CMD_IN,   CMD_OUT};
}

void Form1::setConnected(bool connected) {
    m_connected = connected;
    Combo_0->setEnabled(!connected);
    Combo_1->setEnabled(!connected);
    통신연결버튼->setEnabled(!connected);
    for (QPushButton* button : commandButtons())
        button->setEnabled(connected);
    rxled->setFillColour(connected ? colour::kRed : colour::kWhite);
}

void Form1::CMD3_Click() {
    // The stop frame has left for the line when protocol returns; ending the program
    // before that could lose the stop command.
    protocol(command::kStop, 0, 0, 0, 0, 0);
    MSC->close();
    close();
    QCoreApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event) {
    MSC->close();
    event->accept();
}

} // namespace dx400
