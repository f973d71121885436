#include "receive_echo_accessible.h"

#include <QAccessibleWidget>
#include <QLineEdit>

namespace dx400 {

namespace {

class ReceiveEchoAccessible : public QAccessibleWidget {
public:
    explicit ReceiveEchoAccessible(QWidget* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return static_cast<const QLineEdit*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !static_cast<const QLineEdit*>(widget())->isReadOnly();
        s.selectableText = true;
        return s;
    }
};

QAccessibleInterface* receiveEchoInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("dx400::ReceiveEchoBox") && object && object->isWidgetType())
        return new ReceiveEchoAccessible(static_cast<QWidget*>(object));
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
