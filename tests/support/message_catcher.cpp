#include "message_catcher.h"

#include <QApplication>
#include <QMessageBox>

namespace dx400::test {

MessageCatcher::MessageCatcher() {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << box->text();
        titles << box->windowTitle();
        if (whileOpen)
            whileOpen();
        box->accept();
    });
    m_timer.start();
}

MessageCatcher::~MessageCatcher() {
    m_timer.stop();
}

} // namespace dx400::test
