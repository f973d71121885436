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

// Calls the system's own function of that name, looked up once.
#define CALL_SYSTEM(name, ...)                                                                     \
    static const auto system = reinterpret_cast<decltype(&::name)>(dlsym(RTLD_NEXT, #name));       \
    return system(__VA_ARGS__)

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (request == TIOCMBIS || request == TIOCMBIC || request == TIOCMSET)
        dx400::test::lineRequests.modemLines.emplace_back(request, *static_cast<int*>(argument));
    CALL_SYSTEM(ioctl, fd, request, argument);
}

extern "C" int tcsetattr(int fd, int when, const termios* settings) noexcept {
    dx400::test::lineRequests.settings.push_back(*settings);
    record("settings", fd);
    CALL_SYSTEM(tcsetattr, fd, when, settings);
}

extern "C" ssize_t write(int fd, const void* bytes, size_t count) {
    record("write", fd);
    CALL_SYSTEM(write, fd, bytes, count);
}

extern "C" int tcdrain(int fd) {
    record("drain", fd, true);
    for (int ms = 0; ms < 5000 && dx400::test::lineStalled; ++ms)
        ::usleep(1000);
    CALL_SYSTEM(tcdrain, fd);
}

extern "C" int tcflush(int fd, int queue) {
    record("flush", fd);
    dx400::test::lineStalled = false; // what the line held is gone
    CALL_SYSTEM(tcflush, fd, queue);
}

extern "C" int close(int fd) {
    record("close", fd);
    CALL_SYSTEM(close, fd);
}
