#include "ctl/drive_session.h"

#include "ctl/failure.h"
#include "protocol/reply_check.h"
#include "texts/ctl_texts.h"
#include "texts/operator_texts.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <thread>

namespace dx400::ctl {

DriveSession::DriveSession(const Options& options) : m_options(options), m_trace(options.verbose) {}

DriveSession::~DriveSession() {
    m_port.close();
}

void DriveSession::open() {
    if (m_opened)
        return;
    QString device = m_options.port;
    if (m_options.portNumber > 0) {
        m_port.setCommPort(m_options.portNumber);
        device = m_port.deviceName(m_options.portNumber);
    } else {
        m_port.setDevicePath(m_options.port);
    }
    m_port.setRate(m_options.speed);
    m_port.setDtrEnable(true);
    const OpenResult result = m_port.open();
    if (!result.opened())
        throw Failure(
            ExitCode::PortNotOpened,
            describeOpenFailure(result, m_options.port, device, m_options.speedText).toStdString());
    m_opened = true;
    // Bytes that reached the port before it was opened answer nothing of ours.
    m_port.discardInput();
}

Reply DriveSession::exchange(const CommandArgs& frame, std::chrono::milliseconds holdOff) {
    open();
    TxBuffer tx{};
    [[maybe_unused]] const bool filled = fillTxBuffer(tx, frame);
    Q_ASSERT(filled); // every byte was checked when the command line was read
    const auto sent = std::span(tx).first(kFrameLength);
    const QByteArray wire = byteArrayOf(tx);
    const auto lineLost = [&] {
        return Failure(ExitCode::NoReply, text::lineLost(m_options.port.toStdString()));
    };
    std::optional<Failure> failure;
    for (int attempt = 0; attempt <= m_options.retries; ++attempt) {
        std::this_thread::sleep_until(m_nextFrame);
        // Whatever waits now came after the last reply and answers nothing: stray bytes, or
        // a reply too late for an earlier attempt.
        if (const QByteArray stale = m_port.read(m_port.inBufferCount()); !stale.isEmpty())
            m_trace.received(bytesOf(stale));
        m_port.discardInput();
        if (!m_port.write(wire))
            throw lineLost();
        m_nextFrame = std::chrono::steady_clock::now() + holdOff;
        m_trace.sent(sent);
        const QByteArray got = awaitReply();
        if (!got.isEmpty())
            m_trace.received(bytesOf(got));
        if (got.size() < kReplyLength) {
            if (!m_port.isOpen())
                throw lineLost();
            failure =
                Failure(ExitCode::NoReply, text::ctl::noReply(echoLine(sent), m_options.timeoutMs,
                                                              attempt + 1, echoLine(bytesOf(got))));
            // A reply that is only late must not pass for the next attempt's, which would
            // then pass for the next request's: it is given the time-out once more to come,
            // and dropped.
            if (attempt < m_options.retries)
                awaitReply();
            continue;
        }
        Reply reply{};
        std::copy_n(bytesOf(got).begin(), kReplyLength, reply.begin());
        const std::vector<ReplyMismatch> mismatches =
            checkReply(reply, static_cast<std::uint8_t>(frame.cmd));
        if (mismatches.empty())
            return reply;
        failure = Failure(ExitCode::BadReply,
                          text::ctl::badReply(echoLine(sent), mismatches, echoLine(reply)));
    }
    throw *failure;
}

QByteArray DriveSession::awaitReply() {
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&m_port, &SerialPort::comm, &loop, &QEventLoop::quit);
    QObject::connect(&m_port, &SerialPort::lineLost, &loop, &QEventLoop::quit);
    m_port.setRThreshold(kReplyLength);
    deadline.start(m_options.timeoutMs);
    while (m_port.isOpen() && m_port.inBufferCount() < kReplyLength && deadline.isActive())
        loop.exec();
    m_port.setRThreshold(0);
    return m_port.read(kReplyLength);
}

} // namespace dx400::ctl
