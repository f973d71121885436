#include "sim/faults.h"

#include <algorithm>
#include <charconv>
#include <type_traits>

namespace dx400::sim {

std::optional<int> parseCount(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

std::string FaultSetting::set(Faults& faults, std::string_view text) const {
    return std::visit(
        [&]<typename T>(T Faults::*member) -> std::string {
            T& target = faults.*member;
            if (text == "off") {
                target = T{};
                return {};
            }
            if constexpr (std::is_same_v<T, bool>) {
                if (text != "on") {
                    return std::string(name) + ": expected on or off";
                }
                target = true;
            } else {
                const auto count = parseCount(text);
                if (!count) {
                    return std::string(name) + ": expected a whole number from 0 up, or off";
                }
                target = *count;
            }
            return {};
        },
        field);
}

std::string FaultSetting::describe(const Faults& faults) const {
    return std::visit(
        [&]<typename T>(T Faults::*member) -> std::string {
            const T& value = faults.*member;
            if constexpr (std::is_same_v<T, bool>) {
                return value ? std::string(name) : "";
            } else if constexpr (std::is_same_v<T, int>) {
                return value > 0 ? std::string(name) + "=" + std::to_string(value) : "";
            } else {
                return value ? std::string(name) + "=" + std::to_string(*value) : "";
            }
        },
        field);
}

const FaultSetting* findFault(std::string_view name) {
    const auto found = std::find_if(kFaultSettings.begin(), kFaultSettings.end(),
                                    [&](const FaultSetting& fault) { return fault.name == name; });
    return found == kFaultSettings.end() ? nullptr : &*found;
}

std::string applyFaultSetting(Faults& faults, std::string_view name, std::string_view value) {
    const FaultSetting* fault = findFault(name);
    return fault == nullptr ? "unknown fault " + std::string(name) : fault->set(faults, value);
}

std::string describeFaults(const Faults& faults) {
    std::string text;
    for (const FaultSetting& fault : kFaultSettings) {
        if (const std::string item = fault.describe(faults); !item.empty()) {
            text += text.empty() ? item : " " + item;
        }
    }
    return text.empty() ? "none" : text;
}

} // namespace dx400::sim
