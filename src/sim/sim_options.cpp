#include "sim/sim_options.h"

#include <algorithm>
#include <strings.h>

namespace dx400::sim {

namespace {

constexpr int kHighestPort = 255;

// "COM4" (any case) or "4" to 4; ports run from 1 to 255.
std::optional<int> parsePortName(std::string_view text) {
    if (text.size() >= 3 && ::strncasecmp(text.data(), "COM", 3) == 0) {
        text.remove_prefix(3);
    }
    const auto port = parseCount(text);
    return port && *port >= 1 && *port <= kHighestPort ? port : std::nullopt;
}

} // namespace

std::optional<Inputs> parseInputs(std::string_view text) {
    Inputs inputs{};
    if (text.size() != inputs.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (text[i] != '0' && text[i] != '1') {
            return std::nullopt;
        }
        inputs[i] = text[i] == '1';
    }
    return inputs;
}

std::string formatInputs(const Inputs& inputs) {
    std::string text;
    for (const bool on : inputs) {
        text += on ? '1' : '0';
    }
    return text;
}

std::string applyLineSetting(LineSettings& line, std::string_view name, std::string_view value) {
    if (name == "line-rate") {
        if (value != "on" && value != "off") {
            return "line-rate: expected on or off";
        }
        line.paced = value == "on";
        return {};
    }
    const auto rate = parseCount(value);
    if (!rate || *rate == 0) {
        return "drive-speed: expected bits per second, e.g. 19200";
    }
    line.driveRate = *rate;
    return {};
}

std::string describeLine(int toolRate, const LineSettings& line) {
    return "tool " + std::to_string(toolRate) + " baud, drive " + std::to_string(line.driveRate) +
           " baud, " + (line.paced ? "paced" : "not paced");
}

ParsedOptions parseArguments(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    SimOptions& options = parsed.options;
    std::string& error = parsed.error;
    for (std::size_t i = 0; i < arguments.size() && error.empty(); ++i) {
        const std::string& argument = arguments[i];
        const std::string name = argument.starts_with("--") ? argument.substr(2) : "";
        const FaultSetting* fault = findFault(name);
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--replay-timing") {
            options.replayTiming = true;
        } else if (fault != nullptr && fault->isSwitch()) {
            fault->set(options.faults, "on");
        } else if (fault == nullptr && !isLineSetting(name) && name != "port" && name != "inputs" &&
                   name != "log" && name != "replay") {
            error = "unknown option " + argument;
        } else if (i + 1 == arguments.size()) {
            error = argument + " needs a value";
        } else if (const std::string& value = arguments[++i]; fault != nullptr) {
            error = fault->set(options.faults, value);
            error.insert(0, error.empty() ? "" : "--");
        } else if (isLineSetting(name)) {
            error = applyLineSetting(options.line, name, value);
            error.insert(0, error.empty() ? "" : "--");
        } else if (name == "port") {
            const auto port = parsePortName(value);
            options.port = port.value_or(options.port);
            error = port ? "" : "--port: expected COM1 to COM255, got " + value;
        } else if (name == "inputs") {
            const auto inputs = parseInputs(value);
            options.inputs = inputs.value_or(options.inputs);
            error = inputs ? "" : "--inputs: expected three digits 0 or 1, got " + value;
        } else {
            (name == "log" ? options.logFile : options.replayFile) = value;
        }
    }
    return parsed;
}

std::string usageText() {
    std::string text =
        "Usage: dx400-sim [options]\n"
        "Simulates a DX-400 drive on a pseudo-terminal published as a COM port of the tool\n"
        "($XDG_CONFIG_HOME/dx400/ports/COMn, ~/.config when unset).\n\n"
        "  --port COMn        port to publish (default COM4)\n"
        "  --inputs DDD       input 1, input 2, input 3 as 0/1 digits (default 000)\n"
        "  --log FILE         write the traffic log to FILE instead of standard output\n"
        "  --replay LOG       play the drive recorded in a traffic log (of the window,\n"
        "                     dx400ctl or dx400-sim): each frame gets the answer that\n"
        "                     followed it there, in recorded order; UNSEEN: none recorded\n"
        "  --replay-timing    answer as late as the recording did\n"
        "  --line-rate on|off on (default): every byte takes its time on the wire at the\n"
        "                     speed the tool set, both ways (10 bits: 83 ms a reply at 1200),\n"
        "                     so the tool meets a real line's timing; off: bytes pass at once\n"
        "  --drive-speed RATE the drive's own line speed (default 19200); bytes the tool sends\n"
        "                     at another speed reach the drive garbled, as a UART reads them\n"
        "  --help             show this text\n\n"
        "Faults (on the console: fault NAME on|off|VALUE):\n";
    constexpr std::size_t kColumn = 19;
    for (const FaultSetting& fault : kFaultSettings) {
        std::string option = "--" + std::string(fault.name) + " " + std::string(fault.argument);
        option.resize(std::max(option.size() + 1, kColumn), ' ');
        text += "  " + option + std::string(fault.help) + "\n";
    }
    text +=
        "\nThe log begins with a header line (# dx400-sim VERSION port= device= speed= start=),\n"
        "then: <microseconds since> RX|TX|BAD|STRAY|NOISE|HUP|GARBLED|UNSEEN <hex>\n"
        "RX is stamped when a frame's last byte has reached the drive, TX when a reply's\n"
        "first byte goes out; GARBLED is what the drive read at another speed than the tool's.\n"
        "Type 'help' while running for console commands. Ends on Ctrl-C or SIGTERM;\n"
        "the end of standard input does not end it.\n";
    return text;
}

} // namespace dx400::sim
