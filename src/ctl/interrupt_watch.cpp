#include "ctl/interrupt_watch.h"

#include <QEventLoop>
#include <QTimer>

namespace dx400::ctl {

Failure interruptedBy(int signal, std::string (*say)(std::string_view signalName)) {
    return {static_cast<ExitCode>(static_cast<int>(ExitCode::Interrupted) + signal),
            say(EndingSignals::name(signal))};
}

void InterruptWatch::waitFor(std::chrono::milliseconds duration, const SerialPort* line) {
    if (m_signals.poll() != 0 || (line && !line->isOpen()))
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&m_signals, &EndingSignals::arrived, &loop, &QEventLoop::quit);
    if (line)
        QObject::connect(line, &SerialPort::lineLost, &loop, &QEventLoop::quit);
    timer.start(std::max(duration, std::chrono::milliseconds(0))); // none would never end
    loop.exec();
}

} // namespace dx400::ctl
