// ports: COM1 to COM10 as the window probes them at start-up, with the device each stands
// for and whether it opens now.
#include "ctl/commands.h"
#include "ctl/ctl_texts.h"
#include "link/port_naming.h"

#include <QJsonArray>

namespace dx400::ctl {

namespace {

QString stateOf(const OpenResult& result) {
    using Outcome = OpenResult::Outcome;
    using namespace text::ctl;
    switch (result.outcome) {
    case Outcome::Opened:
        return QString::fromUtf8(kPortOpens);
    case Outcome::NoSuchDevice:
        return QString::fromUtf8(kPortMissing);
    case Outcome::Busy:
        return QString::fromUtf8(kPortBusy);
    case Outcome::AccessDenied:
        return QString::fromUtf8(kPortDenied);
    case Outcome::RateRefused:
        return QString::fromUtf8(kPortRateRefused);
    case Outcome::NotSerial:
        return QString::fromUtf8(kPortNotSerial);
    case Outcome::Other:
        break;
    }
    return result.detail;
}

} // namespace

Command preparePorts(const Options& options) {
    return [speed = options.speed](DriveSession&, Report& report) {
        QJsonArray ports;
        QStringList lines;
        for (int n = 1; n <= kProbedPorts; ++n) {
            QtSerialPort port; // closed again as it goes out of scope
            port.setCommPort(n);
            port.setRate(speed);
            const OpenResult result = port.open();
            const QString state = stateOf(result);
            const QString device = port.deviceName(n);
            ports.append(QJsonObject{{QStringLiteral("port"), portName(n)},
                                     {QStringLiteral("device"), device},
                                     {QStringLiteral("opens"), result.opened()},
                                     {QStringLiteral("state"), state}});
            lines << portName(n) + QLatin1Char(' ') + device + QLatin1Char(' ') + state;
        }
        report.add(QStringLiteral("ports"), ports, lines);
    };
}

} // namespace dx400::ctl
