#include "sim/console.h"

#include "sim/pty_server.h"
#include "sim/sim_options.h"

#include <sstream>

namespace dx400::sim {

namespace {

constexpr std::string_view kHelp = "commands:\n"
                                   "  status                   counts, drive state and faults\n"
                                   "  inputs DDD               set input 1, 2, 3, e.g. inputs 101\n"
                                   "  fault NAME [VALUE]       set a fault (on, off or a number)\n"
                                   "  fault clear              switch every fault off\n"
                                   "  hangup                   hang up the line now\n"
                                   "  quit                     end the simulator\n";

std::string statusText(const PtyServer& server) {
    const TrafficCounts counts = server.counts();
    const DriveState drive = server.driveState();
    std::ostringstream text;
    text << server.portName() << " -> " << server.devicePath()
         << (counts.hungUp ? " (hung up)" : "") << "\n"
         << "frames received " << counts.framesReceived << ", replies sent " << counts.repliesSent
         << ", bad frames " << counts.badFrames << ", stray bytes " << counts.strayBytes << "\n"
         << "position " << drive.position << ", jog speed " << drive.jogSpeed << ", output "
         << (drive.output ? "on" : "off") << ", inputs " << formatInputs(drive.inputs) << "\n"
         << "parameters";
    for (const auto& [index, value] : drive.parameters) {
        text << " " << index << "=" << value;
    }
    text << "\nfaults " << describeFaults(server.faults()) << "\n";
    return text.str();
}

} // namespace

ConsoleReply runConsoleLine(std::string_view line, PtyServer& server) {
    std::istringstream words{std::string(line)};
    std::string command;
    std::string first;
    std::string second;
    words >> command >> first >> second;

    if (command.empty()) {
        return {};
    }
    if (command == "quit" || command == "exit") {
        return {"", true};
    }
    if (command == "status") {
        return {statusText(server)};
    }
    if (command == "hangup") {
        server.hangUp();
        return {"hanging up\n"};
    }
    if (command == "inputs") {
        const auto inputs = parseInputs(first);
        if (!inputs) {
            return {"inputs: expected three digits 0 or 1, e.g. inputs 101\n"};
        }
        server.setInputs(*inputs);
        return {"inputs " + formatInputs(*inputs) + "\n"};
    }
    if (command == "fault") {
        Faults faults = server.faults();
        if (first == "clear") {
            faults = {};
        } else {
            const FaultSetting* fault = findFault(first);
            const std::string value = second.empty() && fault && fault->isSwitch() ? "on" : second;
            if (const std::string error = applyFaultSetting(faults, first, value); !error.empty()) {
                return {error + "\n"};
            }
        }
        server.setFaults(faults);
        return {"faults " + describeFaults(faults) + "\n"};
    }
    const std::string unknown = command == "help" ? "" : "unknown command " + command + "\n";
    return {unknown + std::string(kHelp)};
}

} // namespace dx400::sim
