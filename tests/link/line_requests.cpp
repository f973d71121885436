#include "line_requests.h"

#include <cstdarg>
#include <dlfcn.h>
#include <sys/ioctl.h>

namespace dx400::test {

LineRequests& lineRequests() {
    static LineRequests requests;
    return requests;
}

} // namespace dx400::test

namespace {

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
        dx400::test::lineRequests().modemLines.emplace_back(request, *static_cast<int*>(argument));
    static const auto system = systemCall<int (*)(int, unsigned long, void*)>("ioctl");
    return system(fd, request, argument);
}

extern "C" int tcsetattr(int fd, int when, const termios* settings) noexcept {
    dx400::test::lineRequests().settings.push_back(*settings);
    static const auto system = systemCall<int (*)(int, int, const termios*)>("tcsetattr");
    return system(fd, when, settings);
}
