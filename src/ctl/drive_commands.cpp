// move, jog, stop, output and send: one frame each (a timed jog two), with the window's
// command codes and option bytes.
#include "ctl/commands.h"
#include "ctl/interrupt_watch.h"
#include "motion/pulse_packing.h"
#include "params/number_reader.h"
#include "texts/ctl_texts.h"

#include <cmath>

namespace dx400::ctl {

namespace {

constexpr CommandArgs kStop{command::kStop, 0, 0, 0, 0, 0};

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

// A frame carrying the number of the second argument, read as the window reads its pulse
// and jog boxes; a text that is no 32-bit number is refused.
CommandArgs withNumber(const Options& options, int cmd, int opt1, std::string_view what) {
    const std::string given = options.arguments.at(1).toStdString();
    const NumberReading reading = readNumber(given);
    if (!reading.ok())
        throw Failure(ExitCode::ValueRefused, text::ctl::notANumber(what, given));
    const auto [data3, data2, data1, data0] = packPulses(reading.value);
    return {cmd, opt1, data3, data2, data1, data0};
}

// Jogs until the time is up or SIGINT or SIGTERM comes, and then stops the motor whatever
// happened: also when the jog frame got no sound reply, since the drive may run anyway.
// A signal that comes before the jog frame goes ends the program without starting it.
void timedJog(DriveSession& session, const CommandArgs& jog, std::chrono::milliseconds time) {
    InterruptWatch watch;
    session.open();
    if (const int signal = watch.poll())
        throw interruptedBy(signal, text::ctl::jogInterrupted);
    std::optional<Failure> failure;
    int signal = 0;
    try {
        session.exchange(jog);
        watch.waitFor(time);
        signal = watch.poll(); // one that comes while the stop goes out changes nothing
    } catch (const Failure& jogFailure) {
        failure = jogFailure;
    }
    session.exchange(kStop);
    if (failure)
        throw *failure;
    if (signal)
        throw interruptedBy(signal, text::ctl::jogInterrupted);
}

} // namespace

Command prepareMove(const Options& options) {
    return sendOne(withNumber(options, command::kMove, choice(options, "abs", "inc"), "PULSES"));
}

Command prepareJog(const Options& options) {
    const int cmd = choice(options, "rol", "ror") == 0 ? command::kJogRol : command::kJogRor;
    const CommandArgs jog = withNumber(options, cmd, 0, "SPEED");
    if (!options.forSeconds)
        return sendOne(jog);
    const std::chrono::milliseconds time{std::llround(*options.forSeconds * 1000)};
    return [jog, time](DriveSession& session, Report&) {
        timedJog(session, jog, time);
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
