#pragma once

#include "port_links.h"
#include "sim/pty_server.h"

#include <QStringList>

namespace dx400::test {

// A simulated drive served from a thread of this process and published as COM4, in a
// fresh XDG_CONFIG_HOME in which every other port stands for nothing.
struct SimulatedDrive {
    OnlyPort ports{4};
    sim::PtyServer drive;

    explicit SimulatedDrive(const sim::Faults& faults = {}, const sim::LineSettings& line = {})
        : drive(4, faults, sim::Inputs{}, line) {
        drive.start();
    }

    // What the drive read of the tool's bytes, "AA 00 06 ..." for each frame (and for each
    // run of bytes that made none), " | " between them.
    QString received() const {
        QStringList read;
        for (const sim::LogEntry& entry : drive.log()) {
            using Kind = sim::LogKind;
            if (entry.kind != Kind::Tx && entry.kind != Kind::Noise && entry.kind != Kind::HangUp)
                read << QString::fromStdString(sim::toHex(entry.bytes));
        }
        return read.join(" | ");
    }
};

} // namespace dx400::test
