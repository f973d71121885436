#pragma once

#include "sim/drive_model.h"
#include "sim/faults.h"
#include "sim/line_settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dx400::sim {

// What the dx400-sim command line asks for.
struct SimOptions {
    int port = 4;
    Inputs inputs{};
    std::string logFile;    // empty: log to standard output
    std::string replayFile; // a traffic log whose drive to play; empty: the model
    bool replayTiming = false;
    Faults faults;
    LineSettings line;
    bool help = false;
};

struct ParsedOptions {
    SimOptions options;
    std::string error; // empty when the command line was understood
};

// Reads the arguments after the program name.
ParsedOptions parseArguments(const std::vector<std::string>& arguments);

// The line settings, named on the command line (--NAME) and on the console as the option.
inline bool isLineSetting(std::string_view name) {
    return name == "line-rate" || name == "drive-speed";
}

// Sets line-rate (on or off) or drive-speed (bits per second) from its text; returns an
// error message, or "" when it was set.
std::string applyLineSetting(LineSettings& line, std::string_view name, std::string_view value);

// The tool's line speed, the drive's and the pace, e.g. "tool 9600 baud, drive 19200 baud,
// paced".
std::string describeLine(int toolRate, const LineSettings& line);

// Three digits 0/1 for input 1, input 2, input 3 in that order: "100" = only input 1 on.
std::optional<Inputs> parseInputs(std::string_view text);

// The inputs written the same way, e.g. "100".
std::string formatInputs(const Inputs& inputs);

std::string usageText();

} // namespace dx400::sim
