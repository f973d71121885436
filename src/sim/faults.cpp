#include "sim/faults.h"

#include <algorithm>
#include <charconv>

namespace dx400::sim {

std::optional<int> parseCount(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

const FaultName* findFault(std::string_view name) {
    const auto found = std::find_if(kFaultNames.begin(), kFaultNames.end(),
                                    [&](const FaultName& fault) { return fault.name == name; });
    return found == kFaultNames.end() ? nullptr : &*found;
}

std::string applyFaultSetting(Faults& faults, std::string_view name, std::string_view value) {
    const std::string prefix = std::string(name) + ": ";
    const auto setSwitch = [&](bool& flag) -> std::string {
        if (value != "on" && value != "off") {
            return prefix + "expected on or off";
        }
        flag = value == "on";
        return {};
    };
    const auto setCount = [&](int& target) -> std::string {
        const auto count = parseCount(value);
        if (!count) {
            return prefix + "expected a whole number from 0 up";
        }
        target = *count;
        return {};
    };
    const auto setOptional = [&](std::optional<int>& target) -> std::string {
        if (value == "off") {
            target.reset();
            return {};
        }
        int count = 0;
        std::string error = setCount(count);
        if (error.empty()) {
            target = count;
        }
        return error;
    };

    if (name == "no-reply") {
        return setSwitch(faults.noReply);
    }
    if (name == "delay") {
        return setCount(faults.delayMs);
    }
    if (name == "bad-start") {
        return setSwitch(faults.badStart);
    }
    if (name == "bad-status") {
        return setSwitch(faults.badStatus);
    }
    if (name == "bad-end") {
        return setSwitch(faults.badEnd);
    }
    if (name == "split") {
        return setOptional(faults.splitGapMs);
    }
    if (name == "stray") {
        return setCount(faults.strayBefore);
    }
    if (name == "extra") {
        return setCount(faults.extraAfter);
    }
    if (name == "flood") {
        return setCount(faults.floodBytesPerSecond);
    }
    if (name == "hangup-after") {
        return setOptional(faults.hangUpAfter);
    }
    return "unknown fault " + std::string(name);
}

std::string describeFaults(const Faults& faults) {
    std::string text;
    const auto add = [&](const std::string& item) {
        text += text.empty() ? item : " " + item;
    };
    const auto addNumber = [&](const char* name, int value) {
        if (value > 0) {
            add(std::string(name) + "=" + std::to_string(value));
        }
    };
    if (faults.noReply) {
        add("no-reply");
    }
    addNumber("delay", faults.delayMs);
    if (faults.badStart) {
        add("bad-start");
    }
    if (faults.badStatus) {
        add("bad-status");
    }
    if (faults.badEnd) {
        add("bad-end");
    }
    if (faults.splitGapMs) {
        add("split=" + std::to_string(*faults.splitGapMs));
    }
    addNumber("stray", faults.strayBefore);
    addNumber("extra", faults.extraAfter);
    addNumber("flood", faults.floodBytesPerSecond);
    if (faults.hangUpAfter) {
        add("hangup-after=" + std::to_string(*faults.hangUpAfter));
    }
    return text.empty() ? "none" : text;
}

} // namespace dx400::sim
