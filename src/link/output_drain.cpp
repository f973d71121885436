#include "link/output_drain.h"

#include <future>
#include <thread>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace dx400 {

void drainOutput(qintptr handle, std::chrono::milliseconds bound) {
    // The system's drain call has no time-out of its own, so it runs on a thread of its
    // own that is left behind if it overruns. It works on a duplicate of the handle, which
    // stays valid however soon the caller closes the port.
#ifdef Q_OS_WIN
    HANDLE own = nullptr;
    const HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(handle), process, &own, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return;
    const auto drain = [own] {
        FlushFileBuffers(own);
        CloseHandle(own);
    };
#else
    const int own = ::dup(static_cast<int>(handle));
    if (own < 0)
        return;
    const auto drain = [own] {
        ::tcdrain(own);
        ::close(own);
    };
#endif
    std::packaged_task<void()> task(drain);
    const std::future<void> drained = task.get_future();
    std::thread(std::move(task)).detach();
    if (drained.wait_for(bound) != std::future_status::ready) {
        // The line is held up (flow control, a stalled adapter): what it still holds is given
        // up, which also ends the drain, so that the duplicate goes and the device really closes.
#ifdef Q_OS_WIN
        PurgeComm(reinterpret_cast<HANDLE>(handle), PURGE_TXABORT | PURGE_TXCLEAR);
#else
        ::tcflush(static_cast<int>(handle), TCOFLUSH);
#endif
    }
}

} // namespace dx400
