#include "bench.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

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
    const std::string link = m_path + "/dx400/ports/COM" + std::to_string(n);
    std::filesystem::remove(link);
    std::filesystem::create_symlink(target, link);
}

ChildProcess::ChildProcess(const std::string& program, std::vector<std::string> args) {
    // Everything the child needs is made before the fork: this process has threads.
    args.insert(args.begin(),
                (std::filesystem::canonical("/proc/self/exe").parent_path() / program).string());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_started = monotonicMicros();
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    m_out = fds[0];
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0)
        ::kill(m_pid, SIGTERM);
    wait();
    ::close(m_out);
}

std::vector<double> ChildProcess::expect(const std::string& word, int timeoutMs) {
    const std::int64_t deadline = monotonicMicros() + std::int64_t{timeoutMs} * 1000;
    for (;;) {
        for (std::size_t end; (end = m_buffer.find('\n')) != std::string::npos;) {
            std::istringstream line(m_buffer.substr(0, end));
            m_buffer.erase(0, end + 1);
            std::string first;
            line >> first;
            if (first == "error")
                throw std::runtime_error("child: " + line.str());
            if (first != word)
                continue;
            std::vector<double> numbers;
            for (double number; line >> number;)
                numbers.push_back(number);
            return numbers;
        }
        pollfd ready{m_out, POLLIN, 0};
        const auto left = std::max<std::int64_t>(0, (deadline - monotonicMicros()) / 1000);
        char chunk[512];
        const ssize_t n =
            ::poll(&ready, 1, static_cast<int>(left)) > 0 ? ::read(m_out, chunk, sizeof chunk) : 0;
        if (n <= 0)
            throw std::runtime_error("the child did not report '" + word + "'");
        m_buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

int ChildProcess::wait() {
    if (m_pid <= 0)
        return -1;
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace dx400::bench
