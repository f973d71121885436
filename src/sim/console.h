#pragma once

#include <string>
#include <string_view>

namespace dx400::sim {

class PtyServer;

struct ConsoleReply {
    std::string text; // to print, may be several lines
    bool quit = false;
};

// Carries out one line typed on the simulator's standard input:
//   status | inputs DDD | fault NAME [on|off|VALUE] | fault clear | hangup | help | quit
ConsoleReply runConsoleLine(std::string_view line, PtyServer& server);

} // namespace dx400::sim
