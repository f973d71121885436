#pragma once

#include <QLineEdit>

class QTextLayout;

namespace dx400 {

// The receive echo box, rx_txt. It empties only when the next frame is sent, so a drive
// that keeps talking can fill it with megabytes of echo. A QLineEdit lays out its whole
// text on every change and paints from that layout, which would make every receive event
// cost time in proportion to everything received since the last frame.
//
// This box keeps QLineEdit as the model: text(), setText(), the cursor, the selection,
// typing, undo and the signals work as in any line edit, without a length limit. But the
// model's own display is switched off (echo mode NoEcho, which lays out nothing), and the
// box paints, hit-tests and scrolls over only the characters in view. What the display
// switch-off also takes away from QLineEdit (copy, cut, moving by character or word,
// mouse selection, undo and redo, the context menu) is supplied here.
class ReceiveEchoBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ReceiveEchoBox(QWidget* parent = nullptr);

    // Adds text at the end, as setText(text() + piece) would, in time that grows with
    // the piece and not with the text already held.
    void append(QStringView piece);

    // Puts the selected text on the clipboard.
    void copySelection() const;

    // Where a character is drawn, in the box's coordinates; empty when it is out of view.
    QRect characterRect(int position) const;
    // The position in the text nearest to x, in the box's coordinates.
    int positionAt(int x) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QRect textArea() const;
    // Scrolls so that the cursor is in view and no room is left empty at the end.
    void scrollToCursor(qreal width) const;
    // The first character from which the text up to `end` fits in `width`.
    int fittingStart(const QString& all, int end, qreal width) const;
    // Lays out the characters in view, from m_first on.
    void layoutVisible(const QString& all, qreal width, QTextLayout& layout) const;
    void moveCursorTo(int position, bool select);
    void replayHistory(bool forward); // undo, or redo when forward
    // As QLineEdit's delete keys: extends the selection, or makes one from the cursor, up to
    // `position`, and deletes what is then selected; nothing in a read-only box.
    void deleteTo(int position);

    mutable int m_first = 0; // first character in view, kept by scrollToCursor()
};

} // namespace dx400
