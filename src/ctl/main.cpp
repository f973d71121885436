// dx400ctl: the DX-400 drive from scripts, over the window's protocol and serial link.
#include "ctl/commands.h"

#include <QCoreApplication>

using namespace dx400::ctl;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(DX400_VERSION));
    const Options options = parseOptions(QCoreApplication::arguments());
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
