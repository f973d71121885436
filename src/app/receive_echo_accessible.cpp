#include "receive_echo_accessible.h"

#include "receive_echo_box.h"

#include <QAccessibleWidget>

namespace dx400 {

namespace {

// What assistive technology reads of the receive box: its text, caret, selection and
// where each character is drawn, as for any line edit. QLineEdit's own interface would
// announce the box as a password field with no text, since its display is switched off.
class ReceiveEchoAccessible : public QAccessibleWidget,
                              public QAccessibleTextInterface,
                              public QAccessibleEditableTextInterface {
public:
    explicit ReceiveEchoAccessible(ReceiveEchoBox* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return box()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !box()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    // Text.
    QString text(int startOffset, int endOffset) const override {
        return box()->text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

    // Caret and selection.
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (index == 0) { // both -1 with nothing selected, as QLineEdit's own interface says
            *startOffset = box()->selectionStart();
            *endOffset = box()->selectionEnd();
        }
    }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int index) override {
        if (index == 0)
            box()->deselect();
    }
    void setSelection(int index, int startOffset, int endOffset) override {
        if (index == 0)
            box()->setSelection(startOffset, endOffset - startOffset);
    }

    // Geometry, in screen coordinates.
    QRect characterRect(int offset) const override {
        const QRect local = box()->characterRect(offset);
        return local.isNull() ? QRect() : QRect(box()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = box()->mapFromGlobal(point);
        if (!box()->rect().contains(local))
            return -1;
        return box()->positionAt(local.x());
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        box()->setCursorPosition(endIndex);
        box()->setCursorPosition(startIndex);
    }

    // Editing.
    void deleteText(int startOffset, int endOffset) override {
        replaceText(startOffset, endOffset, QString());
    }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        if (box()->isReadOnly())
            return;
        box()->setSelection(startOffset, endOffset - startOffset);
        box()->insert(text);
    }

private:
    ReceiveEchoBox* box() const { return static_cast<ReceiveEchoBox*>(widget()); }
};

QAccessibleInterface* receiveEchoInterface(const QString& className, QObject* object) {
    if (auto* box = qobject_cast<ReceiveEchoBox*>(object);
        box && className == QLatin1String("dx400::ReceiveEchoBox"))
        return new ReceiveEchoAccessible(box);
    return nullptr;
}

} // namespace

void installReceiveEchoAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(receiveEchoInterface);
        return true;
    }();
    (void)installed;
}

} // namespace dx400
