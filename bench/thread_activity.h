#pragma once

#include <map>
#include <string>
#include <sys/types.h>

namespace dx400::bench {

// What the kernel counts for one thread of another process, read from /proc without
// disturbing it: processor time (schedstat) and context switches (status). Every
// voluntary switch is a sleep the thread came back from, that is a wake-up.
struct ThreadActivity {
    std::string name;
    double cpuNs = 0;
    long voluntary = 0;
    long involuntary = 0;
};

// Every thread of the process, by thread id.
std::map<pid_t, ThreadActivity> threadActivity(pid_t pid);

} // namespace dx400::bench
