#include "app/app_look.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says at every window that it lacks what only a screen has.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& at, const QString& text) {
        if (!text.startsWith(QLatin1String("This plugin does not support")))
            qt_message_output(type, at, text);
    });
    QApplication app(argc, argv);
    dx400::applyApplicationLook(app);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
