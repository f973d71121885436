#include "link/port_description.h"

#include "texts/operator_texts.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

namespace dx400 {

namespace {

// The device with every symbolic link resolved, or empty when nothing is there. On
// Windows a port is a name ("COM4"), not a file, and stays as it is.
QString resolveDevice(const QString& device) {
#ifdef Q_OS_WIN
    return device;
#else
    return QFileInfo(device).canonicalFilePath();
#endif
}

QString hex4(quint16 value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

QString formatPortDescription(const QString& device, const QString& resolved,
                              const SystemPortInfo* info) {
    QStringList lines{device};
    if (resolved.isEmpty())
        lines << QString::fromUtf8(text::kNoDevice);
    else if (resolved != device)
        lines << QStringLiteral("→ %1").arg(resolved);
    if (info) {
        if (!info->description.isEmpty())
            lines << info->description;
        if (!info->manufacturer.isEmpty())
            lines << QString::fromUtf8(text::kManufacturer) + info->manufacturer;
        if (info->vendorId || info->productId) {
            const QString vendor = info->vendorId ? hex4(*info->vendorId) : QStringLiteral("????");
            const QString product =
                info->productId ? hex4(*info->productId) : QStringLiteral("????");
            lines << QStringLiteral("USB %1:%2").arg(vendor, product);
        }
        if (!info->serialNumber.isEmpty())
            lines << QStringLiteral("S/N %1").arg(info->serialNumber);
    }
    return lines.join(QLatin1Char('\n'));
}

const SystemPortInfo* findSystemPort(const QString& resolved,
                                     const std::vector<SystemPortInfo>& ports) {
    if (resolved.isEmpty())
        return nullptr;
    for (const SystemPortInfo& port : ports) {
        if (port.location == resolved)
            return &port;
    }
    return nullptr;
}

std::vector<SystemPortInfo> systemPorts() {
    std::vector<SystemPortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SystemPortInfo port;
#ifdef Q_OS_WIN
        port.location = info.portName();
#else
        port.location = resolveDevice(info.systemLocation());
        if (port.location.isEmpty())
            port.location = info.systemLocation();
#endif
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports.push_back(std::move(port));
    }
    return ports;
}

QString describePort(const QString& device) {
    const QString resolved = resolveDevice(device);
    if (resolved.isEmpty())
        return formatPortDescription(device, resolved, nullptr);
    const std::vector<SystemPortInfo> ports = systemPorts();
    return formatPortDescription(device, resolved, findSystemPort(resolved, ports));
}

} // namespace dx400
