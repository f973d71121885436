#pragma once

namespace dx400 {

class Form1;

// While it lives, exit() still stops the motor and releases the window's port. Qt's xcb
// platform calls exit(1) on the window's thread when the connection to the X server
// breaks (the display went away): no destructor of the objects on main's stack runs then,
// but the handlers registered with atexit do. The handler leaves the widgets alone: it
// writes the stop frame to the port and closes the port once the frame is on the wire.
class StopAtExit {
public:
    explicit StopAtExit(Form1& window);
    ~StopAtExit();
    StopAtExit(const StopAtExit&) = delete;
    StopAtExit& operator=(const StopAtExit&) = delete;
};

} // namespace dx400
