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

bool drainOutput(qintptr handle, std::chrono::milliseconds bound) {
    // The system's drain call has no time-out of its own, so it runs on a thread of its
    // own that is left behind if it overruns. It works on a duplicate of the handle, which
    // stays valid however soon the caller closes the port.
#ifdef Q_OS_WIN
    HANDLE own = nullptr;
    const HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(handle), process, &own, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return false;
    const auto drain = [own] {
        const bool drained = FlushFileBuffers(own) != 0;
        CloseHandle(own);
        return drained;
    };
#else
    const int own = ::dup(static_cast<int>(handle));
    if (own < 0)
        return false;
    const auto drain = [own] {
        const bool drained = ::tcdrain(own) == 0;
        ::close(own);
        return drained;
    };
#endif
    std::packaged_task<bool()> task(drain);
    std::future<bool> drained = task.get_future();
    std::thread(std::move(task)).detach();
    if (drained.wait_for(bound) == std::future_status::ready)
        return drained.get();
        // The line is held up (flow control, a stalled adapter): what it still holds is given
        // up, which also ends the drain, so that the duplicate goes and the device really closes.
#ifdef Q_OS_WIN
    PurgeComm(reinterpret_cast<HANDLE>(handle), PURGE_TXABORT | PURGE_TXCLEAR);
#else
    ::tcflush(static_cast<int>(handle), TCOFLUSH);
#endif
    return false;
}

} // namespace dx400
