#pragma once

namespace dx400::sim {

// How the line between the tool and the simulated drive behaves, beside the Faults, which
// are the drive misbehaving on purpose. The default is a real line's behaviour.
struct LineSettings {
    // Bytes take their time on the wire at the speed the tool set, both ways, so the tool
    // meets a real line's timing (a reply takes 83 ms at 1200); off, they pass at once.
    bool paced = true;
    // The drive's own line speed; bytes the tool sends at another speed reach it garbled.
    int driveRate = 19200;
};

} // namespace dx400::sim
