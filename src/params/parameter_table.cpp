#include "params/parameter_table.h"

#include "params/number_reader.h"
#include "texts/operator_texts.h"

namespace dx400 {

const std::array<DriveParameter, 6>& driveParameters() {
    using text::kParameters;
    static const std::array<DriveParameter, 6> kTable = {{
        {1, 32, kParameters[0].first, kParameters[0].second},
        {2, 32, kParameters[1].first, kParameters[1].second},
        {4, 2047, kParameters[2].first, kParameters[2].second},
        {5, 2047, kParameters[3].first, kParameters[3].second},
        {7, 2047, kParameters[4].first, kParameters[4].second},
        {6, 8, kParameters[5].first, kParameters[5].second},
    }};
    return kTable;
}

std::optional<std::size_t> panelPosition(int index) {
    const auto& table = driveParameters();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].index == index)
            return i;
    }
    return std::nullopt;
}

bool acceptsValue(const DriveParameter& parameter, std::int64_t value) {
    return value >= 0 && value < parameter.limit;
}

ParameterReading readParameter(const DriveParameter& parameter, std::string_view text) {
    const NumberReading reading = readNumber(text);
    if (reading.kind == NumberReading::Kind::NotANumber)
        return {0, text::notANumber(parameter.name)};
    if (!reading.ok() || !acceptsValue(parameter, reading.value))
        return {0, std::string(parameter.rangeMessage)};
    return {reading.value, {}};
}

std::pair<std::uint8_t, std::uint8_t> splitValue(int value) {
    return {static_cast<std::uint8_t>((value / 256) & 0xFF),
            static_cast<std::uint8_t>(value % 256)};
}

} // namespace dx400
