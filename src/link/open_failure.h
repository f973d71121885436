#pragma once

#include <QString>

namespace dx400 {

// Why a port could not be opened, in terms the operator can act on.
struct OpenFailure {
    enum class Cause {
        NoSuchDevice, // nothing at that device name
        AccessDenied, // the operator may not open the device
        Busy,         // another program holds the port
        RateRefused,  // the device does not run at the chosen speed
        Other,
    };
    Cause cause = Cause::Other;
    QString detail; // the system's own words, for Cause::Other
};

// The Korean message for a connect that failed at opening port `portName`
// (device `device`). `rate` is the chosen speed text.
QString describeOpenFailure(const OpenFailure& failure, const QString& portName,
                            const QString& device, const QString& rate);

// Messages for the connect failures found before any device is touched.
QString describeNoPortSelected();
QString describeNotARate(const QString& portName, const QString& rateText);

// The message when an open line is lost.
QString describeLineLost(const QString& portName);

} // namespace dx400
