// What the operator sees of the window, rendered as it is drawn: colour faces, captions
// in both Korean fonts the set-up installs, the start of the echo boxes, the receive box
// as assistive technology reads it, and the window's place on the screen.
#include "window_fixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QHash>
#include <QLabel>
#include <QScreen>

using namespace dx400;
using namespace dx400::test;

namespace {

struct Shown : ConnectedWindow {
    Shown() {
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

QImage render(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The colour that covers most of a button's face inside its 3-pixel edge, and the share
// of the face it covers.
std::pair<QString, double> mainFaceColour(QWidget* button) {
    const QImage image = render(button);
    QHash<QRgb, int> counts;
    int total = 0;
    for (int y = 3; y < image.height() - 3; ++y) {
        for (int x = 3; x < image.width() - 3; ++x) {
            ++counts[image.pixel(x, y)];
            ++total;
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return {QColor(most.key()).name().toUpper(), double(most.value()) / total};
}

int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

QString caption(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    return qobject_cast<QAbstractButton*>(control)->text();
}

void setCaption(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else
        qobject_cast<QAbstractButton*>(control)->setText(text);
}

// The pixels the caption puts on the control at the given size: where it differs from
// the same control drawn without a caption.
struct Ink {
    int pixels = 0;
    QRect bounds;
};

Ink captionInk(QWidget* control, QSize size) {
    const QRect geometry = control->geometry();
    control->resize(size);
    const QString text = caption(control);
    const QImage with = render(control);
    setCaption(control, QString());
    const QImage without = render(control);
    setCaption(control, text);
    control->setGeometry(geometry);
    Ink ink;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (with.pixel(x, y) != without.pixel(x, y)) {
                ++ink.pixels;
                ink.bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

} // namespace

TEST(WindowLook, ColourFacesArePaintedFlatInTheirOwnColour) {
    const QString system = QApplication::palette().color(QPalette::Button).name().toUpper();
    const std::pair<const char*, QString> faces[] = {
        {"통신연결버튼", "#8080FF"}, {"CMD3", "#FF0000"},     {"cmd_Data", "#FFFF00"},
        {"cmd_RData", "#8080FF"},    {"Cmd_RPOS", "#8080FF"}, {"CMD_CUR", "#FFFF00"},
        {"CMD_CUR_R", "#8080FF"},    {"mtr_STOP", "#00FFFF"}, {"cmd_ROL", system},
        {"cmd_ROR", system},
    };
    Shown w;
    // Pressed and focused, the face keeps its colour while its edge and focus mark show.
    auto* exit = control<QPushButton>(w.window, "CMD3");
    w.window.setFocus();
    const QImage idle = render(exit);
    exit->setFocus();
    const QImage focused = render(exit);
    EXPECT_GT(differingPixels(idle, focused), 20) << "a visible focus mark";
    exit->setDown(true);
    EXPECT_EQ(mainFaceColour(exit).first, "#FF0000");
    const QImage pressed = render(exit);
    exit->setDown(false);
    EXPECT_GT(differingPixels(focused, pressed), 20) << "a pressed look";

    click(w.window, "cmd_ROR");
    EXPECT_EQ(mainFaceColour(control(w.window, "cmd_ROR")).first, "#FF0000") << "jog mark";
    click(w.window, "mtr_STOP");
    for (bool connected : {true, false}) {
        if (!connected)
            w.port->loseLine(); // back to the not-connected state, buttons disabled
        for (const auto& [name, colour] : faces) {
            SCOPED_TRACE(std::string(name) + (connected ? " enabled" : " disabled"));
            const auto [main, share] = mainFaceColour(control(w.window, name));
            EXPECT_EQ(main, colour);
            EXPECT_GT(share, 0.6) << "the face is flat";
        }
    }
}

TEST(WindowLook, EveryCaptionIsWhollyVisibleInEitherKoreanFont) {
    for (const char* family : {"Baekmuk Gulim", "NanumGothic"}) {
        FakeWindow w;
        QList<QWidget*> captioned;
        for (QWidget* widget : w.window.findChildren<QWidget*>()) {
            if ((qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget)) &&
                !widget->objectName().startsWith(QStringLiteral("qt_")))
                captioned << widget;
        }
        ASSERT_EQ(captioned.size(), 25); // 13 labels, 12 buttons
        w.window.show();
        for (QWidget* control : captioned) {
            SCOPED_TRACE(family + (" " + control->objectName().toStdString()));
            QFont font = control->font();
            font.setFamilies({QString::fromLatin1(family)});
            font.setStyleStrategy(QFont::NoAntialias); // ink counts do not depend on position
            control->setFont(font);
            ASSERT_EQ(QFontInfo(font).family(), family) << "the set-up installs this font";
            // Drawn at its own size, the caption puts as much ink on the control as drawn
            // where it has all the room it needs, and none on the outermost pixels.
            const Ink own = captionInk(control, control->size());
            const Ink roomy = captionInk(control, QSize(600, 200));
            EXPECT_GT(roomy.pixels, 0);
            EXPECT_NEAR(own.pixels, roomy.pixels, roomy.pixels * 0.02);
            // Labels start at their left and top edge; nothing may reach the far edges.
            const int near = qobject_cast<QLabel*>(control) ? 0 : 1;
            EXPECT_TRUE(control->rect().adjusted(near, near, -1, -1).contains(own.bounds))
                << "caption ink at " << own.bounds.x() << "," << own.bounds.y() << " "
                << own.bounds.width() << "x" << own.bounds.height();
        }
    }
}

TEST(WindowLook, EchoBoxesShowTheirFirstCharacter) {
    Shown w;
    click(w.window, "Cmd_RPOS");
    EXPECT_EQ(w.box("txt_tx")->cursorPosition(), 0) << "TX DATA shows AA, not the end";
    const QByteArray reply = QByteArray::fromHex("BB000664000001F4EE5F");
    for (int i = 0; i < 3; ++i)
        w.feed(reply);
    QAccessibleInterface* rx = QAccessible::queryAccessibleInterface(w.box("rx_txt"));
    QAccessibleTextInterface* text = rx->textInterface();
    ASSERT_NE(text, nullptr);
    const QRect first = text->characterRect(0);
    const QRect box(w.box("rx_txt")->mapToGlobal(QPoint(0, 0)), w.box("rx_txt")->size());
    EXPECT_TRUE(box.contains(first)) << "RX DATA shows BB while bytes are appended";
    EXPECT_EQ(text->text(0, 2), "BB");
}

TEST(WindowLook, ReceiveBoxIsReadThroughTheSameTextInterfaceAsTheOtherBoxes) {
    Shown w;
    w.feed(QByteArray::fromHex("BB000664000001F4EE5F"));
    QLineEdit* box = w.box("rx_txt");
    QAccessibleInterface* rx = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(rx, nullptr);
    EXPECT_EQ(rx->role(), QAccessible::EditableText);
    EXPECT_FALSE(rx->state().passwordEdit);
    EXPECT_EQ(rx->text(QAccessible::Value), box->text());
    QAccessibleTextInterface* text = rx->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 40);
    EXPECT_EQ(text->text(4, 6), "00");

    text->setSelection(0, 8, 10);
    EXPECT_EQ(box->selectedText(), "06");
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(std::pair(start, end), std::pair(8, 10));
    text->removeSelection(0);
    EXPECT_EQ(text->selectionCount(), 0);
    text->setCursorPosition(12);
    EXPECT_EQ(box->cursorPosition(), 12);

    // Character extents: each character lies right of the one before, and the point in the
    // middle of a character's extent gives that character back.
    const QRect fourth = text->characterRect(4);
    const QRect fifth = text->characterRect(5);
    ASSERT_FALSE(fourth.isEmpty());
    EXPECT_GT(fifth.left(), fourth.left());
    EXPECT_EQ(text->offsetAtPoint(QPoint(fifth.left() + 1, fifth.center().y())), 5);
}

TEST(WindowLook, TheWindowFrameIsCentredOnTheScreen) {
    FakeWindow w;
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    const QRect frame = w.window.frameGeometry();
    ASSERT_NE(frame.size(), w.window.size()) << "the platform gives the window a frame";
    const QRect screen = w.window.screen()->geometry();
    EXPECT_NEAR(frame.center().x(), screen.center().x(), 1);
    EXPECT_NEAR(frame.center().y(), screen.center().y(), 1);
}
