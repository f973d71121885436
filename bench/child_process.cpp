#include "child_process.h"

#include "bench_report.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace dx400::bench {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::string& platform) {
    // Everything the child needs is made before the fork: this process has threads.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    }
    env.push_back("QT_QPA_PLATFORM=" + platform);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_started = monotonicMicros();
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    m_out = fds[0];
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
}

ChildProcess::~ChildProcess() {
    terminate();
    wait();
    if (m_out >= 0)
        ::close(m_out);
}

std::optional<std::string> ChildProcess::readLine(int timeoutMs) {
    const std::int64_t deadline = monotonicMicros() + std::int64_t{timeoutMs} * 1000;
    for (;;) {
        const std::size_t end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return line;
        }
        const std::int64_t left = (deadline - monotonicMicros()) / 1000;
        if (left <= 0 || m_out < 0)
            return std::nullopt;
        pollfd ready{m_out, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(left)) <= 0)
            continue;
        char chunk[512];
        const ssize_t n = ::read(m_out, chunk, sizeof chunk);
        if (n <= 0)
            return std::nullopt;
        m_buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

std::string ChildProcess::expect(const std::string& word, int timeoutMs) {
    while (const std::optional<std::string> line = readLine(timeoutMs)) {
        if (line->rfind("error", 0) == 0)
            throw std::runtime_error("child: " + *line);
        if (line->rfind(word + " ", 0) == 0 || *line == word)
            return line->substr(std::min(line->size(), word.size() + 1));
    }
    throw std::runtime_error("the child did not report '" + word + "'");
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

void ChildProcess::terminate() {
    if (m_pid > 0)
        ::kill(m_pid, SIGTERM);
}

} // namespace dx400::bench
