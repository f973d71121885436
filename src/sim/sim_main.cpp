// dx400-sim: a simulated DX-400 drive on a pseudo-terminal, published as one of the
// tool's COM ports, so the tool can be tried and tested without a real drive.

#include "sim/pty_server.h"
#include "sim/sim_options.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace dx400::sim;

namespace {

constexpr const char* kConsoleHelp =
    "commands:\n"
    "  status                   counts, drive state and faults\n"
    "  inputs DDD               set input 1, 2, 3, e.g. inputs 101\n"
    "  fault NAME [VALUE]       set a fault (on, off or a number)\n"
    "  fault clear              switch every fault off\n"
    "  line-rate on|off         pace bytes at the tool's line speed, or pass them at once\n"
    "  drive-speed RATE         the drive's own line speed\n"
    "  hangup                   hang up the line now\n"
    "  quit                     end the simulator\n";

std::string statusText(const PtyServer& server) {
    const TrafficCounts counts = server.counts();
    const DriveState drive = server.driveState();
    std::ostringstream text;
    text << server.portName() << " -> " << server.devicePath()
         << (counts.hungUp ? " (hung up)" : "") << ", "
         << describeLine(server.toolRate(), server.line()) << "\n"
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

// Carries out one line typed on standard input and returns what to print; sets quit.
std::string runConsoleLine(const std::string& line, PtyServer& server, bool& quit) {
    std::istringstream words(line);
    std::string command;
    std::string first;
    std::string second;
    words >> command >> first >> second;
    if (command.empty() || command == "quit") {
        quit = !command.empty();
        return "";
    }
    if (command == "status") {
        return statusText(server);
    }
    if (command == "hangup") {
        server.hangUp();
        return "hanging up\n";
    }
    if (command == "inputs") {
        const auto inputs = parseInputs(first);
        if (inputs) {
            server.setInputs(*inputs);
        }
        return inputs ? "inputs " + formatInputs(*inputs) + "\n"
                      : "inputs: expected three digits 0 or 1, e.g. inputs 101\n";
    }
    if (command == "fault") {
        Faults faults; // "fault clear" switches every fault off
        std::string error;
        if (first != "clear") {
            faults = server.faults();
            const FaultSetting* fault = findFault(first);
            // A switch named alone is switched on.
            error = applyFaultSetting(faults, first,
                                      second.empty() && fault && fault->isSwitch() ? "on" : second);
        }
        if (!error.empty()) {
            return error + "\n";
        }
        server.setFaults(faults);
        return "faults " + describeFaults(faults) + "\n";
    }
    if (isLineSetting(command)) {
        LineSettings settings = server.line();
        const std::string error = applyLineSetting(settings, command, first);
        if (error.empty()) {
            server.setLine(settings);
        }
        return (error.empty() ? describeLine(server.toolRate(), settings) : error) + "\n";
    }
    return (command == "help" ? "" : "unknown command " + command + "\n") + kConsoleHelp;
}

void print(std::FILE* out, const std::string& text) {
    std::fputs(text.c_str(), out);
    std::fflush(out);
}

// Ctrl-C, SIGTERM and a closed terminal are taken through a signalfd, so the main loop
// ends in order and the link is removed. Blocked before any thread starts, so every
// thread inherits the block.
int blockEndingSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return signalfd(-1, &signals, SFD_CLOEXEC);
}

// Runs console lines from standard input until a quit or an ending signal. The end of
// standard input only stops the reading: a simulator in the background of a script
// keeps serving.
void serveUntilEnd(PtyServer& server, int signalFd) {
    bool stdinOpen = true;
    bool quit = false;
    std::string pending;
    while (!quit) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int ready = ::poll(fds, stdinOpen ? 2 : 1, -1);
        if ((ready < 0 && errno != EINTR) || (fds[0].revents & POLLIN)) {
            return;
        }
        if (ready <= 0 || !stdinOpen || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            continue;
        }
        char buffer[256];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        stdinOpen = count > 0;
        pending.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
        for (auto end = pending.find('\n'); end != std::string::npos && !quit;
             end = pending.find('\n')) {
            print(stdout, runConsoleLine(pending.substr(0, end), server, quit));
            pending.erase(0, end + 1);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = parseArguments({argv + 1, argv + argc});
    if (!parsed.error.empty()) {
        print(stderr, "dx400-sim: " + parsed.error + "\n(see dx400-sim --help)\n");
        return 2;
    }
    const SimOptions& options = parsed.options;
    if (options.help) {
        print(stdout, usageText());
        return 0;
    }

    std::FILE* log = options.logFile.empty() ? stdout : std::fopen(options.logFile.c_str(), "w");
    if (log == nullptr) {
        print(stderr, "dx400-sim: cannot write " + options.logFile + "\n");
        return 1;
    }
    const int signalFd = blockEndingSignals();

    PtyServer server(options.port, options.faults, options.inputs, options.line);
    if (!options.replayFile.empty()) {
        try {
            server.setReplay(ReplayScript::load(options.replayFile), options.replayTiming);
        } catch (const std::exception& error) {
            print(stderr, std::string("dx400-sim: ") + error.what() + "\n");
            return 1;
        }
    }
    // The header goes first, once the device is known: before the first entry, which the
    // serving thread may log before start() has returned here, or right after start().
    const std::int64_t startUs = monotonicMicros();
    std::once_flag headerWritten;
    const auto writeHeader = [&] {
        print(log, formatLogHeader(server.portName(), server.devicePath(), options.line.driveRate,
                                   startUs) +
                       "\n");
    };
    server.setLogSink([&](const LogEntry& entry) {
        std::call_once(headerWritten, writeHeader);
        print(log, formatLogLine(entry, startUs) + "\n");
    });
    try {
        server.start();
        std::call_once(headerWritten, writeHeader);
    } catch (const std::exception& error) {
        print(stderr, std::string("dx400-sim: ") + error.what() + "\n");
        return 1;
    }
    print(stdout, "dx400-sim: " + server.portName() + " -> " + server.devicePath() + " (" +
                      server.linkPath().string() + ")\n");

    serveUntilEnd(server, signalFd);
    server.stop();
    if (log != stdout) {
        std::fclose(log);
    }
    return 0;
}
