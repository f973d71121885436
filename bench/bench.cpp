#include "bench.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <pty.h>
#include <stdexcept>
#include <termios.h>

namespace dx400::bench {

double median(std::vector<double> samples) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t mid = samples.size() / 2;
    return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

double worst(const std::vector<double>& samples) {
    return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}

double smallest(const std::vector<double>& samples) {
    return samples.empty() ? 0 : *std::min_element(samples.begin(), samples.end());
}

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void Row::print(const std::string& note) const {
    std::cout << "| " << figure << " | " << median << " | " << worst << " | " << runs << " | "
              << limit << " | " << ratio << " | "
              << (!met   ? "no goal"
                  : *met ? "met"
                         : "**missed**");
    if (!note.empty())
        std::cout << " (" << note << ")";
    std::cout << " |" << std::endl;
}

Row summaryRow(const std::string& figure, const std::vector<double>& samples, int decimals,
               double scale) {
    return {figure, fixed(median(samples) * scale, decimals),
            fixed(worst(samples) * scale, decimals), samples.size()};
}

std::int64_t monotonicMicros() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1'000;
}

long statusValue(const std::string& path, const std::string& key) {
    std::ifstream status(path);
    long value = 0;
    for (std::string word; status >> word; status.ignore(4096, '\n')) {
        if (word == key && status >> value)
            return value;
    }
    return 0;
}

std::string option(int argc, char** argv, const std::string& name, const std::string& fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] == name)
            return argv[i + 1];
    }
    return fallback;
}

int option(int argc, char** argv, const std::string& name, int fallback) {
    return std::stoi(option(argc, argv, name, std::to_string(fallback)));
}

RawPty openRawPty() {
    termios raw{};
    cfmakeraw(&raw);
    RawPty pty;
    char name[256] = {};
    if (::openpty(&pty.master, &pty.slave, name, &raw, nullptr) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    pty.name = name;
    return pty;
}

ConfigHome::ConfigHome(int used) {
    m_path = (std::filesystem::temp_directory_path() / "dx400-bench-XXXXXX").string();
    if (!::mkdtemp(m_path.data()))
        throw std::runtime_error("cannot make a temporary configuration folder");
    ::setenv("XDG_CONFIG_HOME", m_path.c_str(), 1);
    std::filesystem::create_directories(m_path + "/dx400/ports");
    for (int n = 1; n <= 10; ++n) {
        if (n != used)
            linkPort(n, "/nonexistent/dx400-bench-port");
    }
}

ConfigHome::~ConfigHome() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void ConfigHome::linkPort(int n, const std::string& target) const {
    std::filesystem::create_symlink(target, m_path + "/dx400/ports/COM" + std::to_string(n));
}

} // namespace dx400::bench
