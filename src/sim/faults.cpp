#include "sim/faults.h"

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
    for (const FaultSetting& fault : kFaultSettings) {
        if (fault.name == name) {
            return &fault;
        }
    }
    return nullptr;
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

std::vector<std::uint8_t> noiseBytes(std::size_t count, std::minstd_rand& random,
                                     bool avoidReplyStart) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(count);
    while (bytes.size() < count) {
        const auto value = static_cast<std::uint8_t>(byte(random));
        if (!avoidReplyStart || value != kReplyStart) {
            bytes.push_back(value);
        }
    }
    return bytes;
}

std::vector<ReplyWrite> planReply(const Frame& reply, const Faults& faults,
                                  std::minstd_rand& random) {
    using std::chrono::milliseconds;
    if (faults.noReply) {
        return {};
    }
    Frame sent = reply;
    if (faults.badStart) {
        sent[0] = 0xBC;
    }
    if (faults.wrongCommand) {
        ++sent[kCommandIndex];
    }
    if (faults.badStatus) {
        sent[kStatusIndex] = 0x65;
    }
    if (faults.badEnd) {
        sent[kEndIndex] = 0xEF;
    }
    // The checksum covers the command, status and data bytes, so it is made again.
    sent[kChecksumIndex] =
        static_cast<std::uint8_t>(frameChecksum(sent) + (faults.badChecksum ? 1 : 0));

    std::vector<ReplyWrite> frame;
    if (faults.splitGapMs) {
        auto* const half = sent.begin() + kFrameSize / 2;
        frame.push_back({milliseconds(0), LogKind::Tx, {sent.begin(), half}});
        frame.push_back({milliseconds(*faults.splitGapMs), LogKind::Tx, {half, sent.end()}, true});
    } else {
        frame.push_back({milliseconds(0), LogKind::Tx, {sent.begin(), sent.end()}, true});
    }
    std::vector<ReplyWrite> writes;
    const auto noise = [&](int count) {
        if (count > 0) {
            writes.push_back({milliseconds(0), LogKind::Noise,
                              noiseBytes(static_cast<std::size_t>(count), random, true)});
        }
    };
    noise(faults.strayBefore);
    writes.insert(writes.end(), frame.begin(), frame.end());
    if (faults.duplicateGapMs) {
        frame.front().after = milliseconds(*faults.duplicateGapMs);
        writes.insert(writes.end(), frame.begin(), frame.end());
    }
    noise(faults.extraAfter);
    writes.front().after = milliseconds(faults.delayMs);
    return writes;
}

} // namespace dx400::sim
