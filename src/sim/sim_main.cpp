// dx400-sim: a simulated DX-400 drive on a pseudo-terminal, published as one of the
// tool's COM ports, so the tool can be tried and tested without a real drive.

#include "sim/console.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

using namespace dx400::sim;

namespace {

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

void print(std::FILE* out, const std::string& text) {
    std::fputs(text.c_str(), out);
    std::fflush(out);
}

// Runs console lines from standard input until a quit or an ending signal. The end of
// standard input only stops the reading: a simulator in the background of a script
// keeps serving.
void serveUntilEnd(PtyServer& server, int signalFd) {
    bool stdinOpen = true;
    std::string pending;
    while (true) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (::poll(fds, stdinOpen ? 2 : 1, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[0].revents & POLLIN) {
            return;
        }
        if (!stdinOpen || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            continue;
        }
        char buffer[256];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) {
            stdinOpen = false;
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(count));
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            const ConsoleReply reply = runConsoleLine(pending.substr(0, end), server);
            pending.erase(0, end + 1);
            print(stdout, reply.text);
            if (reply.quit) {
                return;
            }
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

    std::FILE* log = stdout;
    if (!options.logFile.empty()) {
        log = std::fopen(options.logFile.c_str(), "w");
        if (log == nullptr) {
            print(stderr, "dx400-sim: cannot write " + options.logFile + "\n");
            return 1;
        }
    }
    const int signalFd = blockEndingSignals();

    PtyServer server(options.port, options.faults, options.inputs);
    server.setLogSink([log](const LogEntry& entry) { print(log, formatLogLine(entry) + "\n"); });
    try {
        server.start();
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
