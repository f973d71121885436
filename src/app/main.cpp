#include "app/app_look.h"
#include "app/form1.h"
#include "link/qt_serial_port.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    dx400::applyApplicationLook(app);
    // Lets Wayland desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.dx400.dx400"));
    dx400::Form1 window(std::make_unique<dx400::QtSerialPort>());
    window.show();
    return app.exec();
}
