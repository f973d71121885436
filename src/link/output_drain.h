#pragma once

#include <QtGlobal>
#include <chrono>

namespace dx400 {

// Waits until the system has put every byte written to the open port `handle` on the
// wire: the driver's buffer and the UART's own, which QSerialPort's bytesToWrite() does
// not see. Returns false when that took longer than `bound` (a line held up by flow
// control or a stalled adapter) or the system refused; the caller closes the port anyway.
bool drainOutput(qintptr handle, std::chrono::milliseconds bound);

} // namespace dx400
