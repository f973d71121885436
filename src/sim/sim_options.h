#pragma once

#include "sim/drive_model.h"
#include "sim/faults.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dx400::sim {

// What the dx400-sim command line asks for.
struct SimOptions {
    int port = 4;
    Inputs inputs{};
    std::string logFile; // empty: log to standard output
    Faults faults;
    bool help = false;
};

struct ParsedOptions {
    SimOptions options;
    std::string error; // empty when the command line was understood
};

// Reads the arguments after the program name.
ParsedOptions parseArguments(const std::vector<std::string>& arguments);

// Three digits 0/1 for input 1, input 2, input 3 in that order: "100" = only input 1 on.
std::optional<Inputs> parseInputs(std::string_view text);

// The inputs written the same way, e.g. "100".
std::string formatInputs(const Inputs& inputs);

std::string usageText();

} // namespace dx400::sim
