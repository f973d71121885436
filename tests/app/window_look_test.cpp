// What the operator sees of the window, rendered as it is drawn.
#include "app/receive_echo_box.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QToolTip>

using namespace dx400;
using namespace dx400::test;

namespace {

QImage render(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The pixels where two pictures of the same size differ, and where they lie.
std::pair<int, QRect> difference(const QImage& a, const QImage& b) {
    std::pair<int, QRect> found;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                found = {found.first + 1, found.second | QRect(x, y, 1, 1)};
    return found;
}

// The share of a button's face, inside a 3-pixel edge, painted in the given colour.
double faceShare(QWidget* button, const QString& colour) {
    const QImage face = render(button).copy(button->rect().adjusted(3, 3, -3, -3));
    QImage plain(face.size(), face.format());
    plain.fill(QColor(colour));
    return 1 - double(difference(face, plain).first) / (face.width() * face.height());
}

// A caption's ink at the given size: where its control drawn with it differs from it without.
std::pair<int, QRect> captionInk(QWidget* control, QSize size) {
    const QRect geometry = control->geometry();
    const QVariant caption = control->property("text");
    control->resize(size);
    const QImage with = render(control);
    control->setProperty("text", QString());
    const QImage without = render(control);
    control->setProperty("text", caption);
    control->setGeometry(geometry);
    return difference(with, without);
}

} // namespace

// RX DATA paints only what is in view, so bytes cost the same however much it holds.
TEST(WindowLook, EchoBoxesShowTheirStartRxDataKeepsEveryByteAndColourFacesArePaintedFlat) {
    ConnectedWindow w;
    w.show();
    const QByteArray reply = QByteArray::fromHex("BB000664000001F4EE5F");
    w.click("Cmd_RPOS");
    EXPECT_EQ(w.box("txt_tx")->cursorPosition(), 0) << "TX DATA shows AA, not the end";
    for (int i = 0; i < 3; ++i)
        w.feed(reply);
    QLineEdit* box = w.box("rx_txt");
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(box)->textInterface();
    ASSERT_NE(text, nullptr);
    const QRect shown(box->mapToGlobal(QPoint(0, 0)), box->size());
    EXPECT_TRUE(shown.contains(text->characterRect(0))) << "RX DATA shows BB as bytes come";
    text->setCursorPosition(12);
    // Each character lies right of the one before; its middle gives it back.
    const QRect fourth = text->characterRect(4), fifth = text->characterRect(5);
    EXPECT_GT(fifth.left(), fourth.left());
    EXPECT_EQ(text->offsetAtPoint(QPoint(fifth.left() + 1, fifth.center().y())), 5);
    EXPECT_EQ(text->offsetAtPoint(shown.bottomRight() + QPoint(1, 1)), -1) << "outside";
    // Past QLineEdit's limit, and one change for each event that adds something.
    int changes = 0;
    QObject::connect(box, &QLineEdit::textChanged, [&] { ++changes; });
    for (int i = 0; i < 300; ++i)
        w.feed(reply.repeated(4));
    static_cast<ReceiveEchoBox*>(box)->append(QString());
    EXPECT_EQ(box->text(),
              QStringLiteral("BB  00  06  64  00  00  01  F4  EE  5F  ").repeated(1203));
    EXPECT_EQ(box->cursorPosition(), 12) << "as assistive technology put it: bytes do not move it";
    EXPECT_EQ(changes, 300);

    const QString system = QApplication::palette().button().color().name().toUpper();
    const std::pair<const char*, QString> faces[] = {
        {"통신연결버튼", "#8080FF"}, {"CMD3", "#FF0000"}, {"cmd_ROR", system}};
    // Focused, a mark shows. A raised edge in a dark outline, lighter than the face above and
    // left of it and darker below and right; pressed, the other way round and the face unchanged.
    auto* exit = control<QPushButton>(w.window, "CMD3");
    const QImage idle = render(exit);
    exit->setFocus();
    EXPECT_GT(difference(idle, render(exit)).first, 20) << "a visible focus mark";
    for (bool down : {false, true}) {
        exit->setDown(down);
        const QImage image = render(exit);
        const int x = image.width() / 2, y = image.height() / 2;
        const int right = image.width() - 2, bottom = image.height() - 2;
        QList<bool> lighter;
        for (const QPoint at : {QPoint(x, 1), QPoint(1, y), QPoint(x, bottom), QPoint(right, y)})
            lighter << (QColor(image.pixel(at)).lightness() > 127);
        EXPECT_EQ(lighter, QList<bool>({!down, !down, down, down}));
        EXPECT_EQ(image.pixel(0, y), exit->palette().color(QPalette::Shadow).rgb());
        EXPECT_GT(faceShare(exit, "#FF0000"), 0.6) << "the face keeps its colour";
    }
    exit->setDown(false);
    auto* input = control<QPushButton>(w.window, "CMD_IN"); // a plain face, as Qt's own
    QPushButton twin(&w.window);
    twin.resize(input->size());
    input->setText({});
    EXPECT_EQ(difference(render(input), render(&twin)).first, 0);
    w.click("cmd_ROR");
    EXPECT_GT(faceShare(control(w.window, "cmd_ROR"), "#FF0000"), 0.6) << "jog mark";
    w.click("mtr_STOP");
    for (bool enabled : {true, false}) {
        if (!enabled)
            w.port->loseLine(); // back to the not-connected state, buttons disabled
        for (const auto& [name, colour] : faces)
            EXPECT_GT(faceShare(control(w.window, name), colour), 0.6)
                << name << (enabled ? "" : ", disabled") << ": flat, in its colour";
        EXPECT_GT(faceShare(control(w.window, "CMD3"), enabled ? "#000000" : "#7F0000"), 0);
    }
}

TEST(WindowLook, EveryCaptionIsWhollyVisibleInEitherKoreanFontAndTheWindowIsCentredOnce) {
    for (const char* family : {"Baekmuk Gulim", "NanumGothic"}) {
        FakeWindow w;
        control<QPushButton>(w.window, "CMD_OUT")->setText(QStringLiteral("출력OFF")); // wider
        for (QWidget* control : w.window.findChildren<QWidget*>()) {
            const bool label = qobject_cast<QLabel*>(control);
            if (!label && !qobject_cast<QAbstractButton*>(control))
                continue;
            QFont font = control->font();
            font.setFamilies({QString::fromLatin1(family)});
            font.setStyleStrategy(QFont::NoAntialias); // ink does not depend on position
            control->setFont(font);
            ASSERT_EQ(QFontInfo(font).family(), family) << "the set-up installs this font";
            // At its own size a caption puts as much ink as Qt's own label or button with ample
            // room, and none on the far edges (a label starts top-left, a button's is centred).
            SCOPED_TRACE(family + (" " + control->objectName().toStdString()));
            const auto [ink, bounds] = captionInk(control, control->size());
            const std::unique_ptr<QWidget> plain(label ? static_cast<QWidget*>(new QLabel)
                                                       : new QPushButton);
            plain->setFont(font);
            plain->setProperty("text", control->property("text"));
            const int roomy = captionInk(plain.get(), QSize(600, 200)).first;
            EXPECT_NEAR(ink, roomy, roomy * 0.02);
            EXPECT_TRUE(control->rect().adjusted(!label, !label, -1, -1).contains(bounds));
        }
    }
    // The window is centred once by its frame and lists the ports that open, with their device.
    FakeWindow w;
    auto* ports = control<QListWidget>(w.window, "PORT");
    QStringList listed;
    for (const QListWidgetItem* item : ports->findItems("*", Qt::MatchWildcard))
        listed << item->text();
    EXPECT_EQ(listed.join(' '), "COM1 COM4 COM10");
    EXPECT_EQ(w.window.focusWidget(), control(w.window, "Combo_0"));
    const QPoint screenCentre = w.window.screen()->geometry().center();
    // Before it is shown the frame is unknown: the window is centred by its own size.
    EXPECT_LE((w.window.geometry().center() - screenCentre).manhattanLength(), 1);
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));
    const QRect frame = w.window.frameGeometry();
    ASSERT_NE(frame.size(), w.window.size()) << "the platform gives the window a frame";
    EXPECT_LE((frame.center() - screenCentre).manhattanLength(), 1);
    w.window.move(10, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.window.frameGeometry().topLeft(), QPoint(10, 20)) << "placed once only";

    auto* list = control<QComboBox>(w.window, "Combo_0");
    list->showPopup();
    for (QAbstractItemView* view : {control<QAbstractItemView>(w.window, "PORT"), list->view()}) {
        const QRect entry = view->visualRect(view->model()->index(view == list->view(), 0));
        QHelpEvent hover(QEvent::ToolTip, entry.center(), view->mapToGlobal(entry.center()));
        EXPECT_TRUE(QCoreApplication::sendEvent(view->viewport(), &hover) && hover.isAccepted());
        EXPECT_TRUE(
            QToolTip::text().startsWith(view == list->view() ? "/dev/fake2" : "/dev/fake1\n"))
            << QToolTip::text().toStdString();
    }
}

// An edit: a standard key, a context menu item, or else a click at x (twice: double; dragTo: drag).
struct EditStep {
    QKeySequence::StandardKey key = QKeySequence::UnknownKey;
    int x = 0;
    Qt::MouseButton button = Qt::LeftButton;
    Qt::KeyboardModifiers modifiers = {};
    bool twice = false;
    int dragTo = 0;
    QString menu = {}; // the item's caption, up to its shortcut
};

// Returns the items of the context menu, when the step opened it: "caption" or "caption off".
QStringList apply(QLineEdit* edit, const EditStep& step) {
    const QPoint at(step.x, edit->height() / 2), to(step.dragTo, at.y());
    QStringList items;
    if (!step.menu.isEmpty()) {
        QTimer::singleShot(0, edit, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* item : menu->actions()) {
                items << item->text() + (item->isEnabled() ? "" : " off");
                if (item->text().section(u'\t', 0, 0) == step.menu)
                    item->trigger();
            }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, edit->mapToGlobal(at));
        QApplication::sendEvent(edit, &event);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !items.isEmpty(); }));
    } else if (step.key != QKeySequence::UnknownKey) {
        QTest::keySequence(edit, step.key);
    } else if (step.twice) {
        QTest::mouseDClick(edit, step.button, step.modifiers, at);
    } else { // a click, or a drag
        QTest::mousePress(edit, step.button, step.modifiers, at);
        if (step.dragTo)
            QTest::mouseMove(edit, to);
        QTest::mouseRelease(edit, step.button, step.modifiers, step.dragTo ? to : at);
    }
    return items;
}

// A plain QLineEdit is the reference: the receive box edits, selects and paints as one.
TEST(WindowLook, TheReceiveBoxEditsSelectsAndPaintsAsAPlainLineEdit) {
    QApplication::setCursorFlashTime(0); // a steady cursor, in both pictures or in neither
    QGuiApplication::clipboard()->setText(QStringLiteral("CC  "));
    ReceiveEchoBox box;
    QLineEdit plain;
    const std::array<QLineEdit*, 2> edits = {&box, &plain};
    for (QLineEdit* edit : edits) {
        edit->setText(QStringLiteral("BB  00  06 64  0A"));
        edit->resize(300, 26);
        edit->show();
    }
    using enum QKeySequence::StandardKey;
    // clang-format off
    const EditStep steps[] = {{.x = 40}, {SelectNextWord}, {SelectPreviousChar},
        {SelectPreviousWord}, {MoveToNextWord}, {MoveToPreviousWord}, {MoveToNextChar},
        {MoveToPreviousWord}, {MoveToPreviousChar}, {.x = 70, .modifiers = Qt::ShiftModifier},
        {.x = 70}, {.x = 40, .modifiers = Qt::ShiftModifier}, {Delete}, {Undo}, {Redo}, {Delete},
        {DeleteEndOfWord}, {DeleteStartOfWord}, {SelectNextChar}, {.menu = "&Copy"},
        {SelectNextChar}, {.menu = "Cu&t"}, {.menu = "&Undo"}, {.menu = "&Redo"}, {.menu = "&Undo"},
        {Cut}, {Paste}, {SelectAll}, {.menu = "Select All"}, {Copy}, {.x = 5}, {.menu = "&Paste"},
        {SelectNextWord}, {.menu = "Delete"}, {.menu = "Select All"}, {SelectPreviousChar}, {Cut},
        {Paste}, {.x = 10, .twice = true}, {.x = 38, .twice = true}, {.x = 10, .dragTo = 60},
        {.x = 12}, {SelectPreviousWord}, {MoveToNextChar}, {DeleteStartOfWord}, {Delete},
        {MoveToNextChar}, {SelectPreviousWord}, {.x = 60}, {SelectPreviousWord},
        {DeleteStartOfWord}, {SelectNextWord}, {DeleteEndOfWord}, {Undo},
        {.x = 20, .button = Qt::MiddleButton, .modifiers = Qt::ShiftModifier}, {.x = 20}};
    // clang-format on
    std::array<QImage, 2> seen;
    std::array<QStringList, 2> menus;
    for (const EditStep& step : steps) {
        for (int k : {0, 1}) {
            edits[k]->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(edits[k]));
            menus[k] = apply(edits[k], step) << QGuiApplication::clipboard()->text();
            seen[k] = render(edits[k]);
        }
        EXPECT_EQ(menus[0], menus[1]);
        SCOPED_TRACE(plain.text().toStdString() + " at " + std::to_string(&step - steps));
        EXPECT_EQ(box.text(), plain.text());
        EXPECT_EQ(box.cursorPosition(), plain.cursorPosition());
        EXPECT_EQ(box.selectionStart(), plain.selectionStart());
        EXPECT_EQ(box.selectedText(), plain.selectedText());
        EXPECT_EQ(difference(seen[0], seen[1]).first, 0);
    }
    for (QLineEdit* edit : edits) {
        edit->clearFocus();
        edit->resize(300, 27); // the other parity: the text's top rounds the other way
    }
    EXPECT_EQ(difference(render(&box), render(&plain)).first, 0) << "without the focus, no cursor";
    // A text too long for the box: it shows whole characters up to the cursor at the end, as
    // a plain line edit shows that same tail when it holds only it.
    box.setText(plain.text().repeated(10));
    int first = 0;
    while (box.characterRect(first).isEmpty())
        ++first;
    plain.setText(box.text().mid(first));
    EXPECT_GT(first, 0);
    EXPECT_EQ(difference(render(&box), render(&plain)).first, 0);
    ReceiveEchoBox tail; // the same characters, unscrolled
    tail.resize(box.size());
    tail.setText(plain.text());
    EXPECT_EQ(box.characterRect(first + 5), tail.characterRect(5));
    EXPECT_TRUE(box.characterRect(int(box.text().size())).isEmpty()) << "none at the end";
    for (int i = 0; i < 3; ++i)
        box.backspace(); // room at the end takes in the characters before
    EXPECT_FALSE(box.characterRect(first - 1).isEmpty());
    plain.setText(box.text());
    for (const int at : {0, 3}) { // back at the start, then a little on: the view stays there
        box.setCursorPosition(at);
        plain.setCursorPosition(at);
        EXPECT_EQ(box.positionAt(40), plain.cursorPositionAt({40, 13})) << at;
        EXPECT_EQ(difference(render(&box), render(&plain)).first, 0) << at;
    }
    // Assistive technology edits and selects through the same calls in both.
    std::array<QStringList, 2> seenBy;
    for (int k : {0, 1}) {
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(edits[k]);
        QAccessibleTextInterface* text = access->textInterface();
        access->editableTextInterface()->replaceText(1, 3, QStringLiteral("XY"));
        access->editableTextInterface()->insertText(0, QStringLiteral("Z"));
        access->editableTextInterface()->deleteText(4, 5);
        seenBy[k] << QString::number(access->role()) << access->text(QAccessible::Value)
                  << text->text(1, 3) << QString::number(text->characterCount());
        const auto selection = [text](int index) {
            int from = -1, to = -1, at = -1;
            text->selection(index, &from, &to), text->attributes(index, &at, &at);
            return QString::asprintf("%d %d %d %d", from, to, text->selectionCount(), at);
        };
        text->addSelection(1, 4);
        seenBy[k] << edits[k]->selectedText() << selection(0) << selection(1);
        text->removeSelection(0);
        seenBy[k] << selection(0);
        text->scrollToSubstring(2, 3);
        seenBy[k] << edits[k]->text() << QString::number(edits[k]->cursorPosition());
        EXPECT_TRUE(access->state().editable && access->state().selectableText);
    }
    EXPECT_EQ(seenBy[0], seenBy[1]);
    // Read only, then empty with nothing to paste: the context menu offers what is left.
    for (const bool readOnly : {true, false}) {
        QGuiApplication::clipboard()->setText(readOnly ? "CC" : "");
        for (QLineEdit* edit : edits) {
            edit->setReadOnly(readOnly);
            edit->setText(readOnly ? "BB" : "");
        }
        EXPECT_EQ(apply(&box, {.menu = "-"}), apply(&plain, {.menu = "-"})) << readOnly;
    }
}
