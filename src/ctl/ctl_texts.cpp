#include "ctl/ctl_texts.h"

namespace dx400::text::ctl {

namespace {

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::string hexByte(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string_view fieldName(ReplyField field) {
    switch (field) {
    case ReplyField::Start:
        return "start byte";
    case ReplyField::Command:
        return "command byte";
    case ReplyField::Status:
        return "status byte";
    case ReplyField::End:
        return "end byte";
    case ReplyField::Checksum:
        break;
    }
    return "checksum";
}

std::string sentTimes(int times) {
    return times > 1 ? ", sent " + std::to_string(times) + " times" : "";
}

} // namespace

std::string badOptionValue(std::string_view option, std::string_view expected,
                           std::string_view given) {
    return "--" + std::string(option) + ": expected " + std::string(expected) + ", got " +
           quoted(given);
}

std::string unknownCommand(std::string_view command) {
    return "unknown command " + quoted(command) + " (see dx400ctl --help)";
}

std::string usage(std::string_view commandLine) {
    return "usage: dx400ctl " + std::string(commandLine);
}

std::string optionNotFor(std::string_view option, std::string_view command) {
    return "--" + std::string(option) + " does not go with " + std::string(command);
}

std::string unknownName(std::string_view name, std::string_view known) {
    return "unknown name " + quoted(name) + " (known: " + std::string(known) + ")";
}

std::string givenTwice(std::string_view name) {
    return std::string(name) + " is given twice";
}

std::string notAByte(std::string_view text) {
    return quoted(text) + " is not a byte in hexadecimal (00 to FF)";
}

std::string notANumber(std::string_view what, std::string_view text) {
    return std::string(what) + " must be a whole number from -2147483648 to 2147483647, not " +
           quoted(text);
}

std::string cannotReadProfile(std::string_view path, std::string_view reason) {
    return "cannot read the profile " + std::string(path) + ": " + std::string(reason);
}

std::string cannotWriteProfile(std::string_view path, std::string_view reason) {
    return "cannot write the profile " + std::string(path) + ": " + std::string(reason);
}

std::string badProfileLine(std::string_view path, int number, std::string_view line,
                           std::string_view known) {
    return std::string(path) + ":" + std::to_string(number) + ": expected \"name = value\" with " +
           "one of " + std::string(known) + ", each once; got " + quoted(line);
}

std::string profileLacks(std::string_view path, std::string_view names) {
    return std::string(path) + " has no line for " + std::string(names);
}

std::string noReply(std::string_view frame, int timeoutMs, int times, std::string_view received) {
    return "no reply within " + std::to_string(timeoutMs) + " ms to " + std::string(frame) +
           sentTimes(times) +
           (received.empty() ? "" : " (received only " + std::string(received) + ")");
}

std::string badReply(std::string_view frame, const std::vector<ReplyMismatch>& mismatches,
                     std::string_view reply, int times) {
    std::string what;
    for (const ReplyMismatch& m : mismatches) {
        what += (what.empty() ? "" : ", ") + std::string(fieldName(m.field)) + " " +
                hexByte(m.found) + " where " + hexByte(m.expected) + " belongs";
    }
    return "bad reply to " + std::string(frame) + sentTimes(times) + ": " + what + ", in " +
           std::string(reply);
}

std::string unaskedReply(std::string_view reply, std::string_view frame, int times) {
    return "unasked reply " + std::string(reply) + " after the reply to " + std::string(frame) +
           sentTimes(times) +
           ": the drive answers twice or late, so a reply taken may answer another request";
}

std::string outOfStep(std::string_view frame, std::string_view failure) {
    return "the drive does not answer in step after a reply to " + std::string(frame) +
           " went missing: " + std::string(failure);
}

std::string differs(std::string_view name, int drive, int profile) {
    return std::string(name) + " is " + std::to_string(drive) + " on the drive, " +
           std::to_string(profile) + " in the profile";
}

std::string differences(std::size_t count) {
    return "verify found " + std::to_string(count) + (count == 1 ? " difference" : " differences");
}

std::string outOfRange(std::string_view name, int value, int highest) {
    return std::string(name) + " is " + std::to_string(value) + " on the drive, outside 0 to " +
           std::to_string(highest);
}

std::string valuesOutOfRange(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " value" : " values") +
           " read back outside the parameter's range: it cannot be written back as it is";
}

std::string jogInterrupted(std::string_view signal) {
    return "jog ended early by " + std::string(signal) + "; the motor was stopped";
}

std::string jogRunning(long long ms) {
    return "jogging; the stop frame goes in " + std::to_string(ms) + " ms, or at once on a signal";
}

std::string jogNotStarted(std::string_view signal) {
    return std::string(signal) + " came before the jog started; nothing was sent";
}

std::string jogSpeedOutOfRange(std::string_view given, int highest) {
    return "SPEED must be from 0 to " + std::to_string(highest) + ", not " + quoted(given) +
           " (a negative speed would turn the motor the other way: use rol or ror)";
}

std::string jogLineLost(std::string_view port) {
    return "the line to " + std::string(port) +
           " was lost during the jog: no stop frame went out, the motor may still be running";
}

std::string stopUnconfirmed(std::string_view failure) {
    return std::string(failure) +
           "; the stop frame went out, but that the motor stopped is not confirmed";
}

std::string writeInterrupted(std::string_view signal) {
    return std::string(signal) + " came while writing; every value was written first";
}

std::string watchEnded(std::string_view signal) {
    return std::string(signal) + " ended the watch; every sample taken was printed";
}

} // namespace dx400::text::ctl
