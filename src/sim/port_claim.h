#pragma once

#include <filesystem>
#include <string>

namespace dx400::sim {

// The folder where the tool looks for port links: $XDG_CONFIG_HOME/dx400/ports, with
// $XDG_CONFIG_HOME defaulting to ~/.config. Throws std::runtime_error if neither
// XDG_CONFIG_HOME nor HOME is set.
std::filesystem::path portsFolder();

// One simulator's hold on a port name such as "COM4". The tool opens the device that the
// link <folder>/COM4 points to. A simulator keeps an exclusive lock on <folder>/.COM4.lock
// for as long as it lives (the system drops the lock when the process dies), so a second
// simulator can tell a live link from one left behind by a crash.
class PortClaim {
public:
    // Creates the folder and takes the lock. Throws std::runtime_error when a live
    // simulator holds the port, or when the link points to an existing device that is not
    // a pseudo-terminal (someone's real adapter, which is never replaced).
    PortClaim(std::filesystem::path folder, std::string portName);
    ~PortClaim();
    PortClaim(const PortClaim&) = delete;
    PortClaim& operator=(const PortClaim&) = delete;

    // Points the link at device, replacing whatever link was left there.
    void publish(const std::string& device);

    // Removes the link if it still points at the published device, and drops the lock.
    void release();

    std::filesystem::path linkPath() const { return m_link; }

private:
    std::filesystem::path m_link;
    std::string m_device;
    int m_lockFd = -1;
};

} // namespace dx400::sim
