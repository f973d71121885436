#include "form1.h"

#include "app_look.h"
#include "choice_list.h"
#include "link/port_naming.h"
#include "port_tool_tips.h"
#include "ui_form1.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace dx400 {

Form1::Form1(std::unique_ptr<SerialPort> msc, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::Form1>()), MSC(std::move(msc)) {
    ui->setupUi(this);
    useWindowFonts(this);
    countOnlyChosenEntries(ui->Combo_0);
    countOnlyChosenEntries(ui->Combo_1);
    m_writeBoxes = {ui->Text_WDATA2, ui->Text_WDATA3, ui->Text_VMAX,
                    ui->Text_ACCEL,  ui->Text_HSPD,   ui->Text_REL};
    m_readBoxes = {ui->Text_RDATA2, ui->Text_RDATA3, ui->Text_RVMAX,
                   ui->Text_RACCEL, ui->Text_RHSPD,  ui->Text_REPOS};
    auto* toolTips = new PortToolTips(*MSC, this);
    toolTips->watch(ui->PORT);
    toolTips->watch(ui->Combo_0->view());
    connectHandlers();
    connect(MSC.get(), &SerialPort::comm, this, [this] { MSC_OnComm(); });
    connect(MSC.get(), &SerialPort::lineLost, this, [this] { onLineLost(); });
    Form_Load();
}

Form1::~Form1() {
    stopMotorAndReleasePort(FrameShown::Nowhere);
}

void Form1::connectHandlers() {
    const std::pair<QPushButton*, void (Form1::*)()> handlers[] = {
        {ui->통신연결버튼, &Form1::통신연결버튼_Click},
        {ui->CMD3, &Form1::CMD3_Click},
        {ui->cmd_Data, &Form1::cmd_Data_Click},
        {ui->cmd_RData, &Form1::cmd_RData_Click},
        {ui->Cmd_RPOS, &Form1::Cmd_RPOS_Click},
        {ui->CMD_CUR, &Form1::CMD_CUR_Click},
        {ui->CMD_CUR_R, &Form1::CMD_CUR_R_Click},
        {ui->cmd_ROL, &Form1::cmd_ROL_Click},
        {ui->cmd_ROR, &Form1::cmd_ROR_Click},
        {ui->mtr_STOP, &Form1::mtr_STOP_Click},
        {ui->CMD_IN, &Form1::CMD_IN_Click},
        {ui->CMD_OUT, &Form1::CMD_OUT_Click},
    };
    for (const auto& [button, handler] : handlers)
        connect(button, &QPushButton::clicked, this, handler);
}

void Form1::Form_Load() {
    // The window is placed at start-up only: centred now, and once more when its frame is
    // known (moveEvent).
    centreOnScreen();
    for (int n = 1; n <= kProbedPorts; ++n) {
        if (Port_Probe(*MSC, n))
            (new QListWidgetItem(portName(n), ui->PORT))->setData(Qt::UserRole, n);
    }
    Rs232_Init();
    setConnected(false);
    ui->Combo_0->setFocus();
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

void Form1::setConnected(bool connected) {
    m_connected = connected;
    ui->Combo_0->setEnabled(!connected);
    ui->Combo_1->setEnabled(!connected);
    ui->통신연결버튼->setEnabled(!connected);
    for (QPushButton* button :
         {ui->CMD3, ui->cmd_Data, ui->cmd_RData, ui->Cmd_RPOS, ui->CMD_CUR, ui->CMD_CUR_R,
          ui->cmd_ROL, ui->cmd_ROR, ui->mtr_STOP, ui->CMD_IN, ui->CMD_OUT})
        button->setEnabled(connected);
    ui->rxled->setFillColour(connected ? colour::kRed : colour::kWhite);
}

void Form1::CMD3_Click() {
    // Closing the window, the program's only one, sends the stop frame, closes the port
    // once the frame is on the wire and ends the program.
    close();
}

void Form1::closeEvent(QCloseEvent*) {
    // The close control ends the program in either state.
    stopMotorAndReleasePort(FrameShown::InTxData);
}

void Form1::stopMotorAndReleasePort(FrameShown shown) {
    // A line lost on this last frame is news to nobody: the program is ending, and a
    // message box here would hold up a signal's or exit()'s end on an operator's click.
    m_connected = false;
    if (MSC->isOpen()) {
        if (shown == FrameShown::InTxData) {
            protocol(command::kStop, 0, 0, 0, 0, 0);
        } else {
            TxBuffer frame{};
            fillTxBuffer(frame, {command::kStop});
            MSC->write(byteArrayOf(frame));
        }
    }
    MSC->close();
}

} // namespace dx400
