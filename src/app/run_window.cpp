#include "run_window.h"

#include "app_look.h"
#include "form1.h"
#include "link/ending_signals.h"
#include "link/qt_serial_port.h"
#include "stop_at_exit.h"

#include <QApplication>
#include <QTimer>

namespace dx400 {

int runWindow(int& argc, char** argv, const std::function<void(Form1&)>& started) {
    QApplication app(argc, argv);
    applyApplicationLook(app);
    // Lets Wayland desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.dx400.dx400"));
    Form1 window(std::make_unique<QtSerialPort>());

    // A log-out, a closed terminal, Ctrl-C or a kill closes the window as its close control
    // does, which stops the motor and releases the port, and then ends the program at once
    // as the signal would have, so that a shell sees the same status. The slot may run
    // inside a message box's event loop: ending at once keeps the handler that opened the
    // box from going on after the stop frame. A signal that comes during WRITE ALL's
    // blocking pauses is handled once that handler returns, after its last frame.
    EndingSignals endingSignals;
    QObject::connect(&endingSignals, &EndingSignals::arrived, &window, [&window](int signal) {
        window.close();
        EndingSignals::endAs(signal);
    });
    const StopAtExit stopAtExit(window);

    window.show();
    if (started)
        QTimer::singleShot(0, &window, [&] { started(window); });
    return app.exec();
}

} // namespace dx400
