// The real tool, started exactly like src/app/main.cpp, for the measurements that need the
// tool as a process of its own (start-up, memory, idle). After the first frame is painted:
//   startup       exits
//   commands N    connects, answers N 입력 (input) clicks, each after the previous reply,
//                 and prints "start <VmHWM KiB>" after the first 100 and "end <VmHWM KiB>
//                 <message boxes>" after the last, then exits
//   idle          connects, prints "ready" and idles until it is killed
#include "app/app_look.h"
#include "app/form1.h"
#include "bench_report.h"
#include "bench_window.h"
#include "first_expose.h"
#include "link/qt_serial_port.h"

#include <QApplication>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

using namespace dx400;
using namespace dx400::bench;

constexpr int kWarmUpCommands = 100;

bool connectWindow(Form1& window) {
    button(window, "통신연결버튼")->click();
    return window.serialPort().isOpen();
}

void answerCommands(Form1& window, int count, const MessageCloser& messages) {
    QPushButton* input = button(window, "CMD_IN");
    for (int i = 0; i < count; ++i) {
        if (i == kWarmUpCommands) {
            std::printf("start %ld\n", peakResidentKiB());
            std::fflush(stdout);
        }
        input->click();
        if (!pumpUntil([&] { return window.readState() == 0; }, 2000)) {
            std::printf("error no reply to command %d\n", i + 1);
            std::exit(3);
        }
    }
    std::printf("end %ld %d\n", peakResidentKiB(), messages.count());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    applyApplicationLook(app);
    Form1 window(std::make_unique<QtSerialPort>());

    const char* mode = argc > 1 ? argv[1] : "startup";
    const int count = argc > 2 ? std::atoi(argv[2]) : 0;
    std::optional<MessageCloser> messages;
    if (!std::strcmp(mode, "commands"))
        messages.emplace();
    FirstExpose watch([&] {
        if (!std::strcmp(mode, "startup")) {
            QCoreApplication::exit(0);
            return;
        }
        if (!connectWindow(window)) {
            std::printf("error cannot connect\n");
            std::exit(3);
        }
        if (messages) {
            answerCommands(window, count, *messages);
            QCoreApplication::exit(0);
        } else {
            std::printf("ready\n");
            std::fflush(stdout);
        }
    });
    window.show();
    return app.exec();
}
