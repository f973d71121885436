#pragma once

#include "protocol/reply_check.h"

#include <string>
#include <string_view>
#include <vector>

// The messages of dx400ctl, the program for scripts, in one place. They are English, for
// the scripts and logs that read them; what the program shares with the window (the
// parameters' range and not-a-number messages, why a port did not open, a lost line)
// comes from operator_texts.h in the window's Korean words.
namespace dx400::text::ctl {

// The command line.
std::string badOptionValue(std::string_view option, std::string_view expected,
                           std::string_view given);
inline constexpr std::string_view kExpectedPort = "COMn or a device path";
inline constexpr std::string_view kExpectedTimeout = "a whole number of milliseconds from 1 up";
inline constexpr std::string_view kExpectedRetries = "a whole number from 0 to 100";
inline constexpr std::string_view kExpectedSeconds = "a number of seconds from 0.001 to 1000000";
inline constexpr std::string_view kCsvOrJson = "--csv and --json do not go together";
inline constexpr std::string_view kExpectedInterval =
    "a whole number of milliseconds from 1 to 3600000";
inline constexpr std::string_view kNegativeNumberHint =
    " (a negative number follows \"--\", as in: dx400ctl move inc -- -100)";
inline constexpr std::string_view kNoCommand = "no command given (see dx400ctl --help)";
std::string unknownCommand(std::string_view command);
std::string usage(std::string_view commandLine); // "usage: dx400ctl " + commandLine
std::string optionNotFor(std::string_view option, std::string_view command);
std::string unknownName(std::string_view name, std::string_view known);
std::string givenTwice(std::string_view name);
std::string notAByte(std::string_view text);
// move PULSES and jog SPEED take a whole signed 32-bit number.
std::string notANumber(std::string_view what, std::string_view text);

// Profiles; `save` finds out that it cannot write before it reads anything.
std::string cannotReadProfile(std::string_view path, std::string_view reason);
std::string cannotWriteProfile(std::string_view path, std::string_view reason);
std::string badProfileLine(std::string_view path, int number, std::string_view line,
                           std::string_view known);
std::string profileLacks(std::string_view path, std::string_view names);
inline constexpr std::string_view kProfileHeader =
    "# DX-400 drive parameters, one \"name = value\" line each (dx400ctl profile).\n"
    "# Lines starting with # or ; are comments.\n";

// Replies; frames and replies are given in the window's echo format, and `times` is how
// often the frame went.
// Each time waiting timeoutMs; `received` came after the last.
std::string noReply(std::string_view frame, int timeoutMs, int times, std::string_view received);
std::string badReply(std::string_view frame, const std::vector<ReplyMismatch>& mismatches,
                     std::string_view reply, int times);
// A reply came when none was awaited, after the one taken for `frame`: it or the one taken
// may answer another request.
std::string unaskedReply(std::string_view reply, std::string_view frame, int times);
// After a reply to `frame` went missing, a harmless request got `failure` instead of its
// own answer: the drive answers a request late.
std::string outOfStep(std::string_view frame, std::string_view failure);

// verify.
std::string differs(std::string_view name, int drive, int profile);
std::string differences(std::size_t count);

// A parameter read back holds a value outside 0 to `highest`, which no write can give it.
std::string outOfRange(std::string_view name, int value, int highest);
std::string valuesOutOfRange(std::size_t count);

// --verbose: a timed jog runs and will be stopped in `ms` milliseconds.
std::string jogRunning(long long ms);
// The jog speed given is outside 0 to `highest`.
std::string jogSpeedOutOfRange(std::string_view given, int highest);

// A timed jog ended early by a signal, once a stop frame was answered; a signal before the
// jog frame went, which sends nothing. A write, which a signal does not cut short, ended
// by one.
std::string jogInterrupted(std::string_view signal);
std::string jogNotStarted(std::string_view signal);
std::string writeInterrupted(std::string_view signal);
std::string watchEnded(std::string_view signal);
// A timed jog whose line was lost: no stop frame could go out.
std::string jogLineLost(std::string_view port);
// The stop frame of a timed jog went out, but `failure` came of it.
std::string stopUnconfirmed(std::string_view failure);

// Whether a port opens, in the list of ports.
inline constexpr std::string_view kPortOpens = "opens";
inline constexpr std::string_view kPortMissing = "no such device";
inline constexpr std::string_view kPortBusy = "in use by another program";
inline constexpr std::string_view kPortDenied = "no permission";
inline constexpr std::string_view kPortRateRefused = "speed not supported";
inline constexpr std::string_view kPortNotSerial = "not a serial device";

} // namespace dx400::text::ctl
