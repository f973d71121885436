#include "line_under_test.h"

#include <cstdarg>
#include <dlfcn.h>
#include <mutex>
#include <set>
#include <sys/ioctl.h>

namespace {

std::mutex recording; // the drain runs on a thread of its own
std::set<int> lines;

// Settings make a descriptor a line, until it is closed.
void record(std::string_view call, int fd, bool always = false) {
    const std::lock_guard lock(recording);
    if (call == "settings")
        lines.insert(fd);
    std::string& calls = dx400::test::lineRequests.calls;
    if (always || lines.count(fd))
        calls.append(calls.empty() ? "" : " ").append(call);
    if (call == "close")
        lines.erase(fd);
}

template <typename Function> Function systemCall(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (request == TIOCMBIS || request == TIOCMBIC || request == TIOCMSET)
        dx400::test::lineRequests.modemLines.emplace_back(request, *static_cast<int*>(argument));
    static const auto system = systemCall<int (*)(int, unsigned long, void*)>("ioctl");
    return system(fd, request, argument);
}

extern "C" int tcsetattr(int fd, int when, const termios* settings) noexcept {
    dx400::test::lineRequests.settings.push_back(*settings);
    record("settings", fd);
    static const auto system = systemCall<int (*)(int, int, const termios*)>("tcsetattr");
    return system(fd, when, settings);
}

extern "C" ssize_t write(int fd, const void* bytes, size_t count) {
    record("write", fd);
    static const auto system = systemCall<ssize_t (*)(int, const void*, size_t)>("write");
    return system(fd, bytes, count);
}

extern "C" int tcdrain(int fd) {
    record("drain", fd, true);
    for (int ms = 0; ms < 5000 && dx400::test::lineStalled; ++ms)
        ::usleep(1000);
    static const auto system = systemCall<int (*)(int)>("tcdrain");
    return system(fd);
}

extern "C" int tcflush(int fd, int queue) {
    record("flush", fd);
    dx400::test::lineStalled = false; // what the line held is gone
    static const auto system = systemCall<int (*)(int, int)>("tcflush");
    return system(fd, queue);
}

extern "C" int close(int fd) {
    record("close", fd);
    static const auto system = systemCall<int (*)(int)>("close");
    return system(fd);
}
