#include "texts/operator_texts.h"

namespace dx400::text {

namespace {

std::string failed(std::string_view port) {
    return "통신 연결 실패: " + std::string(port);
}

} // namespace

std::string notANumber(std::string_view name) {
    return "에러 " + std::string(name) + " 값이 숫자가 아니다.";
}

std::string noPortSelected() {
    return "통신 연결 실패: 포트가 선택되지 않았습니다.";
}

std::string noRateSelected(std::string_view port) {
    return failed(port) + "\n통신 속도가 선택되지 않았습니다.";
}

std::string notARate(std::string_view port, std::string_view rateText) {
    return failed(port) + "\n'" + std::string(rateText) + "'은(는) 통신 속도가 아닙니다.";
}

std::string noSuchDevice(std::string_view port, std::string_view device) {
    return failed(port) + "\n포트가 없습니다 (" + std::string(device) + ").";
}

std::string accessDenied(std::string_view port, std::string_view device, std::string_view group) {
    const std::string g(group);
    return failed(port) + "\n포트를 열 권한이 없습니다 (" + std::string(device) + ").\n'" + g +
           "' 그룹에 가입한 뒤 다시 로그인하십시오: sudo usermod -aG " + g + " $USER";
}

std::string portBusy(std::string_view port, std::string_view device) {
    return failed(port) + "\n다른 프로그램이 포트를 사용하고 있습니다 (" + std::string(device) +
           ").";
}

std::string rateRefused(std::string_view port, std::string_view rateText, std::string_view device) {
    return failed(port) + "\n장치가 통신 속도 " + std::string(rateText) +
           "을(를) 지원하지 않습니다 (" + std::string(device) + ").";
}

std::string notSerial(std::string_view port, std::string_view device) {
    return failed(port) + "\n시리얼 포트가 아닙니다 (" + std::string(device) + ").";
}

std::string cannotOpen(std::string_view port, std::string_view device, std::string_view reason) {
    return failed(port) + "\n포트를 열 수 없습니다 (" + std::string(device) +
           "): " + std::string(reason);
}

std::string lineLost(std::string_view port) {
    return "통신 연결이 끊어졌습니다: " + std::string(port);
}

} // namespace dx400::text
