// The controls of the window: names, captions, places, colours, fonts and limits.
#include "app_look.h"
#include "caption_text.h"
#include "choice_list.h"
#include "circle_indicator.h"
#include "command_button.h"
#include "form1.h"
#include "params/parameter_table.h"
#include "receive_echo_box.h"
#include "separator_line.h"
#include "twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <limits>

namespace dx400 {

namespace {

// Boxes without a character limit must not fall back to QLineEdit's silent 32767.
constexpr int kNoLimit = std::numeric_limits<int>::max();

const QColor kFaceBlue{0x80, 0x80, 0xFF};
const QColor kFaceYellow{0xFF, 0xFF, 0x00};
const QColor kFaceRed{0xFF, 0x00, 0x00};
const QColor kFaceCyan{0x00, 0xFF, 0xFF};
const QColor kChoiceBackground{0xC0, 0xFF, 0xFF};
const QColor kPortListBackground{0xFF, 0xFF, 0xC0};

template <typename W> W* place(W* widget, const char* name, QRect geometry, const QFont& font) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(geometry);
    widget->setFont(font);
    return widget;
}

// Captions wrap onto further lines where the label has the height, as "홈이동속도" does.
QLabel* label(QWidget* parent, const char* name, const char* caption, QRect geometry,
              const QFont& font) {
    auto* l = place(new CaptionLabel(QString::fromUtf8(caption), parent), name, geometry, font);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect geometry,
                    const QFont& font, const QColor& face = QColor()) {
    auto* b = place(new CommandButton(parent), name, geometry, font);
    b->setText(QString::fromUtf8(caption));
    if (face.isValid()) {
        b->setColourFace(true);
        setBackground(b, face);
    }
    return b;
}

QLineEdit* textBox(QWidget* parent, const char* name, const char* text, QRect geometry,
                   const QFont& font, int maxChars, bool centred) {
    auto* box = place(new QLineEdit(parent), name, geometry, font);
    box->setMaxLength(maxChars);
    box->setText(QString::fromUtf8(text));
    if (centred)
        box->setAlignment(Qt::AlignCenter);
    return box;
}

CircleIndicator* circle(QWidget* parent, const char* name, int left, int top) {
    auto* c = new CircleIndicator(parent);
    c->setObjectName(QString::fromUtf8(name));
    c->setGeometry(twipsRect(left, top, 375, 375));
    return c;
}

} // namespace

void Form1::buildControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("DX-400"));
    setFont(gulim(9.75));
    setFixedSize(px(8550), px(9330));
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    setPalette(windowPalette);
    setAutoFillBackground(true);

    buildSettingsFrame();
    buildParameterPanel();
    buildMotionSide();
    buildMonitor();

    const struct {
        const char* name;
        int x1, y1, x2, y2;
    } lines[] = {
        {"Line4", 0, 1680, 8400, 1680},    // settings above, work area below
        {"Line1", 4920, 1680, 4920, 7680}, // parameters left, motion and I/O right
        {"Line2", 4920, 5280, 8400, 5280}, // moves and I/O above, jog and stop below
        {"Line5", 0, 6840, 4920, 6840},    // parameter rows above, position below
        {"Line3", 0, 7680, 8400, 7680},    // work area above, monitor below
    };
    for (const auto& l : lines)
        new SeparatorLine(l.name, l.x1, l.y1, l.x2, l.y2, this);
}

void Form1::buildSettingsFrame() {
    Frame1 = place(new QGroupBox(QStringLiteral("설정"), this), "Frame1",
                   twipsRect(240, 0, 8055, 1575), gulim(11.25, true));
    const QFont small = gulim(9);
    Label1 = label(Frame1, "Label1", "Port", twipsRect(360, 360, 495, 255), small);
    Combo_0 = place(new QComboBox(Frame1), "Combo_0", twipsRect(360, 600, 975, 300), small);
    Label2 = label(Frame1, "Label2", "Speed", twipsRect(1680, 360, 975, 255), small);
    Combo_1 = place(new QComboBox(Frame1), "Combo_1", twipsRect(1680, 600, 1095, 300), small);
    for (QComboBox* combo : {Combo_0, Combo_1}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        countOnlyChosenEntries(combo);
        setBackground(combo, kChoiceBackground);
        setBackground(combo->lineEdit(), kChoiceBackground);
    }
    통신연결버튼 = button(Frame1, "통신연결버튼", "통신 연결", twipsRect(3360, 240, 2055, 615),
                          gulim(9.75, true), kFaceBlue);
    CMD3 =
        button(Frame1, "CMD3", "EXIT", twipsRect(3360, 960, 2055, 495), gulim(9, true), kFaceRed);
    Label6_0 = label(Frame1, "Label6_0", "ENABLE PORT", twipsRect(6000, 240, 1455, 255), small);
    PORT = place(new QListWidget(Frame1), "PORT", twipsRect(6000, 480, 1215, 960), small);
    setBackground(PORT, kPortListBackground);
    rxled = circle(Frame1, "rxled", 7560, 720);
}

void Form1::buildParameterPanel() {
    const QFont bold = gulim(9.75, true);
    cmd_Data =
        button(this, "cmd_Data", "WRITE ALL", twipsRect(1200, 1800, 1455, 615), bold, kFaceYellow);
    cmd_RData =
        button(this, "cmd_RData", "READ ALL", twipsRect(3000, 1800, 1455, 615), bold, kFaceBlue);

    // Rows top to bottom: label, write box, read box. The label sits a little apart from
    // the boxes on some rows.
    struct Row {
        const char* label;
        int labelTop, labelHeight, boxTop;
    };
    const Row rows[] = {{"Label12", 2640, 375, 2640}, {"Label13", 3240, 375, 3240},
                        {"Label16", 3960, 375, 3840}, {"Label15", 4560, 615, 4440},
                        {"Label17", 5040, 615, 5040}, {"Label18", 5760, 255, 5640}};
    const QFont boxFont = gulim(12);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const DriveParameter& p = driveParameters()[i];
        label(this, rows[i].label, p.label,
              twipsRect(120, rows[i].labelTop, 855, rows[i].labelHeight), bold);
        textBox(this, p.writeBox, p.initialText, twipsRect(1200, rows[i].boxTop, 1455, 495),
                boxFont, p.maxChars, true);
        textBox(this, p.readBox, "", twipsRect(3000, rows[i].boxTop, 1455, 495), boxFont, kNoLimit,
                true);
    }

    Cmd_RPOS =
        button(this, "Cmd_RPOS", "READ POSITION", twipsRect(120, 6960, 2535, 615), bold, kFaceBlue);
    Text_RPOS = textBox(this, kPositionBox, "0", twipsRect(3120, 6960, 1455, 615), gulim(9.75),
                        kNoLimit, false);
}

void Form1::buildMotionSide() {
    const QFont bold = gulim(9.75, true);
    const QFont plain = gulim(9.75);
    CMD_CUR =
        button(this, "CMD_CUR", "절대이동", twipsRect(5280, 1920, 1335, 855), bold, kFaceYellow);
    CMD_CUR_R =
        button(this, "CMD_CUR_R", "증분이동", twipsRect(6960, 1920, 1335, 855), bold, kFaceBlue);
    Label3 = label(this, "Label3", "이동펄스", twipsRect(5160, 3120, 855, 375), bold);
    Text_PULSE = textBox(this, "Text_PULSE", "0", twipsRect(6120, 3000, 2175, 495), bold, 7, true);
    CMD_IN = button(this, "CMD_IN", "입력", twipsRect(5160, 3840, 2175, 615), bold);
    CMD_OUT = button(this, "CMD_OUT", "출력ON", twipsRect(7680, 3840, 735, 1095), bold);
    led1 = circle(this, "led1", 5160, 4560);
    led2 = circle(this, "led2", 6000, 4560);
    led3 = circle(this, "led3", 6840, 4560);
    cmd_ROL = button(this, "cmd_ROL", "ROL", twipsRect(5400, 5400, 975, 735), plain,
                     systemButtonColour());
    cmd_ROR = button(this, "cmd_ROR", "ROR", twipsRect(6840, 5400, 975, 735), plain,
                     systemButtonColour());
    mtr_STOP = button(this, "mtr_STOP", "MOTOR    STOP", twipsRect(5400, 6240, 2535, 735), plain,
                      kFaceCyan);
    Label9 = label(this, "Label9", "JOG SPEED (0~2047)", twipsRect(5040, 7080, 1455, 495), bold);
    Txt_Jog = textBox(this, "Txt_Jog", "300", twipsRect(6600, 7080, 1335, 495), plain, 4, true);
}

void Form1::buildMonitor() {
    const QFont bold = gulim(9.75, true);
    Label14 = label(this, "Label14", "TX DATA", twipsRect(120, 7920, 1335, 375), bold);
    txt_tx = textBox(this, "txt_tx", "", twipsRect(1680, 7800, 5775, 615), gulim(12, true),
                     kNoLimit, false);
    Label7 = label(this, "Label7", "RX DATA", twipsRect(120, 8640, 1455, 375), bold);
    // The receive echo may grow to megabytes; this box appends and paints in time that
    // does not grow with it.
    rx_txt = place(new ReceiveEchoBox(this), "rx_txt", twipsRect(1680, 8520, 5775, 615),
                   gulim(12, true));
}

void Form1::setFocusOrder() {
    const char* order[] = {"Combo_0",    "Combo_1",   "통신연결버튼", "CMD3",        "PORT",
                           "cmd_ROR",    "mtr_STOP",  "rx_txt",       "cmd_ROL",     "Text_ACCEL",
                           "Text_VMAX",  "cmd_Data",  "Text_RPOS",    "txt_tx",      "Txt_Jog",
                           "Text_PULSE", "CMD_CUR",   "CMD_CUR_R",    "Text_WDATA2", "Text_WDATA3",
                           "cmd_RData",  "Text_HSPD", "Text_RDATA3",  "Text_RACCEL", "Text_RVMAX",
                           "Text_RHSPD", "Cmd_RPOS",  "Text_RDATA2",  "Text_REL",    "Text_REPOS",
                           "CMD_OUT",    "CMD_IN"};
    QWidget* previous = nullptr;
    for (const char* name : order) {
        auto* widget = findChild<QWidget*>(QString::fromUtf8(name));
        Q_ASSERT(widget);
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace dx400
