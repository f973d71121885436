#pragma once

#include "ctl/drive_session.h"
#include "ctl/report.h"

#include <functional>

namespace dx400::ctl {

// A command with its arguments and values checked, ready to run: the session opens the
// port at the first frame, so a command that sends none (ports) never opens it.
using Command = std::function<void(DriveSession&, Report&)>;

// The command that the options name. Throws Failure, Usage or ValueRefused, before
// anything is sent: a script never leaves a drive half-written.
Command prepareCommand(const Options& options);

// The commands of the parameter set (parameter_commands.cpp), of motion and I/O
// (drive_commands.cpp) and the list of ports (port_list.cpp), each given the options of a
// command line whose argument count and command options prepareCommand has checked.
Command prepareRead(const Options& options);
Command prepareWrite(const Options& options);
Command prepareSave(const Options& options);
Command prepareVerify(const Options& options);
Command prepareMove(const Options& options);
Command prepareJog(const Options& options);
Command prepareStop(const Options& options);
Command prepareOutput(const Options& options);
Command prepareInputs(const Options& options);
Command preparePosition(const Options& options);
Command prepareSend(const Options& options);
Command preparePorts(const Options& options);
Command prepareWatch(const Options& options);

// Failure (Usage) with the usage line of the options' command.
Failure usageFailure(const Options& options);

} // namespace dx400::ctl
