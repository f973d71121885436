#include "sim/port_claim.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace dx400::sim {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPtyFolder = "/dev/pts/";

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

fs::path portsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    fs::path base;
    if (config != nullptr && *config != '\0') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = fs::path(home) / ".config";
    } else {
        throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set");
    }
    return base / "dx400" / "ports";
}

PortClaim::PortClaim(fs::path folder, std::string portName) : m_link(folder / portName) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        throw std::runtime_error("cannot create " + folder.string() + ": " + error.message());
    }
    const fs::path lockPath = folder / ("." + portName + ".lock");
    m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lockFd < 0) {
        throw systemError("cannot open " + lockPath.string());
    }
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        const int lockError = errno;
        release();
        if (lockError == EWOULDBLOCK) {
            throw std::runtime_error(portName + " is already served by a running simulator (" +
                                     m_link.string() + ")");
        }
        throw std::runtime_error("cannot lock " + lockPath.string() + ": " +
                                 std::strerror(lockError));
    }
    const fs::path target = fs::read_symlink(m_link, error);
    if (!error && fs::exists(target, error) && !target.string().starts_with(kPtyFolder)) {
        release();
        throw std::runtime_error(m_link.string() + " points to the device " + target.string() +
                                 ", which is not a simulator's; remove the link first");
    }
}

PortClaim::~PortClaim() {
    release();
}

void PortClaim::publish(const std::string& device) {
    // A new link renamed over the old one replaces it in one step.
    const fs::path fresh = m_link.parent_path() / ("." + m_link.filename().string() + ".new");
    std::error_code error;
    fs::remove(fresh, error);
    fs::create_symlink(device, fresh);
    fs::rename(fresh, m_link);
    m_device = device;
}

void PortClaim::release() {
    if (!m_device.empty()) {
        std::error_code error;
        if (fs::read_symlink(m_link, error) == m_device && !error) {
            fs::remove(m_link, error);
        }
        m_device.clear();
    }
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

} // namespace dx400::sim
