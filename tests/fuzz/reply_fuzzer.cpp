// Fuzzes the reply path as the window runs it: the bytes of a run arrive in receive
// events of any size; each event is echoed and tested (receiveBytes), its echo grows the
// receive text, and the decoder (rxHexFrom, valueText, dispatchReply) acts on the head
// of that text with whatever read_state the window is in. A dispatch that sends the next
// READ ALL request empties the receive text, as the window's protocol() does.
//
// Every result is checked against a reference worked out from the raw bytes, not from
// the echo text, so a decoder that reads the wrong characters fails here too.
//
// Input: byte 0 is the starting read_state; then events, each a length byte followed by
// that many bytes (the last event may be cut short by the end of the input).
#include "protocol/hex_echo.h"
#include "protocol/reply_dispatch.h"
#include "protocol/reply_reception.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

using namespace dx400;

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "reply fuzzer: %s\n", what);
        std::abort();
    }
}

// What the receive text shows: every byte received since the last frame.
struct RunModel {
    std::string text;                // the receive echo, as rx_txt holds it
    std::vector<std::uint8_t> bytes; // the bytes whose echo is in `text`

    void add(std::span<const std::uint8_t> event, const std::string& echo) {
        text += echo;
        bytes.insert(bytes.end(), event.begin(), event.end());
    }
    void clear() {
        text.clear();
        bytes.clear();
    }
};

void checkReception(std::span<const std::uint8_t> event, const ReceivedBytes& received) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    require(received.echo.size() == event.size() * kEchoWidth, "echo length");
    for (std::size_t i = 0; i < event.size(); ++i) {
        const char* piece = received.echo.data() + i * kEchoWidth;
        require(piece[0] == kDigits[event[i] >> 4] && piece[1] == kDigits[event[i] & 15] &&
                    piece[2] == ' ' && piece[3] == ' ',
                "echo of a byte");
    }
    std::vector<std::size_t> failed;
    const std::pair<std::size_t, std::uint8_t> tested[] = {{0, 0xBB}, {3, 0x64}, {8, 0xEE}};
    for (const auto& [index, expected] : tested) {
        if (index < event.size() && event[index] != expected)
            failed.push_back(index);
    }
    require(received.failedBytes == failed, "failed bytes");
    require(received.rxCmd == (event.size() >= 3 ? event[2] : 0), "reply command byte");
}

// The data bytes 5 to 8 of the run (1-based) that the head shows.
std::vector<std::uint8_t> dataBytes(const RunModel& run) {
    std::vector<std::uint8_t> data;
    for (std::size_t i = 4; i < 8 && i < run.bytes.size(); ++i)
        data.push_back(run.bytes[i]);
    return data;
}

std::string expectedValue(const std::vector<std::uint8_t>& data) {
    std::uint32_t bits = 0;
    for (std::uint8_t b : data)
        bits = (bits << 8) | b;
    return std::to_string(static_cast<std::int32_t>(bits));
}

void checkDispatch(const RunModel& run, std::uint8_t rxCmd, std::uint8_t readState,
                   const std::string& rxHex, const ReplyAction& action) {
    const std::vector<std::uint8_t> data = dataBytes(run);
    std::string digits;
    for (std::uint8_t b : data) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", b);
        digits += pair;
    }
    require(rxHex == digits, "data digits");

    const bool inputsReply = rxCmd == kReplyInputs && readState == read_state::kInputs;
    const bool readBack = rxCmd == kReplyReadParameter &&
                          (readState == 8 || (readState >= 1 && readState <= 7 && readState != 3));
    require(action.setsInputs == inputsReply, "input reply recognised");
    if (inputsReply) {
        // led1, led2, led3 show run bytes 8, 7 and 6: off only when the byte is there and 0.
        for (std::size_t led = 0; led < 3; ++led) {
            const std::size_t index = 7 - led;
            const bool on = index >= run.bytes.size() || run.bytes[index] != 0;
            require(action.inputOn[led] == on, "input indicator");
        }
        require(action.newReadState == 0 && action.fillIndex == 0, "input reply ends the read");
        return;
    }
    if (!readBack) {
        require(action.fillIndex == 0 && !action.nextRequest && action.newReadState == readState,
                "other replies change nothing");
        return;
    }
    require(action.fillIndex == readState, "box filled");
    require(action.valueText == expectedValue(data), "value text");
    require(valueText(rxHex) == action.valueText, "valueText agrees with the dispatch");
    const int order[] = {1, 2, 4, 5, 7, 6};
    const int* at = std::find(std::begin(order), std::end(order), readState);
    const bool hasNext = at != std::end(order) && at + 1 != std::end(order);
    require(action.nextRequest.has_value() == hasNext, "next request");
    if (hasNext)
        require(*action.nextRequest == at[1], "next request index");
    require(action.newReadState == (hasNext ? at[1] : 0), "read state after a read-back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::uint8_t readState = data[0];
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    RunModel run;
    std::size_t at = 0;
    while (at < rest.size()) {
        const std::size_t length = std::min<std::size_t>(rest[at], rest.size() - at - 1);
        const std::span<const std::uint8_t> event = rest.subspan(at + 1, length);
        at += 1 + length;

        const ReceivedBytes received = receiveBytes(event);
        checkReception(event, received);
        run.add(event, received.echo);

        const std::string head = run.text.substr(0, kRxHeadLength);
        const std::string rxHex = rxHexFrom(head);
        const ReplyAction action = dispatchReply(received.rxCmd, readState, rxHex, head);
        checkDispatch(run, received.rxCmd, readState, rxHex, action);

        readState = action.newReadState;
        if (action.nextRequest)
            run.clear();
    }
    // The decoder also meets text the operator typed into the receive box.
    const std::string typed(reinterpret_cast<const char*>(rest.data()), rest.size());
    const std::string hex = rxHexFrom(typed.substr(0, kRxHeadLength));
    require(hex.size() <= 8, "data digits of typed text");
    (void)valueText(hex);
    (void)dispatchReply(data[0], data[0], hex, typed);
    return 0;
}
