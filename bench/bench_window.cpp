#include "bench_window.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

namespace dx400::bench {

TempConfigHome::TempConfigHome(int used) {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary configuration folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    const QString ports = m_dir.path() + QStringLiteral("/dx400/ports/");
    QDir().mkpath(ports);
    for (int n = 1; n <= 10; ++n) {
        if (n != used && !QFile::link(QStringLiteral("/nonexistent/dx400-bench-port"),
                                      ports + QStringLiteral("COM%1").arg(n)))
            throw std::runtime_error("cannot point a port at nothing");
    }
}

MessageCloser::MessageCloser() {
    qApp->installEventFilter(this);
}

MessageCloser::~MessageCloser() {
    qApp->removeEventFilter(this);
}

bool MessageCloser::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            ++m_count;
            QMetaObject::invokeMethod(box, &QDialog::accept, Qt::QueuedConnection);
        }
    }
    return false;
}

namespace {
template <typename T> T* named(const QWidget& window, const char* name) {
    auto* widget = window.findChild<T*>(QString::fromUtf8(name));
    if (!widget)
        throw std::runtime_error(std::string("no control ") + name);
    return widget;
}
} // namespace

QPushButton* button(const QWidget& window, const char* name) {
    return named<QPushButton>(window, name);
}

QLineEdit* lineEdit(const QWidget& window, const char* name) {
    return named<QLineEdit>(window, name);
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done())
        return true;
    // The guard timer only makes sure that a wait for more events ends in time.
    QTimer guard;
    guard.start(10);
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}

} // namespace dx400::bench
