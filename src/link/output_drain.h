#pragma once

#include <QtGlobal>
#include <chrono>

namespace dx400 {

// Waits until the system has put every byte written to the open port `handle` on the
// wire: the driver's buffer and the UART's own, which QSerialPort's bytesToWrite() does
// not see. When that takes longer than `bound` (a line held up by flow control or a
// stalled adapter), what is left is discarded; the caller closes the port either way.
void drainOutput(qintptr handle, std::chrono::milliseconds bound);

} // namespace dx400
