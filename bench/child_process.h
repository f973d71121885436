#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace dx400::bench {

// A benchmark child started with fork and exec, its standard output read line by line.
// startedUs is CLOCK_MONOTONIC taken just before the fork, the start of "process start".
class ChildProcess {
public:
    // Starts `program` with `args`; QT_QPA_PLATFORM is set to `platform` for it.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::string& platform);
    ~ChildProcess(); // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    std::int64_t startedUs() const { return m_started; }

    // The next line, without its newline; nothing when the child ends or the time is up.
    std::optional<std::string> readLine(int timeoutMs);
    // The next line that starts with `word` followed by a blank; throws when none comes.
    std::string expect(const std::string& word, int timeoutMs);
    // Waits for the child to end; returns its exit status, or -1.
    int wait();
    void terminate();

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::int64_t m_started = 0;
    std::string m_buffer;
};

} // namespace dx400::bench
