#include "protocol/reply_dispatch.h"

#include "params/parameter_table.h"
#include "protocol/command_frame.h"
#include "protocol/reply_reception.h"

namespace dx400 {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// An input byte is off only when its two echo characters are exactly "00"; a piece
// that is missing or short counts as on.
bool inputOn(std::string_view rxText, std::size_t firstChar) {
    if (firstChar + 2 > rxText.size())
        return true;
    return rxText.substr(firstChar, 2) != "00";
}

bool isReadBackState(std::uint8_t state) {
    return state == read_state::kPosition || panelPosition(state);
}

} // namespace

std::string valueText(std::string_view rxHex) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < rxHex.size() && i < 8; ++i) {
        const int digit = hexDigit(rxHex[i]);
        if (digit < 0)
            break;
        bits = (bits << 4) | static_cast<std::uint32_t>(digit);
    }
    return std::to_string(static_cast<std::int32_t>(bits));
}

std::optional<int> nextReadIndex(int index) {
    const std::optional<std::size_t> position = panelPosition(index);
    if (!position || *position + 1 == driveParameters().size())
        return std::nullopt;
    return driveParameters()[*position + 1].index;
}

ReplyAction dispatchReply(std::uint8_t rxCmd, std::uint8_t readState, std::string_view rxText) {
    ReplyAction action;
    action.newReadState = readState;
    if (rxCmd == command::kInput && readState == read_state::kInputs) {
        action.setsInputs = true;
        action.inputOn = {inputOn(rxText, 28), inputOn(rxText, 24), inputOn(rxText, 20)};
        action.newReadState = read_state::kIdle;
    } else if (rxCmd == command::kReadParameter && isReadBackState(readState)) {
        action.fillIndex = readState;
        action.valueText = valueText(rxHexFrom(rxText));
        action.nextRequest = nextReadIndex(readState);
        action.newReadState = static_cast<std::uint8_t>(action.nextRequest.value_or(0));
    }
    return action;
}

} // namespace dx400
