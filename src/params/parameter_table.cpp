#include "params/parameter_table.h"

namespace dx400 {

const std::array<DriveParameter, 6>& driveParameters() {
    // The messages name the drive speed "구동속도" and the home speed "홈 이동 속도", while
    // the panel labels say "동작속도" and "홈이동속도".
    static const std::array<DriveParameter, 6> kParameters = {{
        {1, "동작전류", "동작전류", "Text_WDATA2", "Text_RDATA2", 1, 32,
         "에러 동작전류 값은 32보다 작아야 한다.", "20", 2},
        {2, "정지전류", "정지전류", "Text_WDATA3", "Text_RDATA3", 1, 32,
         "에러 정지전류 값은 32보다 작아야 한다.", "4", 2},
        {4, "동작속도", "구동속도", "Text_VMAX", "Text_RVMAX", 2, 2047,
         "에러 구동속도 값은 2047보다 작아야 한다.", "800", 4},
        {5, "가감속", "가감속", "Text_ACCEL", "Text_RACCEL", 2, 2047,
         "에러 가감속 값은 2047보다 작아야 한다.", "10", 4},
        {7, "홈이동속도", "홈 이동 속도", "Text_HSPD", "Text_RHSPD", 2, 2047,
         "에러 홈 이동 속도 값은 2047보다 작아야 한다.", "500", 4},
        {6, "분해능", "분해능", "Text_REL", "Text_REPOS", 1, 8,
         "에러 분해능 값은 8보다 작아야 한다.", "2", 1},
    }};
    return kParameters;
}

const DriveParameter* parameterByIndex(int index) {
    for (const DriveParameter& parameter : driveParameters()) {
        if (parameter.index == index)
            return &parameter;
    }
    return nullptr;
}

bool acceptsValue(const DriveParameter& parameter, std::int64_t value) {
    return value >= 0 && value < parameter.limit;
}

std::pair<std::uint8_t, std::uint8_t> splitValue(const DriveParameter& parameter, int value) {
    if (parameter.valueBytes == 1)
        return {0, static_cast<std::uint8_t>(value & 0xFF)};
    return {static_cast<std::uint8_t>((value / 256) & 0xFF),
            static_cast<std::uint8_t>(value % 256)};
}

std::string notANumberMessage(const DriveParameter& parameter) {
    return std::string("에러 ") + parameter.messageName + " 값이 숫자가 아니다.";
}

} // namespace dx400
