#pragma once

#include "link/serial_port.h"
#include "protocol/command_frame.h"
#include "protocol/reply_dispatch.h"

#include <QWidget>
#include <array>
#include <memory>

class QLineEdit;
class QPushButton;

namespace Ui {
class Form1;
}

namespace dx400 {

// The DX-400 window: its controls (described once, in form1.ui), the window-level state
// and one handler per button.
//
// One request end to end, READ POSITION: Cmd_RPOS_Click sets read_state to 8, paints
// Text_RPOS white and calls protocol(6, 8, 0, 0, 0, 0). protocol fills tx_buf, shows the
// frame in txt_tx, empties rx_txt and writes the 12 bytes to MSC, then returns. When the
// drive's 10 reply bytes are waiting, MSC raises its communication event: MSC_OnComm reads
// them, the core turns them into echo pieces and the command byte, the echo goes into
// rx_txt, and the core's dispatch takes the data digits from rx_txt's text; the window
// then writes the value into Text_RPOS, marks it light blue, pauses 100 ms and sets
// read_state back to 0.
class Form1 : public QWidget {
public:
    // Whether the last frame the window sends shows in TX DATA as any sent frame.
    enum class FrameShown { InTxData, Nowhere };

    explicit Form1(std::unique_ptr<SerialPort> msc, QWidget* parent = nullptr);
    ~Form1() override;

    // Handlers.
    void Form_Load();
    void 통신연결버튼_Click();
    void CMD3_Click();
    void cmd_Data_Click();
    void cmd_RData_Click();
    void Cmd_RPOS_Click();
    void CMD_CUR_Click();
    void CMD_CUR_R_Click();
    void cmd_ROL_Click();
    void cmd_ROR_Click();
    void mtr_STOP_Click();
    void CMD_IN_Click();
    void CMD_OUT_Click();
    void MSC_OnComm();

    // Procedures.
    bool protocol(int cmd, int opt1, int data3, int data2, int data1, int data0);
    static bool Port_Probe(SerialPort& port, int n);
    void Rs232_Init();

    // Every end of the program comes here: EXIT, the close control, a caught signal, the
    // window's destruction and exit(). While connected the stop frame goes on the line, so
    // that no jog outlives the only controls that could stop it, and then the port closes
    // once the frame is on the wire. exit() and the destructor leave the widgets alone.
    void stopMotorAndReleasePort(FrameShown shown);

    // Window-level state, readable for tests and tools.
    quint8 readState() const { return read_state; }
    quint8 outState() const { return out_state; }
    SerialPort& serialPort() { return *MSC; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void connectHandlers();
    void centreOnScreen();
    void setConnected(bool connected);
    void onLineLost();
    void failConnect(const std::string& message);
    void applyReply(const ReplyAction& action);
    QLineEdit* readBox(int index) const;
    void sendMove(int opt1);
    void sendJog(int cmd, QPushButton* clicked, QPushButton* other);
    bool readBoxNumber(QLineEdit* box, std::string_view refusal, qint32& value);

    std::unique_ptr<Ui::Form1> ui;
    // The parameter boxes in panel order, as the parameter table lists the parameters.
    std::array<QLineEdit*, 6> m_writeBoxes{};
    std::array<QLineEdit*, 6> m_readBoxes{};

    std::unique_ptr<SerialPort> MSC;
    TxBuffer tx_buf{};
    quint8 read_state = 0;
    quint8 out_state = 0;
    bool m_connected = false;
    bool m_centredFrame = false;
};

} // namespace dx400
