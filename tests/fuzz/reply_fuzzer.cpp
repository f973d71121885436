// Fuzzes the reply path as the window runs it: receive events of any size are echoed, the echo
// grows the receive text (emptied when READ ALL sends its next request) and the dispatch acts on it
// in any read_state; every result is checked against the raw bytes. Input: byte 0 is the starting
// read_state; then events, each a length byte and that many bytes.
#include "protocol/hex_echo.h"
#include "protocol/reply_dispatch.h"
#include "protocol/reply_reception.h"
#include "require.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

using namespace dx400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::uint8_t readState = data[0];
    std::string text;              // the receive box
    std::vector<std::uint8_t> run; // the bytes whose echo the box shows
    for (std::size_t at = 1; at < size;) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        const std::span<const std::uint8_t> event(data + at + 1, length);
        at += 1 + length;

        const ReceivedBytes received = receiveBytes(event);
        std::string echo;
        for (const std::string& piece : received.echoPieces)
            echo += piece;
        require(echo == echoText(event), "echo");
        text += echo;
        run.insert(run.end(), event.begin(), event.end());
        if (event.empty())
            continue;

        const ReplyAction action = dispatchReply(received.rxCmd, readState, text);
        if (action.fillIndex != 0) {
            std::uint32_t bits = 0;
            for (std::size_t i = 4; i < 8 && i < run.size(); ++i)
                bits = bits << 8 | run[i];
            require(action.valueText == std::to_string(std::int32_t(bits)), "value");
        }
        if (action.setsInputs) {
            for (std::size_t led = 0; led < 3; ++led) {
                const std::size_t byte = 7 - led; // led1 is byte 8, led3 byte 6
                require(action.inputOn[led] == (byte >= run.size() || run[byte] != 0), "input");
            }
        }
        readState = action.newReadState;
        if (action.nextRequest) {
            text.clear();
            run.clear();
        }
    }
    return 0;
}
