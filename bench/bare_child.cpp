// The yardstick for the tool's start-up time and memory: a Qt Widgets window of the tool's
// size (570 × 622), started the same way, showing one Korean label in the tool's window
// font, since the first text of any Korean window pays for fontconfig, FreeType and a
// Korean font. Exits once its first frame is painted.
#include "bench_window.h"

#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(570, 622);
    QLabel label(QStringLiteral("통신 연결"), &window);
    label.setFont(dx400::gulim(9.75)); // the window font applyApplicationLook gives the tool
    dx400::bench::FirstExpose watch([] { QCoreApplication::exit(0); });
    window.show();
    return app.exec();
}
