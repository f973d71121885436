#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace dx400::ctl {

// What the command line asks for. Options may stand anywhere; a negative number as an
// argument follows "--" ("move inc -- -100"), since it would read as an option.
struct Options {
    QString port = QStringLiteral("COM4"); // as given: "COM4" or a device path
    int portNumber = 4;                    // n of "COMn"; 0 for a device path
    QString speedText = QStringLiteral("19200");
    qint32 speed = 19200;
    int timeoutMs = 500;
    int retries = 0;
    bool json = false;
    bool verbose = false;
    QString logFile; // --log, empty when not given
    QString command;
    QStringList arguments;            // after the command
    QString profile;                  // --profile, empty when not given
    bool writeFirst = false;          // verify --write
    std::optional<double> forSeconds; // jog --for, watch --for
    int intervalMs = 100;             // watch --interval
    bool intervalGiven = false;
    bool csv = false; // watch --csv

    QString error; // what is wrong with the command line; empty when nothing is
};

// Reads the program's arguments (the program name first). --help and --version print
// their text and end the program. The options are checked here, and a fault found is
// given in `error`; json and verbose are set even then, so that the fault is reported
// in the form asked for. The command's own arguments are the command's to check.
Options parseOptions(const QStringList& arguments);

} // namespace dx400::ctl
