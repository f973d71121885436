// The real tool, started exactly like src/app/main.cpp, for the figures that need it as a
// process of its own. After the first frame is painted:
//   startup      exits
//   commands N   connects, answers N 입력 (input) clicks, each after the previous reply,
//                prints "start <VmHWM KiB>" after the first 100 and "end <VmHWM KiB>
//                <message boxes>" after the last, then exits
//   idle         connects, prints "ready" and idles until it is killed
#include "bench_window.h"
#include "link/qt_serial_port.h"

#include <optional>

using namespace dx400;
using namespace dx400::bench;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    applyApplicationLook(app);
    Form1 window(std::make_unique<QtSerialPort>());
    const std::string mode = argc > 1 ? argv[1] : "startup";
    std::optional<MessageCloser> messages;
    if (mode == "commands")
        messages.emplace();
    FirstExpose watch([&] {
        if (mode == "startup")
            return QCoreApplication::exit(0);
        try {
            connectWindow(window);
            QPushButton* input = control(window, "CMD_IN");
            for (int i = 0, n = messages ? std::atoi(argv[2]) : 0; i < n; ++i) {
                if (i == 100) {
                    std::printf("start %ld\n", peakResidentKiB());
                    std::fflush(stdout);
                }
                input->click();
                if (!pumpUntil([&] { return window.readState() == 0; }, 2000))
                    throw std::runtime_error("no reply to command " + std::to_string(i + 1));
            }
        } catch (const std::exception& error) {
            std::printf("error %s\n", error.what());
            std::exit(3);
        }
        if (messages)
            std::printf("end %ld %d\n", peakResidentKiB(), messages->count());
        else
            std::printf("ready\n");
        std::fflush(stdout);
        if (messages)
            QCoreApplication::exit(0);
    });
    window.show();
    return app.exec();
}
