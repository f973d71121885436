#include "thread_activity.h"

#include <filesystem>
#include <fstream>

namespace dx400::bench {

std::map<pid_t, ThreadActivity> threadActivity(pid_t pid) {
    std::map<pid_t, ThreadActivity> threads;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(tasks, error)) {
        ThreadActivity activity;
        std::ifstream(entry.path() / "schedstat") >> activity.cpuNs;
        std::getline(std::ifstream(entry.path() / "comm"), activity.name);
        std::ifstream status(entry.path() / "status");
        std::string key;
        while (status >> key) {
            if (key == "voluntary_ctxt_switches:")
                status >> activity.voluntary;
            else if (key == "nonvoluntary_ctxt_switches:")
                status >> activity.involuntary;
            else
                status.ignore(4096, '\n');
        }
        threads[static_cast<pid_t>(std::stoi(entry.path().filename().string()))] = activity;
    }
    return threads;
}

} // namespace dx400::bench
