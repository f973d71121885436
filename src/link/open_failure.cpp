#include "link/open_failure.h"

#include <QFileInfo>

namespace dx400 {

namespace {

QString head(const QString& portName) {
    return QStringLiteral("통신 연결 실패: %1").arg(portName);
}

// The group that owns the device, which the operator usually has to join (dialout).
QString deviceGroup(const QString& device) {
    const QString group = QFileInfo(device).group();
    return group.isEmpty() ? QStringLiteral("dialout") : group;
}

} // namespace

QString describeOpenFailure(const OpenFailure& failure, const QString& portName,
                            const QString& device, const QString& rate) {
    switch (failure.cause) {
    case OpenFailure::Cause::NoSuchDevice:
        return head(portName) + QStringLiteral("\n포트가 없습니다 (%1).").arg(device);
    case OpenFailure::Cause::AccessDenied:
        return head(portName) +
               QStringLiteral("\n포트를 열 권한이 없습니다 (%1).\n'%2' 그룹에 가입한 뒤 다시 "
                              "로그인하십시오: sudo usermod -aG %2 $USER")
                   .arg(device, deviceGroup(device));
    case OpenFailure::Cause::Busy:
        return head(portName) +
               QStringLiteral("\n다른 프로그램이 포트를 사용하고 있습니다 (%1).").arg(device);
    case OpenFailure::Cause::RateRefused:
        return head(portName) +
               QStringLiteral("\n장치가 통신 속도 %1을(를) 지원하지 않습니다 (%2).")
                   .arg(rate, device);
    case OpenFailure::Cause::Other:
        break;
    }
    return head(portName) +
           QStringLiteral("\n포트를 열 수 없습니다 (%1): %2").arg(device, failure.detail);
}

QString describeNoPortSelected() {
    return QStringLiteral("통신 연결 실패: 포트가 선택되지 않았습니다.");
}

QString describeNotARate(const QString& portName, const QString& rateText) {
    if (rateText.isEmpty())
        return head(portName) + QStringLiteral("\n통신 속도가 선택되지 않았습니다.");
    return head(portName) + QStringLiteral("\n'%1'은(는) 통신 속도가 아닙니다.").arg(rateText);
}

QString describeLineLost(const QString& portName) {
    return QStringLiteral("통신 연결이 끊어졌습니다: %1").arg(portName);
}

} // namespace dx400
