#include "run_window.h"

#include "app_look.h"
#include "form1.h"
#include "link/ending_signals.h"
#include "link/qt_serial_port.h"
#include "stop_at_exit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

namespace dx400 {

namespace {

// Where the sessions' traffic goes: a file of each session's own in the flight recorder's
// folder, the file that --log names, or nowhere with --no-log. Nothing of it shows in the
// window; it is there for when someone asks what went over the line.
std::unique_ptr<TrafficLog> trafficLogOf(const QCoreApplication& app) {
    QCommandLineParser parser;
    const QCommandLineOption file(QStringLiteral("log"),
                                  QStringLiteral("Append every session's traffic to FILE."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption none(QStringLiteral("no-log"),
                                  QStringLiteral("Keep no log of the traffic."));
    parser.setApplicationDescription(
        QStringLiteral(
            "Works a DX-400 stepper-motor drive over a serial line. Each session's "
            "traffic is kept in %1 (the oldest logs go once they take %2 MB) unless --log or "
            "--no-log says otherwise.")
            .arg(flightRecorderFolder())
            .arg(kFlightRecorderBound >> 20));
    parser.addOptions({file, none});
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
    if (parser.isSet(none))
        return nullptr;
    if (parser.isSet(file))
        return TrafficLog::toFile(parser.value(file));
    return TrafficLog::toFolder(flightRecorderFolder(), kFlightRecorderBound);
}

} // namespace

int runWindow(int& argc, char** argv, const std::function<void(Form1&)>& started) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(DX400_VERSION));
    applyApplicationLook(app);
    // Lets Wayland desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.dx400.dx400"));
    const std::unique_ptr<TrafficLog> log = trafficLogOf(app);
    auto port = std::make_unique<QtSerialPort>();
    port->setTrafficLog(log.get());
    Form1 window(std::move(port));

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
