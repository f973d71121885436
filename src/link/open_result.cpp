#include "link/open_result.h"

#include "texts/operator_texts.h"

#include <QFileInfo>

namespace dx400 {

namespace {

// The group that owns the device, which the operator usually has to join (dialout).
std::string deviceGroup(const QString& device) {
    const QString group = QFileInfo(device).group();
    return group.isEmpty() ? std::string("dialout") : group.toStdString();
}

} // namespace

QString describeOpenFailure(const OpenResult& result, const QString& portName,
                            const QString& device, const QString& rateText) {
    const std::string port = portName.toStdString();
    const std::string path = device.toStdString();
    switch (result.outcome) {
    case OpenResult::Outcome::Opened:
        return {};
    case OpenResult::Outcome::NoSuchDevice:
        return QString::fromStdString(text::noSuchDevice(port, path));
    case OpenResult::Outcome::AccessDenied:
        return QString::fromStdString(text::accessDenied(port, path, deviceGroup(device)));
    case OpenResult::Outcome::Busy:
        return QString::fromStdString(text::portBusy(port, path));
    case OpenResult::Outcome::RateRefused:
        return QString::fromStdString(text::rateRefused(port, rateText.toStdString(), path));
    case OpenResult::Outcome::NotSerial:
        return QString::fromStdString(text::notSerial(port, path));
    case OpenResult::Outcome::Other:
        break;
    }
    return QString::fromStdString(text::cannotOpen(port, path, result.detail.toStdString()));
}

} // namespace dx400
