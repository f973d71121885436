#pragma once

#include "hex_bytes.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace dx400::sim::test {

// A fresh $XDG_CONFIG_HOME for one test, removed again afterwards.
class TempConfigHome {
public:
    TempConfigHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dx400-sim-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
            m_old = old;
        }
        ::setenv("XDG_CONFIG_HOME", m_path.c_str(), 1);
    }
    ~TempConfigHome() {
        if (m_old.empty()) {
            ::unsetenv("XDG_CONFIG_HOME");
        } else {
            ::setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    std::filesystem::path path() const { return m_path; }
    std::filesystem::path link(const std::string& port) const {
        return m_path / "dx400" / "ports" / port;
    }

private:
    std::filesystem::path m_path;
    std::string m_old;
};

// Opens a serial device the way the tool does, optionally setting it raw first.
inline int openLine(const std::filesystem::path& device, bool setRaw = true) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && setRaw) {
        termios settings{};
        ::tcgetattr(fd, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

inline bool writeHex(int fd, const std::string& text) {
    const auto bytes = hexBytes(text);
    return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

// Reads until count bytes came or the timeout passed; returns what came.
inline std::vector<std::uint8_t> readBytes(int fd, std::size_t count,
                                           std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0 ||
            !(ready.revents & POLLIN)) {
            break;
        }
        std::uint8_t buffer[256];
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0) {
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

} // namespace dx400::sim::test
