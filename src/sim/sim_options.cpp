#include "sim/sim_options.h"

#include <algorithm>
#include <cctype>

namespace dx400::sim {

namespace {

constexpr int kHighestPort = 255;

} // namespace

std::optional<int> parsePortName(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    std::string_view number = upper;
    if (number.starts_with("COM")) {
        number.remove_prefix(3);
    }
    const auto port = parseCount(number);
    if (!port || *port < 1 || *port > kHighestPort) {
        return std::nullopt;
    }
    return port;
}

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

ParsedOptions parseArguments(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    SimOptions& options = parsed.options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        const std::string name = argument.starts_with("--") ? argument.substr(2) : "";
        const FaultSetting* fault = findFault(name);
        if (fault != nullptr && fault->isSwitch()) {
            fault->set(options.faults, "on");
            continue;
        }
        if (name != "port" && name != "inputs" && name != "log" && fault == nullptr) {
            parsed.error = "unknown option " + argument;
            return parsed;
        }
        if (i + 1 == arguments.size()) {
            parsed.error = argument + " needs a value";
            return parsed;
        }
        const std::string& value = arguments[++i];
        if (name == "port") {
            const auto port = parsePortName(value);
            if (!port) {
                parsed.error = "--port: expected COM1 to COM255, got " + value;
                return parsed;
            }
            options.port = *port;
        } else if (name == "inputs") {
            const auto inputs = parseInputs(value);
            if (!inputs) {
                parsed.error = "--inputs: expected three digits 0 or 1, got " + value;
                return parsed;
            }
            options.inputs = *inputs;
        } else if (name == "log") {
            options.logFile = value;
        } else {
            parsed.error = fault->set(options.faults, value);
            if (!parsed.error.empty()) {
                parsed.error = "--" + parsed.error;
                return parsed;
            }
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
        "  --help             show this text\n\n"
        "Faults (on the console: fault NAME on|off|VALUE):\n";
    constexpr std::size_t kColumn = 19;
    for (const FaultSetting& fault : kFaultSettings) {
        std::string option = "--" + std::string(fault.name) + " " + std::string(fault.argument);
        option.resize(std::max(option.size() + 1, kColumn), ' ');
        text += "  " + option + std::string(fault.help) + "\n";
    }
    text += "\nLog lines: <CLOCK_MONOTONIC microseconds> RX|TX|BAD|STRAY|NOISE|HUP <hex bytes>\n"
            "Type 'help' while running for console commands. Ends on Ctrl-C or SIGTERM;\n"
            "the end of standard input does not end it.\n";
    return text;
}

} // namespace dx400::sim
