#include "stop_at_exit.h"

#include "form1.h"

#include <cstdlib>

namespace dx400 {

namespace {

Form1* g_window = nullptr; // the window exit() stops, while a StopAtExit lives

void stopWindowAtExit() {
    if (g_window)
        g_window->stopMotorAndReleasePort(Form1::FrameShown::Nowhere);
}

} // namespace

StopAtExit::StopAtExit(Form1& window) {
    // A handler stays registered for good, so it is registered once; the pointer says
    // whether there is a window to stop.
    [[maybe_unused]] static const int registered = std::atexit(stopWindowAtExit);
    g_window = &window;
}

StopAtExit::~StopAtExit() {
    g_window = nullptr;
}

} // namespace dx400
