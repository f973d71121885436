// A bare Qt Widgets window of the tool's size (570 × 622), started the same way, as the
// yardstick for the tool's start-up time and memory. Exits once its first frame is painted.
#include "bench_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(570, 622);
    dx400::bench::FirstExpose watch([] { QCoreApplication::exit(0); });
    window.show();
    return app.exec();
}
