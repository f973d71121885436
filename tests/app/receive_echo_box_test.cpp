// The receive box paints only what is in view; what QLineEdit did by itself for the
// operator it must still do: append without a limit, select, copy, cut, edit, undo.
#include "app/receive_echo_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace dx400;

namespace {

// A box the size of rx_txt, shown and exposed so that it paints and takes clicks.
struct Shown {
    ReceiveEchoBox box;
    Shown() {
        box.resize(385, 41);
        box.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&box));
        box.setFocus();
    }
};

QString echo(int bytes) {
    return QStringLiteral("BB  00  06  64  00  00  01  F4  EE  5F  ").repeated(bytes / 10);
}

} // namespace

TEST(ReceiveEchoBox, AppendsWithoutALimitAndWithoutMovingTheCursor) {
    ReceiveEchoBox box;
    box.setText(QStringLiteral("kept  "));
    box.setCursorPosition(2);
    int changes = 0;
    QObject::connect(&box, &QLineEdit::textChanged, [&] { ++changes; });
    for (int i = 0; i < 300; ++i)
        box.append(echo(40));
    box.append(QString());
    EXPECT_EQ(box.text(), "kept  " + echo(12000)) << "past QLineEdit's limit of 32767";
    EXPECT_EQ(box.cursorPosition(), 2);
    EXPECT_EQ(changes, 300) << "one change per append that adds something";
}

TEST(ReceiveEchoBox, KeyboardSelectsCopiesCutsEditsAndUndoes) {
    Shown s;
    s.box.setText(QStringLiteral("BB  00  06"));
    QTest::keyClick(&s.box, Qt::Key_Home);
    QTest::keyClick(&s.box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&s.box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&s.box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "BB");
    QTest::keyClick(&s.box, Qt::Key_Right); // collapses to the selection's end
    QTest::keyClick(&s.box, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(s.box.selectedText(), "  ") << "to the start of the next word";
    QTest::keyClick(&s.box, Qt::Key_End);
    QTest::keyClick(&s.box, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(s.box.selectedText(), "06");

    QTest::keyClick(&s.box, Qt::Key_Home);
    QTest::keyClick(&s.box, Qt::Key_Delete);
    QTest::keyClick(&s.box, Qt::Key_End);
    QTest::keyClicks(&s.box, "1F");
    EXPECT_EQ(s.box.text(), "B  00  061F");
    s.box.setSelection(0, 3);
    QTest::keyClick(&s.box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(s.box.text(), "00  061F");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "B  ");
    QTest::keyClick(&s.box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(s.box.text(), "B  00  061F") << "undo, not the wipe QLineEdit does without display";
}

TEST(ReceiveEchoBox, TheMouseSelectsWhatIsShownEvenWhenTheTextIsLong) {
    Shown s;
    s.box.setText(echo(100'000)); // 400,000 characters; the box shows the end
    s.box.repaint();
    const int y = s.box.height() / 2;
    QTest::mousePress(&s.box, Qt::LeftButton, {}, QPoint(3, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(s.box.width() - 3, y),
                     s.box.mapToGlobal(QPointF(s.box.width() - 3, y)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&s.box, &move);
    QTest::mouseRelease(&s.box, Qt::LeftButton, {}, QPoint(s.box.width() - 3, y));
    EXPECT_GT(s.box.selectedText().size(), 20);
    EXPECT_GT(s.box.selectionStart(), s.box.text().size() - 200);
    // A double click takes the byte under the pointer.
    QTest::mouseDClick(&s.box, Qt::LeftButton, {}, QPoint(s.box.width() / 2, y));
    EXPECT_EQ(s.box.selectedText().size(), 2);
}
