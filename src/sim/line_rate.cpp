// <asm/termbits.h> declares its own struct termios, which clashes with <termios.h>, so this
// file includes nothing else that brings that in.
#include "sim/line_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace dx400::sim {

int lineRate(int fd) {
    termios2 settings{};
    return ::ioctl(fd, TCGETS2, &settings) == 0 ? static_cast<int>(settings.c_ospeed) : 0;
}

} // namespace dx400::sim
