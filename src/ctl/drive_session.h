#pragma once

#include "ctl/frame_trace.h"
#include "ctl/options.h"
#include "link/qt_serial_port.h"
#include "protocol/command_frame.h"
#include "protocol/reply_reception.h"

#include <array>
#include <chrono>

namespace dx400::ctl {

using Reply = std::array<std::uint8_t, kReplyLength>;

// The open line to one drive, one frame at a time: each frame is answered and its reply
// checked before the next one goes, which the window never waits for.
class DriveSession {
public:
    // The port of the options opens with the first frame, so that a command that sends
    // none never touches it.
    explicit DriveSession(const Options& options);
    // Closes the port once the last frame (a stop, say) is on the wire.
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // Sends the frame and returns its reply once it has passed every check; sends it again,
    // up to --retries times, when the reply does not come within --timeout or fails a
    // check. The next frame goes no sooner than `holdOff` after this one, as the window
    // paces WRITE ALL. Throws Failure: NoReply or BadReply.
    Reply exchange(const CommandArgs& frame, std::chrono::milliseconds holdOff = {});

    // Opens the port, unless it is open, at the options' speed with DTR raised, as the
    // window connects, and discards what was waiting. The first exchange opens it too.
    // Throws Failure (PortNotOpened) with the window's words for the cause.
    void open();

private:
    // Up to a reply's length of bytes, as many as came within the time-out.
    QByteArray awaitReply();

    const Options& m_options;
    const FrameTrace m_trace;
    QtSerialPort m_port;
    bool m_opened = false; // stays true once the port has opened, also after a lost line
    std::chrono::steady_clock::time_point m_nextFrame;
};

} // namespace dx400::ctl
