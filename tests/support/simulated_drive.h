#pragma once

#include "port_links.h"
#include "sim/pty_server.h"

#include <QStringList>
#include <algorithm>
#include <iterator>
#include <sstream>

namespace dx400::test {

// The words of a line, as a command line without quotes gives them, e.g. "--delay 500".
inline std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

// What the drive logged of these kinds (by default all it read), " | " between the entries.
inline QString received(const sim::PtyServer& drive,
                        std::initializer_list<sim::LogKind> kinds = {
                            sim::LogKind::Rx, sim::LogKind::Bad, sim::LogKind::Stray,
                            sim::LogKind::Garbled}) {
    QStringList read;
    for (const sim::LogEntry& entry : drive.log())
        if (std::ranges::count(kinds, entry.kind))
            read << QString::fromStdString(sim::toHex(entry.bytes));
    return read.join(" | ");
}

// When the drive logged each entry of a kind, in µs (Rx: frames received, Tx: replies sent).
inline std::vector<std::int64_t> times(const sim::PtyServer& drive, sim::LogKind kind) {
    std::vector<std::int64_t> found;
    for (const sim::LogEntry& entry : drive.log())
        if (entry.kind == kind)
            found.push_back(entry.timeUs);
    return found;
}

// A simulated drive served from a thread of this process as COM4, every other port at nothing.
struct SimulatedDrive {
    OnlyPort ports{4};
    sim::PtyServer drive;

    explicit SimulatedDrive(const sim::LineSettings& line = {}) : drive(4, {}, {}, line) {
        drive.start();
    }
};

} // namespace dx400::test
