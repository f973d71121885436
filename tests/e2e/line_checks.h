#pragma once

#include "sim_fixture.h"

#include <QString>

namespace dx400::e2e {

// The message the window gives when an open line is lost.
inline const QString kLineLostOnCom4 = QStringLiteral("통신 연결이 끊어졌습니다: COM4");

// Checks (with gtest expectations) that the window shows itself not connected: choices
// and connect button enabled, the eleven command buttons disabled, rxled white,
// read_state 0 and the port closed.
void expectNotConnected(SimFixture& f);

// Replaces the fixture's drive, which must be gone or hung up, by a new one on COM4,
// connects to it and reads the position: the new drive's first frame must be that
// request, byte for byte, and the window must show its answer.
void expectReconnectToANewDrive(SimFixture& f);

} // namespace dx400::e2e
