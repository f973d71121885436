#include "ctl/drive_session.h"

#include "ctl/ctl_texts.h"
#include "ctl/failure.h"
#include "protocol/reply_check.h"
#include "protocol/reply_search.h"
#include "texts/operator_texts.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace dx400::ctl {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long the line must stay quiet after a reply before a run counts as answered, plus
// one byte's time on the line: a second reply that starts within it is seen. Nothing
// cheaper tells a duplicate or a lagging answer from the right one, since a reply names
// no parameter.
constexpr milliseconds kSettle{30};
// How often a port held by another run is tried again.
constexpr unsigned long kBusyRetryMs = 10;

milliseconds settleTime(qint32 rate) {
    constexpr int kBitsPerByte = 10; // start, 8 data, stop
    return kSettle + milliseconds(rate > 0 ? (1000 * kBitsPerByte + rate - 1) / rate : 0);
}

// After a reply went missing, this harmless request (it changes nothing on the drive)
// shows whether the drive answers in step: its command byte differs from the request's.
CommandArgs inStepProbe(const CommandArgs& answered) {
    if (answered.cmd == command::kInput)
        return {command::kReadParameter, 8, 0, 0, 0, 0}; // the position
    return {command::kInput, 1, 0, 0, 0, 0};
}

} // namespace

DriveSession::DriveSession(const Options& options)
    : m_options(options), m_trace(options.verbose), m_settleTime(settleTime(options.speed)),
      m_log(options.logFile.isEmpty() ? nullptr : TrafficLog::toFile(options.logFile)) {
    m_port.setTrafficLog(m_log.get());
}

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
    // A port held by another run (a watch between its samples, say) is waited for, up to
    // the reply time-out, before it counts as taken.
    const QDeadlineTimer patience(m_options.timeoutMs);
    OpenResult result = m_port.open();
    while (result.outcome == OpenResult::Outcome::Busy && !patience.hasExpired()) {
        QThread::msleep(kBusyRetryMs);
        result = m_port.open();
    }
    m_busy = result.outcome == OpenResult::Outcome::Busy;
    if (!result.opened())
        throw Failure(
            ExitCode::PortNotOpened,
            describeOpenFailure(result, m_options.port, device, m_options.speedText).toStdString());
    m_opened = true;
    // Bytes that reached the port before it was opened answer nothing of ours.
    m_port.discardInput();
}

void DriveSession::release() {
    m_port.close();
    m_opened = false;
}

Reply DriveSession::exchange(const CommandArgs& frame) {
    const Request request{frame};
    return exchange(std::span(&request, 1)).front();
}

std::vector<Reply> DriveSession::exchange(std::span<const Request> requests) {
    open();
    std::vector<Reply> replies(requests.size());
    std::vector<int> sent(requests.size(), 0);
    std::optional<Failure> earlier; // an unasked reply to an earlier run
    bool anySent = false;
    std::size_t i = 0;
    // Goes back to the request an unasked reply puts in doubt, while it has tries left.
    const auto doubt = [&](std::size_t suspect, const Failure& unasked) {
        if (sent[suspect] > m_options.retries)
            throw unasked;
        awaitQuiet(m_settleTime);
        i = suspect;
    };
    while (true) {
        while (i < requests.size()) {
            const CommandArgs& frame = requests[i].frame;
            while (Clock::now() < m_nextFrame)
                waitForBytes(QDeadlineTimer(m_nextFrame));
            const std::size_t suspect = i > 0 ? i - 1 : 0;
            if (std::optional<Failure> unasked = unaskedReply(anySent ? sent[suspect] : 1)) {
                if (anySent) {
                    doubt(suspect, *unasked);
                    continue;
                }
                earlier = earlier.value_or(*unasked);
            }
            const int attempt = ++sent[i];
            anySent = true;
            m_nextFrame = Clock::now() + requests[i].holdOff;
            switch (sendAndAwait(frame, replies[i], attempt)) {
            case Outcome::Sound:
                if (m_missed)
                    confirmInStep(frame, attempt);
                m_missed = false;
                ++i;
                continue;
            case Outcome::Unsound:
                break;
            case Outcome::Missing:
                if (!m_port.isOpen())
                    throw lineLost();
                m_missed = true;
                break;
            }
            if (attempt > m_options.retries)
                throw *m_lastFailure;
            // A reply that is only late must not pass for the next attempt's: it is given
            // the time-out once more to come, and dropped.
            awaitQuiet(m_missed ? milliseconds(m_options.timeoutMs) : m_settleTime);
        }
        if (requests.empty())
            break;
        settle();
        const std::optional<Failure> unasked = unaskedReply(sent.back());
        if (!unasked)
            break;
        doubt(requests.size() - 1, *unasked);
    }
    if (earlier)
        throw *earlier;
    return replies;
}

DriveSession::Outcome DriveSession::sendAndAwait(const CommandArgs& frame, Reply& reply,
                                                 int attempt) {
    if (!m_port.isOpen())
        throw lineLost();
    TxBuffer tx{};
    [[maybe_unused]] const bool filled = fillTxBuffer(tx, frame);
    Q_ASSERT(filled); // every byte was checked when the command line was read
    const std::string sent = echoLine(std::span(tx).first(kFrameLength));
    if (!m_port.write(byteArrayOf(tx)))
        throw lineLost();
    m_trace.sent(std::span(tx).first(kFrameLength));

    QByteArray got;
    const QDeadlineTimer deadline(m_options.timeoutMs, Qt::PreciseTimer);
    auto lastByte = Clock::now();
    while (true) {
        const QByteArray more = arrived();
        if (!more.isEmpty())
            lastByte = Clock::now();
        got += more;
        if (m_abandonOn && m_abandonOn->first() != 0) {
            m_trace.received(bytesOf(got));
            throw Abandoned{};
        }
        const bool timeUp = deadline.hasExpired() || !m_port.isOpen();
        const bool settled = timeUp || Clock::now() - lastByte >= m_settleTime;
        const ReplySearch search =
            searchReply(bytesOf(got), static_cast<std::uint8_t>(frame.cmd), settled, timeUp);
        const auto start = static_cast<qsizetype>(search.start);
        switch (search.verdict) {
        case ReplySearch::Verdict::Waiting:
            waitForBytes(got.isEmpty()
                             ? deadline
                             : std::min(deadline, QDeadlineTimer(lastByte + m_settleTime)));
            continue;
        case ReplySearch::Verdict::Sound:
            m_trace.received(bytesOf(got.left(start)), "skipped");
            std::copy_n(bytesOf(got).subspan(search.start).begin(), kReplyLength, reply.begin());
            m_trace.received(reply);
            m_unjudged = got.mid(start + kReplyLength);
            m_lastAnswered = sent;
            return Outcome::Sound;
        case ReplySearch::Verdict::Unsound: {
            m_trace.received(bytesOf(got));
            const ReplyBytes bad = bytesOf(got).subspan(search.start).first<kReplyLength>();
            m_lastFailure = Failure(
                ExitCode::BadReply,
                text::ctl::badReply(sent, checkReply(bad, static_cast<std::uint8_t>(frame.cmd)),
                                    echoLine(bad), attempt));
            return Outcome::Unsound;
        }
        case ReplySearch::Verdict::Missing:
            m_trace.received(bytesOf(got));
            m_lastFailure =
                Failure(ExitCode::NoReply, text::ctl::noReply(sent, m_options.timeoutMs, attempt,
                                                              echoLine(bytesOf(got))));
            return Outcome::Missing;
        }
    }
}

void DriveSession::confirmInStep(const CommandArgs& answered, int sent) {
    const std::string request = m_lastAnswered;
    Reply reply{};
    if (std::optional<Failure> unasked = unaskedReply(sent))
        throw *unasked;
    switch (sendAndAwait(inStepProbe(answered), reply, 1)) {
    case Outcome::Sound:
        return;
    case Outcome::Missing:
        if (!m_port.isOpen())
            throw lineLost();
        throw *m_lastFailure;
    case Outcome::Unsound:
        break;
    }
    throw Failure(ExitCode::BadReply, text::ctl::outOfStep(request, m_lastFailure->what()));
}

std::optional<Failure> DriveSession::unaskedReply(int times) {
    m_unjudged += arrived();
    const QByteArray bytes = std::exchange(m_unjudged, {});
    const std::optional<std::size_t> start = findUnaskedReply(bytesOf(bytes));
    m_trace.received(bytesOf(bytes), start ? "unasked" : "noise, passed over");
    if (!start)
        return std::nullopt;
    const auto reply = bytesOf(bytes).subspan(*start).first<kReplyLength>();
    return Failure(ExitCode::BadReply,
                   text::ctl::unaskedReply(echoLine(reply), m_lastAnswered, times));
}

void DriveSession::settle() {
    const auto start = Clock::now();
    const QDeadlineTimer bound(m_settleTime + milliseconds(m_options.timeoutMs));
    while (m_port.isOpen() && !bound.hasExpired()) {
        m_unjudged += arrived();
        const bool inside = endsInsideReply(bytesOf(m_unjudged));
        if (!inside && Clock::now() - start >= m_settleTime)
            break;
        waitForBytes(inside ? bound : QDeadlineTimer(start + m_settleTime));
    }
}

void DriveSession::awaitQuiet(milliseconds quiet) {
    const QDeadlineTimer bound(quiet + milliseconds(m_options.timeoutMs));
    auto lastByte = Clock::now();
    QByteArray dropped;
    while (m_port.isOpen() && !bound.hasExpired() && Clock::now() - lastByte < quiet) {
        if (const QByteArray bytes = arrived(); !bytes.isEmpty()) {
            dropped += bytes;
            lastByte = Clock::now();
        }
        waitForBytes(std::min(bound, QDeadlineTimer(lastByte + quiet)));
    }
    m_trace.received(bytesOf(dropped), "late, dropped");
}

QByteArray DriveSession::arrived() {
    // The port takes in what the system holds only when events are processed.
    QCoreApplication::processEvents();
    return m_port.read(m_port.inBufferCount());
}

void DriveSession::waitForBytes(const QDeadlineTimer& until) {
    if (m_abandonOn && m_abandonOn->first() != 0)
        throw Abandoned{};
    if (until.hasExpired() || !m_port.isOpen())
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&m_port, &SerialPort::comm, &loop, &QEventLoop::quit);
    QObject::connect(&m_port, &SerialPort::lineLost, &loop, &QEventLoop::quit);
    if (m_abandonOn)
        QObject::connect(m_abandonOn, &EndingSignals::arrived, &loop, &QEventLoop::quit);
    m_port.setRThreshold(1);
    timer.start(static_cast<int>(std::max<qint64>(until.remainingTime(), 0)));
    loop.exec();
    m_port.setRThreshold(0);
}

Failure DriveSession::lineLost() const {
    return {ExitCode::NoReply, text::lineLost(m_options.port.toStdString())};
}

} // namespace dx400::ctl
