#pragma once

#include <QString>

namespace dx400 {

// Port n is what the operator knows as "COM" + n. On Windows that is the device name
// itself. Elsewhere it is the device that the symbolic link
// $XDG_CONFIG_HOME/dx400/ports/COMn points to (XDG_CONFIG_HOME defaults to ~/.config),
// so a USB adapter can be named COM4 with one `ln -s`; without a link, COMn is
// /dev/ttyS<n-1> as on most PC serial ports.
QString portName(int n);

// The window probes COM1 to COM10 at start-up and offers COM1 to COM9 to connect.
inline constexpr int kProbedPorts = 10;
inline constexpr int kOfferedPorts = 9;
QString portDevice(int n);

// The folder holding the port links.
QString portLinkDirectory();

} // namespace dx400
