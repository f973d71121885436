#include "protocol/command_frame.h"

namespace dx400 {

bool fillTxBuffer(TxBuffer& txBuf, const CommandArgs& args) {
    txBuf[0] = kCommandStart;
    txBuf[1] = 0x00;
    const int fields[] = {args.cmd, args.opt1, args.data3, args.data2, args.data1, args.data0};
    std::size_t index = 2;
    for (int value : fields) {
        if (value < 0 || value > 0xFF)
            return false;
        txBuf[index++] = static_cast<std::uint8_t>(value);
    }
    txBuf[8] = kFrameEnd;
    int sum = 0;
    for (std::size_t i = 1; i <= 7; ++i)
        sum += txBuf[i];
    txBuf[9] = static_cast<std::uint8_t>(sum & 0xFF);
    return true;
}

} // namespace dx400
