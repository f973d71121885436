// dx400ctl: the DX-400 drive from scripts, over the window's protocol and serial link.
#include "ctl/commands.h"

#include <QCoreApplication>
#include <cstdio>

using namespace dx400::ctl;

namespace {

bool g_verbose = false;

// Standard error is the script's: it carries the run's own messages, and Qt's only with
// --verbose, among the trace of the line.
void qtMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (g_verbose)
        std::fprintf(stderr, "dx400ctl: Qt: %s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(qtMessage);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(DX400_VERSION));
    const Options options = parseOptions(QCoreApplication::arguments());
    g_verbose = options.verbose;
    Report report(options);
    std::optional<Failure> failure;
    // Every argument and value is checked before the port opens; the first failure ends
    // the run with its exit code.
    try {
        if (!options.error.isEmpty())
            throw Failure(ExitCode::Usage, options.error.toStdString());
        const Command command = prepareCommand(options);
        DriveSession session(options);
        command(session, report);
    } catch (const Failure& caught) {
        failure = caught;
    }
    return report.finish(failure);
}
