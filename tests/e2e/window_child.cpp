// The window's real start, for tests that end it from outside. Its arguments: "jog" connects and
// jogs right; "box" then opens a message box (a refused jog speed), in whose event loop the rest
// happens; "close" closes the window by its frame; "exit" calls exit(1), as Qt's xcb platform
// does when the display goes away. It prints "started", its font and desktop file.
#include "app/form1.h"
#include "app/run_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <set>
#include <string>

int main(int argc, char* argv[]) {
    const std::set<std::string> steps(argv + 1, argv + argc);
    return dx400::runWindow(argc, argv, [steps](dx400::Form1& window) {
        if (steps.count("jog")) {
            window.findChild<QPushButton*>(QStringLiteral("통신연결버튼"))->click();
            window.findChild<QPushButton*>(QStringLiteral("cmd_ROR"))->click();
        }
        QTimer::singleShot(0, &window, [&window, steps] {
            std::printf("started %s %s\n", qUtf8Printable(QApplication::font().family()),
                        qUtf8Printable(QGuiApplication::desktopFileName()));
            std::fflush(stdout);
            if (steps.count("close"))
                window.windowHandle()->close();
            if (steps.count("exit"))
                std::exit(1);
        });
        if (steps.count("box")) {
            window.findChild<QLineEdit*>(QStringLiteral("Txt_Jog"))->setText(QStringLiteral("x"));
            window.findChild<QPushButton*>(QStringLiteral("cmd_ROL"))->click();
        }
    });
}
