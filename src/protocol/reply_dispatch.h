#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dx400 {

// read_state names the reply the window awaits: 0 none; 1, 2, 4, 5, 6, 7 that
// parameter; 8 the position; 9 the inputs. The read buttons set it, the dispatch
// advances it.
namespace read_state {
inline constexpr std::uint8_t kIdle = 0;
inline constexpr std::uint8_t kPosition = 8;
inline constexpr std::uint8_t kInputs = 9;
} // namespace read_state

// What one reply makes the window do. For a read-back the window fills the box of
// `fillIndex` with `valueText`, marks it, pauses, takes `newReadState` and then sends
// the request for `nextRequest` if there is one. For an input reply it paints the
// three indicators and takes `newReadState` without a pause.
struct ReplyAction {
    int fillIndex = 0; // parameter index of the box to fill (8: position), 0: none
    std::string valueText;
    std::optional<int> nextRequest;
    bool setsInputs = false;
    std::array<bool, 3> inputOn{}; // led1, led2, led3
    std::uint8_t newReadState = 0;
};

// The dispatch by reply command and read_state. rxText is the receive echo, of which
// only the first characters matter: the data digits and input bytes stand at fixed
// places of it.
ReplyAction dispatchReply(std::uint8_t rxCmd, std::uint8_t readState, std::string_view rxText);

// The data digits read as a signed 32-bit number (two's complement) in decimal.
// Fewer than eight digits read as the number they spell; no digits give "0". Reading
// stops at the first character that is not a hex digit (the operator can type into the
// receive box).
std::string valueText(std::string_view rxHex);

// The request that follows a read-back of this parameter index during READ ALL: the next
// parameter down the panel, none after the last.
std::optional<int> nextReadIndex(int index);

} // namespace dx400
