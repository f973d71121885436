// move, jog, stop, output and send: one frame each (a timed jog two), with the window's
// command codes and option bytes.
#include "ctl/commands.h"
#include "ctl/ctl_texts.h"
#include "ctl/interrupt_watch.h"
#include "motion/pulse_packing.h"
#include "params/number_reader.h"

#include <cmath>

namespace dx400::ctl {

namespace {

constexpr CommandArgs kStop{command::kStop, 0, 0, 0, 0, 0};
constexpr std::int32_t kHighestJogSpeed = 2047; // as the window's jog label says

Command sendOne(const CommandArgs& frame) {
    return [frame](DriveSession& session, Report&) {
        session.exchange(frame);
    };
}

// Which of two words the argument is (0 or 1); a usage failure when neither.
int choice(const Options& options, const char* first, const char* second) {
    const QString& word = options.arguments.at(0);
    if (word != QLatin1String(first) && word != QLatin1String(second))
        throw usageFailure(options);
    return word == QLatin1String(first) ? 0 : 1;
}

// The number of the second argument, read as the window reads its pulse and jog boxes; a
// text that is no 32-bit number is refused.
std::int32_t numberArgument(const Options& options, std::string_view what) {
    const std::string given = options.arguments.at(1).toStdString();
    const NumberReading reading = readNumber(given);
    if (!reading.ok())
        throw Failure(ExitCode::ValueRefused, text::ctl::notANumber(what, given));
    return reading.value;
}

CommandArgs withNumber(int cmd, int opt1, std::int32_t value) {
    const auto [data3, data2, data1, data0] = packPulses(value);
    return {cmd, opt1, data3, data2, data1, data0};
}

// Jogs until the time is up or a signal comes that would end the program, and then stops
// the motor whatever happened: also when the jog frame got no sound reply, since the drive
// may run anyway. A signal stops waiting for the jog's reply at once. One that comes before
// the jog frame goes ends the program without starting it.
void timedJog(DriveSession& session, const CommandArgs& jog, std::chrono::milliseconds time,
              const std::string& port) {
    InterruptWatch watch;
    if (const int signal = watch.poll())
        throw interruptedBy(signal, text::ctl::jogNotStarted);
    const auto started = std::chrono::steady_clock::now();
    std::optional<Failure> failure;
    session.abandonOn(&watch.ending());
    try {
        session.exchange(jog);
        // A drive that answered after the time was up gets its stop at once: a timer
        // given a negative time would never fire, and the motor would run on.
        const auto left = std::max(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       started + time - std::chrono::steady_clock::now()),
                                   std::chrono::milliseconds(0));
        session.trace().note(text::ctl::jogRunning(left.count()));
        watch.waitFor(left, &session.port());
    } catch (const Failure& jogFailure) {
        failure = jogFailure;
    } catch (const Abandoned&) {
    }
    session.abandonOn(nullptr);
    const int signal = watch.poll(); // one that comes while the stop goes out changes nothing
    try {
        session.exchange(kStop);
    } catch (const Failure& stopFailure) {
        if (!session.lineOpen())
            throw Failure(ExitCode::NoReply, text::ctl::jogLineLost(port));
        throw Failure(stopFailure.code(), text::ctl::stopUnconfirmed(stopFailure.what()));
    }
    if (failure)
        throw *failure;
    if (signal)
        throw interruptedBy(signal, text::ctl::jogInterrupted);
}

} // namespace

Command prepareMove(const Options& options) {
    const int opt1 = choice(options, "abs", "inc");
    return sendOne(withNumber(command::kMove, opt1, numberArgument(options, "PULSES")));
}

Command prepareJog(const Options& options) {
    const int cmd = choice(options, "rol", "ror") == 0 ? command::kJogRol : command::kJogRor;
    // A negative speed would turn the motor the other way; the window's label names the
    // speeds the drive takes.
    const std::int32_t speed = numberArgument(options, "SPEED");
    if (speed < 0 || speed > kHighestJogSpeed)
        throw Failure(
            ExitCode::ValueRefused,
            text::ctl::jogSpeedOutOfRange(options.arguments.at(1).toStdString(), kHighestJogSpeed));
    const CommandArgs jog = withNumber(cmd, 0, speed);
    if (!options.forSeconds)
        return sendOne(jog);
    const std::chrono::milliseconds time{std::llround(*options.forSeconds * 1000)};
    return [jog, time, port = options.port.toStdString()](DriveSession& session, Report&) {
        timedJog(session, jog, time, port);
    };
}

Command prepareStop(const Options&) {
    return sendOne(kStop);
}

Command prepareOutput(const Options& options) {
    return sendOne({command::kOutput, 1, 0, 0, 0, choice(options, "off", "on")});
}

Command prepareSend(const Options& options) {
    int bytes[6] = {};
    for (int i = 0; i < 6; ++i) {
        const QString& word = options.arguments.at(i);
        bool ok = false;
        const uint byte = word.toUInt(&ok, 16);
        if (!ok || byte > 0xFF)
            throw Failure(ExitCode::Usage, text::ctl::notAByte(word.toStdString()));
        bytes[i] = static_cast<int>(byte);
    }
    const CommandArgs frame{bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]};
    return [frame](DriveSession& session, Report& report) {
        report.add(QStringLiteral("reply"),
                   QString::fromStdString(echoLine(session.exchange(frame))));
    };
}

} // namespace dx400::ctl
