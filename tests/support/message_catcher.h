#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace dx400::test {

// Closes every modal message box as soon as it opens and keeps its text, so that no test
// hangs on a box. An optional hook runs while a box is open, as an operator's click would.
struct MessageCatcher {
    QStringList texts;
    std::function<void()> whileOpen;
    QTimer timer;

    MessageCatcher() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            if (whileOpen)
                whileOpen();
            box->accept();
        });
        timer.start(5);
    }
};

} // namespace dx400::test
