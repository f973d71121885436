#pragma once

#include <QString>

namespace dx400 {

// What came of opening a port, in terms the operator can act on.
struct OpenResult {
    enum class Outcome {
        Opened,
        NoSuchDevice, // nothing at that device name
        AccessDenied, // the operator may not open the device
        Busy,         // another program holds the port
        RateRefused,  // the device does not run at the chosen speed
        NotSerial,    // a file or a device that is no serial port (/dev/null)
        Other,
    };
    Outcome outcome = Outcome::Opened;
    QString detail; // the system's own words; the message quotes them for Outcome::Other

    bool opened() const { return outcome == Outcome::Opened; }
};

// The operator's message for a port `portName` ("COM4") that did not open; `device` is the
// device it stands for and `rateText` the chosen speed.
QString describeOpenFailure(const OpenResult& result, const QString& portName,
                            const QString& device, const QString& rateText);

} // namespace dx400
