#pragma once

#include "link/serial_port.h"
#include "protocol/command_frame.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace dx400 {

class CircleIndicator;
class ReceiveEchoBox;
struct DriveParameter;

// The DX-400 window: every control, the window-level state and one handler per button.
//
// One request end to end, READ POSITION: Cmd_RPOS_Click sets read_state to 8, paints
// Text_RPOS white and calls protocol(6, 8, 0, 0, 0, 0). protocol fills tx_buf, shows the
// frame in txt_tx, empties rx_txt and writes the 12 bytes to MSC, then returns. When the
// drive's 10 reply bytes are waiting, MSC raises its communication event: MSC_OnComm reads
// and echoes them into rx_txt, tests the fixed bytes, takes the command byte and the data
// digits, and the reply dispatch writes the value into Text_RPOS, marks it light blue,
// pauses 100 ms and sets read_state back to 0.
//
// The handlers keep the names the drive's documentation gives them; the logic that needs
// no window (frames, echo, checks, dispatch, parameter limits, number reading) lives in
// the core library.
class Form1 : public QWidget {
public:
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

    // Window-level state, readable for tests and tools.
    quint8 readState() const { return read_state; }
    quint8 outState() const { return out_state; }
    const TxBuffer& txBuffer() const { return tx_buf; }
    SerialPort& serialPort() { return *MSC; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void buildControls();
    void buildSettingsFrame();
    void buildParameterPanel();
    void buildMotionSide();
    void buildMonitor();
    void setFocusOrder();
    void describeControls();
    void connectHandlers();

    void centreOnScreen();
    void setConnected(bool connected);
    void onLineLost();
    void failConnect(const QString& message);
    void appendReceived(const std::string& echo);
    void applyReply(quint8 rxCmd, const std::string& rxHex, const std::string& rxHead);
    void sendMove(int opt1);
    void sendJog(int cmd, QPushButton* clicked, QPushButton* other);
    bool readBoxNumber(QLineEdit* box, const QString& refusal, qint32& value);
    void writeParameter(const DriveParameter& parameter);

    QLineEdit* writeBox(const DriveParameter& parameter) const;
    QLineEdit* readBox(int index) const;
    QList<QPushButton*> commandButtons() const;

    std::unique_ptr<SerialPort> MSC;
    TxBuffer tx_buf{};
    quint8 read_state = 0;
    quint8 out_state = 0;
    bool m_connected = false;
    bool m_centredFrame = false;

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo_0 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo_1 = nullptr;
    QPushButton* 통신연결버튼 = nullptr;
    QPushButton* CMD3 = nullptr;
    QLabel* Label6_0 = nullptr;
    QListWidget* PORT = nullptr;
    CircleIndicator* rxled = nullptr;

    QPushButton* cmd_Data = nullptr;
    QPushButton* cmd_RData = nullptr;
    QPushButton* Cmd_RPOS = nullptr;
    QLineEdit* Text_RPOS = nullptr;

    QPushButton* CMD_CUR = nullptr;
    QPushButton* CMD_CUR_R = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text_PULSE = nullptr;
    QPushButton* CMD_IN = nullptr;
    QPushButton* CMD_OUT = nullptr;
    CircleIndicator* led1 = nullptr;
    CircleIndicator* led2 = nullptr;
    CircleIndicator* led3 = nullptr;
    QPushButton* cmd_ROL = nullptr;
    QPushButton* cmd_ROR = nullptr;
    QPushButton* mtr_STOP = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Txt_Jog = nullptr;

    QLabel* Label14 = nullptr;
    QLineEdit* txt_tx = nullptr;
    QLabel* Label7 = nullptr;
    ReceiveEchoBox* rx_txt = nullptr;
};

} // namespace dx400
