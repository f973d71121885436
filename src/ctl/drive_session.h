#pragma once

#include "ctl/failure.h"
#include "ctl/frame_trace.h"
#include "ctl/options.h"
#include "link/ending_signals.h"
#include "link/qt_serial_port.h"
#include "protocol/command_frame.h"
#include "protocol/reply_reception.h"

#include <QDeadlineTimer>
#include <array>
#include <chrono>
#include <span>
#include <vector>

namespace dx400::ctl {

using Reply = std::array<std::uint8_t, kReplyLength>;

// One request of a run: its frame, and how long the next frame waits after it.
struct Request {
    CommandArgs frame;
    std::chrono::milliseconds holdOff{};
};

// Thrown out of an exchange when the signals it was told to heed have caught one: the
// caller stops waiting for the drive and sends its stop frame.
struct Abandoned {};

// The open line to one drive, one frame at a time: each frame is answered and its reply
// checked before the next one goes, which the window never waits for.
//
// A reply carries no parameter index, so a reply answering another request passes every
// check of this one. A reply is therefore taken only when it can only answer this
// request: bytes before its start byte are skipped, a reply that came when none was
// awaited (between a reply and the next request, or within a settle time after the last
// reply of a run) fails the run as an unasked reply, and after a reply went missing the
// drive must show with a harmless request of another command that it answers in step.
class DriveSession {
public:
    // The port of the options opens with the first frame, so that a command that sends
    // none never touches it.
    explicit DriveSession(const Options& options);
    // Closes the port once the last frame (a stop, say) is on the wire.
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // Sends the requests in order, each once the reply to the one before has passed every
    // check, and returns their replies once the line has stayed quiet for the settle time
    // after the last one. A request goes again, up to --retries times, when its reply
    // does not come within --timeout or fails a check, and so does the request whose reply
    // an unasked reply puts in doubt, once the line is quiet. Throws Failure (NoReply,
    // BadReply) when the tries run out or the line is lost; an unasked reply found before
    // the first request, which answers an earlier run's, fails the run only after its
    // requests went, so that a stop frame always goes out.
    std::vector<Reply> exchange(std::span<const Request> requests);
    Reply exchange(const CommandArgs& frame);

    // Opens the port, unless it is open, at the options' speed with DTR raised, as the
    // window connects, and discards what was waiting. The first exchange opens it too.
    // Throws Failure (PortNotOpened) with the window's words for the cause.
    void open();
    // Closes the port, once what was written is on the line, for other programs to take
    // until the next exchange opens it again.
    void release();
    // The last open failed because another program holds the port.
    bool portBusy() const { return m_busy; }
    bool lineOpen() const { return m_port.isOpen(); }
    const SerialPort& port() const { return m_port; }
    const FrameTrace& trace() const { return m_trace; }

    // While set, a signal that `watch` catches ends every wait for the drive at once
    // and throws Abandoned, instead of letting a reply or a retry keep a motor running.
    void abandonOn(const EndingSignals* watch) { m_abandonOn = watch; }

private:
    enum class Outcome { Sound, Unsound, Missing };

    Outcome sendAndAwait(const CommandArgs& frame, Reply& reply, int attempt);
    // After a reply to `answered` (sent `sent` times) went missing before one came.
    void confirmInStep(const CommandArgs& answered, int sent);
    // The failure an unasked reply among the bytes received since the last reply makes,
    // naming the request it may answer, sent `times` times; nothing for mere noise.
    std::optional<Failure> unaskedReply(int times);
    // Waits out the settle time after a reply, and longer while a reply is arriving.
    void settle();
    // Drops what arrives until nothing has come for `quiet`, bounded by the time-out.
    void awaitQuiet(std::chrono::milliseconds quiet);
    QByteArray arrived();
    // Runs the event loop until bytes arrive, the line is lost or `until` passes.
    void waitForBytes(const QDeadlineTimer& until);
    Failure lineLost() const;

    const Options& m_options;
    const FrameTrace m_trace;
    const std::chrono::milliseconds m_settleTime;
    const std::unique_ptr<TrafficLog> m_log; // --log; outlives the port that writes it
    QtSerialPort m_port;
    bool m_opened = false; // stays true once the port has opened, also after a lost line
    bool m_busy = false;
    const EndingSignals* m_abandonOn = nullptr;
    QByteArray m_unjudged;                // received after the last reply, not yet looked at
    std::string m_lastAnswered;           // the last request a reply was taken for, echoed
    std::optional<Failure> m_lastFailure; // of the last attempt that failed
    bool m_missed = false;                // a reply to the request in hand went missing
    std::chrono::steady_clock::time_point m_nextFrame;
};

} // namespace dx400::ctl
