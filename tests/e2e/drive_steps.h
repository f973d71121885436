#pragma once

#include "sim_fixture.h"

#include <QString>
#include <optional>

namespace dx400::e2e {

// Common operator steps against the simulated drive, each waiting until the window has
// finished with it. They return false (or nothing) when the step did not complete in
// time; the caller decides whether that fails the test.

// Clicks a button that sends one frame, waits for the drive to get it and for the window
// to read the answer.
bool sendOne(SimFixture& f, const char* button);

// READ POSITION: returns the text Text_RPOS shows once the reply is handled.
std::optional<QString> readPosition(SimFixture& f);

// READ ALL: waits for all six requests and for read_state to fall back to 0.
bool readAll(SimFixture& f);

} // namespace dx400::e2e
