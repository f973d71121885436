#include "app/app_look.h"
#include "app/form1.h"
#include "link/qt_serial_port.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    dx400::applyApplicationLook(app);
    dx400::Form1 window(std::make_unique<dx400::QtSerialPort>());
    window.show();
    return app.exec();
}
