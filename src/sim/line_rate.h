#pragma once

namespace dx400::sim {

// The output speed, in bits per second, that whoever holds the pseudo-terminal set on it;
// read on the master, it gives the slave's settings, also after the slave was closed.
// 0 when none was set (B0) or it cannot be read. Read through termios2, so rates that have
// no Bnnn constant (14400, 56000, 128000, which QSerialPort sets with BOTHER) come out too.
int lineRate(int fd);

} // namespace dx400::sim
