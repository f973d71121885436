#include "sim/pty_server.h"

#include "sim/port_claim.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace dx400::sim {

namespace {

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

// Opens a raw pseudo-terminal and returns its master, non-blocking; the slave is closed
// again at once, so the master sees a hang-up until the tool opens the device.
int openRawPty(std::string& device) {
    termios raw{};
    cfmakeraw(&raw);
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, &raw, nullptr) != 0) {
        throw systemError("cannot open a pseudo-terminal");
    }
    char name[PATH_MAX] = {};
    const int nameError = ::ptsname_r(master, name, sizeof name);
    ::close(slave);
    if (nameError != 0 || ::fcntl(master, F_SETFL, O_NONBLOCK) != 0 ||
        ::fcntl(master, F_SETFD, FD_CLOEXEC) != 0) {
        ::close(master);
        throw std::runtime_error("cannot set up the pseudo-terminal");
    }
    device = name;
    return master;
}

} // namespace

PtyServer::PtyServer(int portNumber, const Faults& faults, const Inputs& inputs)
    : m_portNumber(portNumber), m_state(faults, inputs) {}

PtyServer::~PtyServer() {
    stop();
}

void PtyServer::setLogSink(LogSink sink) {
    m_state.setLogSink(std::move(sink));
}

std::filesystem::path PtyServer::linkPath() const {
    return portsFolder() / portName();
}

void PtyServer::start() {
    if (m_claim) {
        throw std::logic_error("the simulator is already started");
    }
    auto claim = std::make_unique<PortClaim>(portsFolder(), portName());
    m_control.wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_control.wakeFd < 0) {
        throw systemError("cannot create an event fd");
    }
    std::string device;
    try {
        m_loop = std::make_unique<ServeLoop>(openRawPty(device), m_control, m_state);
        claim->publish(device);
    } catch (...) {
        stop();
        throw;
    }
    m_claim = std::move(claim);
    m_device = device;
    m_control.stop = false;
    m_control.hangUp = false;
    m_thread = std::thread([this] { m_loop->run(); });
}

void PtyServer::stop() {
    if (m_thread.joinable()) {
        m_control.stop = true;
        m_control.wake();
        m_thread.join();
    }
    m_loop.reset();
    if (m_control.wakeFd >= 0) {
        ::close(m_control.wakeFd);
        m_control.wakeFd = -1;
    }
    m_claim.reset();
}

void PtyServer::hangUp() {
    m_control.hangUp = true;
    if (m_control.wakeFd >= 0) {
        m_control.wake();
    }
}

void PtyServer::setFaults(const Faults& faults) {
    m_state.setFaults(faults);
    if (m_control.wakeFd >= 0) {
        m_control.wake(); // a flood starts at once
    }
}

} // namespace dx400::sim
