#include "app/receive_echo_box.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QWindow>
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

TEST(ReceiveEchoBox, AppendsLikeSetTextOfTheSumWithoutALimit) {
    ReceiveEchoBox box;
    QLineEdit& asLineEdit = box; // Form1 and the tests reach rx_txt as a QLineEdit
    asLineEdit.setText(QStringLiteral("kept  "));
    QString expected = QStringLiteral("kept  ");
    for (int i = 0; i < 300; ++i) {
        const QString piece = echo(10 * (i % 7 + 1));
        box.append(piece);
        expected += piece;
    }
    box.append(QString());
    EXPECT_EQ(asLineEdit.text(), expected);
    EXPECT_GT(expected.size(), 32767) << "past QLineEdit's default limit";
    EXPECT_GT(asLineEdit.maxLength(), 1 << 20);
    EXPECT_EQ(asLineEdit.cursorPosition(), 6) << "appending does not move the cursor";
}

TEST(ReceiveEchoBox, AppendingDoesNotCopyTheTextHeldEveryTime) {
    // Appending in place means the characters move only when the buffer grows, which it
    // does geometrically: a few times over a thousand appends, not at every append.
    ReceiveEchoBox box;
    box.append(echo(1000));
    const QChar* buffer = box.text().constData();
    int moves = 0;
    for (int i = 0; i < 1000; ++i) {
        box.append(echo(100));
        if (box.text().constData() != buffer)
            ++moves;
        buffer = box.text().constData();
    }
    EXPECT_EQ(box.text().size(), 4000 + 1000 * 400);
    EXPECT_LT(moves, 20);
}

TEST(ReceiveEchoBox, EmitsOneTextChangePerAppend) {
    ReceiveEchoBox box;
    QStringList seen;
    QObject::connect(&box, &QLineEdit::textChanged, [&](const QString& t) { seen << t; });
    box.append(QStringLiteral("BB  "));
    box.append(QStringLiteral("00  "));
    EXPECT_EQ(seen, QStringList({"BB  ", "BB  00  "}));
}

TEST(ReceiveEchoBox, KeyboardSelectsAndCopies) {
    Shown s;
    s.box.setText(QStringLiteral("BB  00  06"));
    QTest::keyClick(&s.box, Qt::Key_Home);
    QTest::keyClick(&s.box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&s.box, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(s.box.selectedText(), "BB");
    QTest::keyClick(&s.box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "BB");

    QTest::keyClick(&s.box, Qt::Key_Right); // collapses to the selection's end
    QTest::keyClick(&s.box, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(s.box.selectedText(), "  ") << "to the start of the next word";
    QTest::keyClick(&s.box, Qt::Key_End);
    QTest::keyClick(&s.box, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(s.box.selectedText(), "06");
}

TEST(ReceiveEchoBox, OperatorCanEditAsInAnyTextBox) {
    Shown s;
    s.box.setText(QStringLiteral("BB  00"));
    QTest::keyClick(&s.box, Qt::Key_Home);
    QTest::keyClick(&s.box, Qt::Key_Delete);
    EXPECT_EQ(s.box.text(), "B  00");
    QTest::keyClick(&s.box, Qt::Key_End);
    QTest::keyClicks(&s.box, "1F");
    EXPECT_EQ(s.box.text(), "B  001F");
    s.box.setSelection(0, 3);
    QTest::keyClick(&s.box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(s.box.text(), "001F");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "B  ");
    QTest::keyClick(&s.box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(s.box.text(), "B  001F") << "undo, not the wipe QLineEdit does without display";
}

TEST(ReceiveEchoBox, MouseSelectsWhatIsShownEvenWhenTheTextIsLong) {
    Shown s;
    s.box.setText(echo(100'000)); // 400,000 characters; the box shows the end
    s.box.repaint();
    const int y = s.box.height() / 2;
    // A drag across the whole box selects the characters in view: the end of the text.
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

TEST(ReceiveEchoBox, ScreenReadersGetAnEditableTextWithItsValue) {
    Shown s;
    s.box.setText(QStringLiteral("BB  00  "));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&s.box);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_EQ(accessible->text(QAccessible::Value), "BB  00  ");
    EXPECT_FALSE(accessible->state().passwordEdit);
    EXPECT_TRUE(accessible->state().editable);
}
