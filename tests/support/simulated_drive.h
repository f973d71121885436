#pragma once

#include "port_links.h"
#include "sim/pty_server.h"

#include <QStringList>

namespace dx400::test {

// A simulated drive served from a thread of this process as COM4, every other port at nothing.
struct SimulatedDrive {
    OnlyPort ports{4};
    sim::PtyServer drive;

    explicit SimulatedDrive(const sim::Faults& faults = {}, const sim::LineSettings& line = {})
        : drive(4, faults, sim::Inputs{}, line) {
        drive.start();
    }

    // What the drive read: "AA 00 06 ..." per frame or run of stray bytes, " | " between them.
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
