#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace dx400 {

// What the system knows about one serial device (from QSerialPortInfo).
struct SystemPortInfo {
    QString location; // device path with symbolic links resolved
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
};

// The tooltip text for a port that stands for `device`. The first line is the device
// itself. When `resolved` (the device with links resolved) differs, it follows; an empty
// `resolved` means nothing is there. Then what `info` knows: description, manufacturer,
// USB vendor and product ids (four hex digits each) and serial number.
QString formatPortDescription(const QString& device, const QString& resolved,
                              const SystemPortInfo* info);

// The entry of `ports` whose location is `resolved`, or nullptr.
const SystemPortInfo* findSystemPort(const QString& resolved,
                                     const std::vector<SystemPortInfo>& ports);

// The serial devices the system lists now, with resolved locations.
std::vector<SystemPortInfo> systemPorts();

// The tooltip text for the port that stands for `device` (see formatPortDescription),
// looked up among the system's serial devices.
QString describePort(const QString& device);

} // namespace dx400
