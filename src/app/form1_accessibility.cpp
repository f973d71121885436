// Accessible names and descriptions of the controls, for screen readers and UI
// automation. Names are the Korean label with the English meaning, so a control can be
// found by either; captions, sizes and places stay as they are.
#include "form1.h"

#include <QLabel>
#include <QWidget>
#include <utility>

namespace dx400 {

namespace {

struct ControlText {
    const char* object;
    const char* name;
    const char* description;
};

const ControlText kControlTexts[] = {
    {"Frame1", "설정 (Settings)",
     "포트와 통신 속도를 고르고 연결하는 영역. Choosing the port and line speed, and connecting."},
    {"Label1", "포트 (Port)", "포트 선택 상자의 이름. Caption of the port choice."},
    {"Combo_0", "포트 (Port)",
     "연결할 COM 포트. 풍선 도움말에 장치 정보가 나옵니다. The COM port to connect to; its "
     "tooltip names the device."},
    {"Label2", "통신 속도 (Speed)", "통신 속도 선택 상자의 이름. Caption of the speed choice."},
    {"Combo_1", "통신 속도 (Speed)", "연결할 통신 속도(bps). The line speed in bits per second."},
    {"통신연결버튼", "통신 연결 (Connect)",
     "고른 포트를 고른 속도로 엽니다. Opens the chosen port at the chosen speed."},
    {"CMD3", "종료 (EXIT)",
     "모터 정지 명령을 보내고 프로그램을 끝냅니다. Sends the stop command and ends the program."},
    {"Label6_0", "사용 가능 포트 (ENABLE PORT)",
     "사용 가능 포트 목록의 이름. Caption of the list of ports that opened."},
    {"PORT", "사용 가능 포트 목록 (Enabled ports)",
     "프로그램 시작 때 열린 COM 포트. The COM ports that could be opened at start-up."},
    {"rxled", "연결 표시등 (Connection lamp)",
     "빨강: 연결됨, 흰색: 연결 안 됨. Red while connected, white otherwise."},

    {"cmd_Data", "모두 쓰기 (WRITE ALL)",
     "여섯 파라미터의 범위를 확인하고 100 ms 간격으로 드라이브에 씁니다. Checks the six "
     "parameters' ranges and writes them to the drive 100 ms apart."},
    {"cmd_RData", "모두 읽기 (READ ALL)",
     "여섯 파라미터를 위에서 아래로 드라이브에서 읽어 옵니다. Reads the six parameters back "
     "from the drive, top to bottom."},
    {"Label12", "동작전류 (Running current)",
     "동작전류 줄의 이름. Caption of the running current row."},
    {"Text_WDATA2", "동작전류 쓰기 값 (Running current to write)",
     "0~31. 모두 쓰기로 드라이브에 씁니다. Written by WRITE ALL."},
    {"Text_RDATA2", "동작전류 읽은 값 (Running current read back)",
     "모두 읽기로 읽은 값. Filled in by READ ALL."},
    {"Label13", "정지전류 (Standstill current)",
     "정지전류 줄의 이름. Caption of the standstill current row."},
    {"Text_WDATA3", "정지전류 쓰기 값 (Standstill current to write)",
     "0~31. 모두 쓰기로 드라이브에 씁니다. Written by WRITE ALL."},
    {"Text_RDATA3", "정지전류 읽은 값 (Standstill current read back)",
     "모두 읽기로 읽은 값. Filled in by READ ALL."},
    {"Label16", "동작속도 (Drive speed)", "동작속도 줄의 이름. Caption of the drive speed row."},
    {"Text_VMAX", "동작속도 쓰기 값 (Drive speed to write)",
     "0~2046. 모두 쓰기로 드라이브에 씁니다. Written by WRITE ALL."},
    {"Text_RVMAX", "동작속도 읽은 값 (Drive speed read back)",
     "모두 읽기로 읽은 값. Filled in by READ ALL."},
    {"Label15", "가감속 (Acceleration)", "가감속 줄의 이름. Caption of the acceleration row."},
    {"Text_ACCEL", "가감속 쓰기 값 (Acceleration to write)",
     "0~2046. 모두 쓰기로 드라이브에 씁니다. Written by WRITE ALL."},
    {"Text_RACCEL", "가감속 읽은 값 (Acceleration read back)",
     "모두 읽기로 읽은 값. Filled in by READ ALL."},
    {"Label17", "홈이동속도 (Homing speed)",
     "홈이동속도 줄의 이름. Caption of the homing speed row."},
    {"Text_HSPD", "홈이동속도 쓰기 값 (Homing speed to write)",
     "0~2046. 모두 쓰기로 드라이브에 씁니다. Written by WRITE ALL."},
    {"Text_RHSPD", "홈이동속도 읽은 값 (Homing speed read back)",
     "모두 읽기로 읽은 값. Filled in by READ ALL."},
    {"Label18", "분해능 (Resolution)", "분해능 줄의 이름. Caption of the resolution row."},
    {"Text_REL", "분해능 쓰기 값 (Resolution to write)",
     "0~7. 모두 쓰기로 드라이브에 씁니다. Written by WRITE ALL."},
    {"Text_REPOS", "분해능 읽은 값 (Resolution read back)",
     "모두 읽기로 읽은 값. Filled in by READ ALL."},
    {"Cmd_RPOS", "위치 읽기 (READ POSITION)",
     "드라이브의 현재 위치를 읽어 옆 칸에 보입니다. Reads the drive's position into the box "
     "beside it."},
    {"Text_RPOS", "현재 위치 (Position)", "위치 읽기로 읽은 위치. Filled in by READ POSITION."},

    {"CMD_CUR", "절대이동 (Absolute move)",
     "이동펄스 칸의 위치로 이동합니다. Moves to the position given in the move pulses box."},
    {"CMD_CUR_R", "증분이동 (Incremental move)",
     "지금 위치에서 이동펄스 칸의 펄스 수만큼 이동합니다. Moves by the number of pulses given "
     "in the move pulses box."},
    {"Label3", "이동펄스 (Move pulses)", "이동펄스 칸의 이름. Caption of the move pulses box."},
    {"Text_PULSE", "이동펄스 (Move pulses)",
     "절대이동의 목표 위치, 증분이동의 이동량(펄스). Target of an absolute move, distance of "
     "an incremental move, in pulses."},
    {"CMD_IN", "입력 (Read inputs)",
     "세 디지털 입력을 읽어 아래 표시등에 보입니다. Reads the three digital inputs into the "
     "lamps below."},
    {"CMD_OUT", "출력 (Output)",
     "누를 때마다 디지털 출력을 켜고 끕니다. 글자는 다음 동작(출력ON/출력OFF)입니다. Switches "
     "the digital output on and off; the caption names the next action."},
    {"led1", "입력 1 표시등 (Input 1 lamp)", "빨강: 켜짐, 흰색: 꺼짐. Red when input 1 is on."},
    {"led2", "입력 2 표시등 (Input 2 lamp)", "빨강: 켜짐, 흰색: 꺼짐. Red when input 2 is on."},
    {"led3", "입력 3 표시등 (Input 3 lamp)", "빨강: 켜짐, 흰색: 꺼짐. Red when input 3 is on."},
    {"cmd_ROL", "왼쪽 회전 (ROL, jog left)",
     "조그 속도로 왼쪽으로 돌기 시작합니다. 모터 정지로 멈춥니다. Turns left at the jog "
     "speed until MOTOR STOP."},
    {"cmd_ROR", "오른쪽 회전 (ROR, jog right)",
     "조그 속도로 오른쪽으로 돌기 시작합니다. 모터 정지로 멈춥니다. Turns right at the jog "
     "speed until MOTOR STOP."},
    {"mtr_STOP", "모터 정지 (MOTOR STOP)", "모터를 멈춥니다. Stops the motor."},
    {"Label9", "조그 속도 (JOG SPEED)", "조그 속도 칸의 이름. Caption of the jog speed box."},
    {"Txt_Jog", "조그 속도 (Jog speed)", "0~2047. 왼쪽/오른쪽 회전의 속도. Speed of ROL and ROR."},

    {"Label14", "송신 데이터 (TX DATA)", "송신 데이터 칸의 이름. Caption of the sent data box."},
    {"txt_tx", "송신 데이터 (TX data)",
     "마지막으로 보낸 프레임, 16진수. The last frame sent, in hexadecimal."},
    {"Label7", "수신 데이터 (RX DATA)", "수신 데이터 칸의 이름. Caption of the received data box."},
    {"rx_txt", "수신 데이터 (RX data)",
     "마지막으로 받은 바이트, 16진수. The bytes last received, in hexadecimal."},
};

// Each caption names the control beside it, so screen readers announce the field with
// its label.
const std::pair<const char*, const char*> kLabelBuddies[] = {
    {"Label1", "Combo_0"},      {"Label2", "Combo_1"},      {"Label6_0", "PORT"},
    {"Label12", "Text_WDATA2"}, {"Label13", "Text_WDATA3"}, {"Label16", "Text_VMAX"},
    {"Label15", "Text_ACCEL"},  {"Label17", "Text_HSPD"},   {"Label18", "Text_REL"},
    {"Label3", "Text_PULSE"},   {"Label9", "Txt_Jog"},      {"Label14", "txt_tx"},
    {"Label7", "rx_txt"},
};

} // namespace

void Form1::describeControls() {
    for (const ControlText& text : kControlTexts) {
        auto* widget = findChild<QWidget*>(QString::fromUtf8(text.object));
        Q_ASSERT(widget);
        if (!widget)
            continue;
        widget->setAccessibleName(QString::fromUtf8(text.name));
        widget->setAccessibleDescription(QString::fromUtf8(text.description));
    }
    for (const auto& [labelName, buddyName] : kLabelBuddies) {
        auto* label = findChild<QLabel*>(QString::fromUtf8(labelName));
        auto* buddy = findChild<QWidget*>(QString::fromUtf8(buddyName));
        Q_ASSERT(label && buddy);
        if (label && buddy)
            label->setBuddy(buddy);
    }
}

} // namespace dx400
