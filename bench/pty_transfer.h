#pragma once

#include <vector>

namespace dx400::bench {

// How long bytes take to cross a raw pseudo-terminal on this machine: from just before
// the write on one side to the last byte read on the other, in microseconds, one sample
// per round. A request crosses from the tool's side (slave) to the drive's (master), a
// reply the other way. A pseudo-terminal does not pace bytes at the line speed, so this is
// the pty's own share of a round trip; a real line adds the bit times on top.
struct PtyTransfer {
    std::vector<double> requestUs; // 12 bytes, slave to master
    std::vector<double> replyUs;   // 10 bytes, master to slave
};

PtyTransfer measurePtyTransfer(int rounds);

} // namespace dx400::bench
