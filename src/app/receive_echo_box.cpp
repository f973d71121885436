#include "receive_echo_box.h"

#include "receive_echo_accessible.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>
#include <algorithm>
#include <limits>

namespace dx400 {

namespace {

// QLineEdit's own margins around its text.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
// Wider than any view, so the characters in view stay on one line.
constexpr qreal kOneLine = 1e6;

int nextWordStart(const QString& all, int position) {
    int i = position;
    while (i < all.size() && !all.at(i).isSpace())
        ++i;
    while (i < all.size() && all.at(i).isSpace())
        ++i;
    return i;
}

int previousWordStart(const QString& all, int position) {
    int i = position;
    while (i > 0 && all.at(i - 1).isSpace())
        --i;
    while (i > 0 && !all.at(i - 1).isSpace())
        --i;
    return i;
}

} // namespace

ReceiveEchoBox::ReceiveEchoBox(QWidget* parent) : QLineEdit(parent) {
    installReceiveEchoAccessible();
    setEchoMode(QLineEdit::NoEcho);
    setMaxLength(std::numeric_limits<int>::max());
    setAcceptDrops(false);
    // With its display switched off, QLineEdit no longer repaints when the text changes (it
    // still does when the selection or the cursor moves).
    connect(this, &QLineEdit::textChanged, this, qOverload<>(&QWidget::update));
}

void ReceiveEchoBox::append(QStringView piece) {
    if (piece.isEmpty())
        return;
    QString all = text(); // shares the model's text
    const int cursor = cursorPosition();
    {
        const QSignalBlocker quiet(this);
        setText(QString()); // the model lets go, so `all` alone holds the characters
    }
    all.append(piece); // grows in place, amortised
    setText(all);
    // Bytes arriving do not move the view: it stays where the operator's cursor is, at the
    // first character unless the operator moved it.
    setCursorPosition(cursor);
}

QRect ReceiveEchoBox::characterRect(int position) const {
    const QRect area = textArea();
    scrollToCursor(area.width());
    const QString all = text();
    if (position < m_first || position >= all.size())
        return {};
    const QFontMetricsF metrics(font());
    const qreal left = metrics.horizontalAdvance(all.mid(m_first, position - m_first));
    if (left > area.width())
        return {};
    const qreal width = metrics.horizontalAdvance(all.at(position));
    return QRectF(area.left() + left, area.top(), width, area.height()).toAlignedRect();
}

void ReceiveEchoBox::copySelection() const {
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

QRect ReceiveEchoBox::textArea() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()
                               ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                               .marginsRemoved(textMargins());
    return contents.adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin,
                             -kVerticalMargin);
}

int ReceiveEchoBox::fittingStart(const QString& all, int end, qreal width) const {
    const QFontMetricsF metrics(font());
    qreal used = 0;
    int i = end;
    while (i > 0) {
        used += metrics.horizontalAdvance(all.at(i - 1));
        if (used > width)
            break;
        --i;
    }
    return i;
}

void ReceiveEchoBox::scrollToCursor(qreal width) const {
    const QString all = text();
    const int cursor = cursorPosition();
    m_first = std::clamp(m_first, 0, static_cast<int>(all.size()));
    m_first = std::min(m_first, cursor);
    m_first = std::max(m_first, fittingStart(all, cursor, width));
    m_first = std::min(m_first, fittingStart(all, static_cast<int>(all.size()), width));
}

void ReceiveEchoBox::layoutVisible(const QString& all, qreal width, QTextLayout& layout) const {
    const QFontMetricsF metrics(font());
    int end = m_first;
    for (qreal used = 0; end < all.size() && used <= width; ++end)
        used += metrics.horizontalAdvance(all.at(end));
    layout.setText(all.mid(m_first, end - m_first));
    layout.setFont(font());
    layout.setCacheEnabled(true);
    layout.beginLayout();
    layout.createLine().setLineWidth(kOneLine);
    layout.endLayout();
}

void ReceiveEchoBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    const QRect area = textArea();
    scrollToCursor(area.width());
    const QString all = text();
    QTextLayout layout;
    layoutVisible(all, area.width(), layout);
    const QFontMetrics metrics(font());
    const int top = area.top() + (area.height() - metrics.height() + 1) / 2; // whole pixels
    const QPointF origin(area.left(), top);

    QList<QTextLayout::FormatRange> selection;
    const int from = std::max(selectionStart() - m_first, 0);
    const int to = selectionEnd() - m_first; // a range past the laid-out text draws nothing
    if (hasSelectedText() && from < to) {
        QTextLayout::FormatRange range;
        range.start = from;
        range.length = to - from;
        range.format.setBackground(palette().brush(QPalette::Highlight));
        range.format.setForeground(palette().brush(QPalette::HighlightedText));
        selection.append(range);
    }
    painter.setClipRect(area);
    layout.draw(&painter, origin, selection);
    if (hasFocus() && !isReadOnly())
        layout.drawCursor(&painter, origin, cursorPosition() - m_first);
}

int ReceiveEchoBox::positionAt(int x) const {
    const QRect area = textArea();
    scrollToCursor(area.width());
    QTextLayout layout;
    layoutVisible(text(), area.width(), layout);
    return m_first + layout.lineAt(0).xToCursor(x - area.left());
}

void ReceiveEchoBox::moveCursorTo(int position, bool select) {
    position = std::clamp(position, 0, static_cast<int>(text().size()));
    if (!select) {
        setCursorPosition(position); // drops the selection
        return;
    }
    const int cursor = cursorPosition();
    const int anchor = !hasSelectedText()           ? cursor
                       : cursor == selectionStart() ? selectionEnd()
                                                    : selectionStart();
    setSelection(anchor, position - anchor);
}

void ReceiveEchoBox::deleteTo(int position) {
    if (isReadOnly())
        return;
    moveCursorTo(position, true);
    if (hasSelectedText())
        del();
}

void ReceiveEchoBox::replayHistory(bool forward) {
    // In NoEcho mode QLineEdit clears the text instead of undoing, as for a password. Its
    // history is kept all the same, so it is replayed with the display on for a moment;
    // that lays the text out once, on the operator's request only.
    setEchoMode(QLineEdit::Normal);
    forward ? redo() : undo();
    setEchoMode(QLineEdit::NoEcho);
}

void ReceiveEchoBox::keyPressEvent(QKeyEvent* event) {
    const QString all = text();
    const int cursor = cursorPosition();
    const bool selected = hasSelectedText();
    if (event == QKeySequence::Copy) {
        copySelection();
    } else if (event == QKeySequence::Undo || event == QKeySequence::Redo) {
        if (!isReadOnly())
            replayHistory(event == QKeySequence::Redo);
    } else if (event == QKeySequence::Cut) {
        if (!isReadOnly() && selected) {
            copySelection();
            del();
        }
    } else if (event == QKeySequence::MoveToNextChar) {
        moveCursorTo(selected ? selectionEnd() : cursor + 1, false);
    } else if (event == QKeySequence::MoveToPreviousChar) {
        moveCursorTo(selected ? selectionStart() : cursor - 1, false);
    } else if (event == QKeySequence::SelectNextChar) {
        moveCursorTo(cursor + 1, true);
    } else if (event == QKeySequence::SelectPreviousChar) {
        moveCursorTo(cursor - 1, true);
    } else if (event == QKeySequence::MoveToNextWord) {
        moveCursorTo(nextWordStart(all, cursor), false);
    } else if (event == QKeySequence::MoveToPreviousWord) {
        moveCursorTo(previousWordStart(all, cursor), false);
    } else if (event == QKeySequence::SelectNextWord) {
        moveCursorTo(nextWordStart(all, cursor), true);
    } else if (event == QKeySequence::SelectPreviousWord) {
        moveCursorTo(previousWordStart(all, cursor), true);
    } else if (event == QKeySequence::Delete) {
        deleteTo(selected ? cursor : cursor + 1);
    } else if (event == QKeySequence::DeleteEndOfWord) {
        deleteTo(nextWordStart(all, cursor));
    } else if (event == QKeySequence::DeleteStartOfWord) {
        deleteTo(previousWordStart(all, cursor));
    } else {
        QLineEdit::keyPressEvent(event); // typing, backspace, home, end, paste, undo, ...
        return;
    }
    event->accept();
}

void ReceiveEchoBox::mousePressEvent(QMouseEvent* event) {
    // As in QLineEdit, any button but the right one places the cursor: the middle button
    // pastes there when it is let go.
    if (event->button() != Qt::RightButton)
        moveCursorTo(positionAt(event->position().toPoint().x()),
                     event->modifiers() & Qt::ShiftModifier);
}

void ReceiveEchoBox::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        moveCursorTo(positionAt(event->position().toPoint().x()), true);
}

void ReceiveEchoBox::mouseReleaseEvent(QMouseEvent* event) {
    // The X11 primary selection, as QLineEdit keeps it: set by selecting, pasted by the
    // middle button.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection())
        return;
    if (event->button() == Qt::LeftButton && hasSelectedText()) {
        clipboard->setText(selectedText(), QClipboard::Selection);
    } else if (event->button() == Qt::MiddleButton && !isReadOnly()) {
        insert(clipboard->text(QClipboard::Selection));
    }
}

void ReceiveEchoBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QString all = text();
    int from = positionAt(event->position().toPoint().x());
    int to = from;
    while (from > 0 && !all.at(from - 1).isSpace())
        --from;
    while (to < all.size() && !all.at(to).isSpace())
        ++to;
    setSelection(from, to - from);
}

void ReceiveEchoBox::contextMenuEvent(QContextMenuEvent* event) {
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText();
    QMenu menu(this);
    const auto add = [&](const QString& caption, QKeySequence::StandardKey key, bool enabled,
                         auto action) {
        const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
        QAction* item = menu.addAction(shortcut.isEmpty() ? caption : caption + u'\t' + shortcut);
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, this, action);
    };
    // The items a plain line edit offers, enabled as it enables them. It says there is no
    // history while the display is off, so it is asked with the display on for a moment.
    if (editable) {
        setEchoMode(QLineEdit::Normal);
        const bool undoable = isUndoAvailable(), redoable = isRedoAvailable();
        setEchoMode(QLineEdit::NoEcho);
        add(QLineEdit::tr("&Undo"), QKeySequence::Undo, undoable, [this] { replayHistory(false); });
        add(QLineEdit::tr("&Redo"), QKeySequence::Redo, redoable, [this] { replayHistory(true); });
        menu.addSeparator();
        add(QLineEdit::tr("Cu&t"), QKeySequence::Cut, selected, [this] {
            copySelection();
            del();
        });
    }
    add(QLineEdit::tr("&Copy"), QKeySequence::Copy, selected, [this] { copySelection(); });
    if (editable) {
        add(QLineEdit::tr("&Paste"), QKeySequence::Paste,
            !QGuiApplication::clipboard()->text().isEmpty(), [this] { paste(); });
        add(QLineEdit::tr("Delete"), QKeySequence::UnknownKey, selected, [this] { del(); });
    }
    menu.addSeparator();
    add(QLineEdit::tr("Select All"), QKeySequence::SelectAll, selectionLength() < text().size(),
        [this] { selectAll(); });
    menu.exec(event->globalPos());
}

} // namespace dx400
