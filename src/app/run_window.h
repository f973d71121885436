#pragma once

#include <functional>

namespace dx400 {

class Form1;

// The program from start to end: the application with the tool's look, the window on the
// machine's serial ports, a watch on the signals that would end the program, the exit()
// hook, and the event loop until the window closes. Returns the exit status. `started`,
// when given, runs with the window once the event loop runs: tests act through it as an
// operator would, in a process of the window's own.
int runWindow(int& argc, char** argv, const std::function<void(Form1&)>& started = {});

} // namespace dx400
