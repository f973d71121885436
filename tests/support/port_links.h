#pragma once

#include "link/port_naming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace dx400::test {

// Points every port COM1 to COM10 but `except` at a device that does not exist, in the
// current XDG_CONFIG_HOME, so that a program probing its ports never opens the machine's
// own serial devices (/dev/ttyS0 is often its console).
inline void linkPortsToNothing(int except) {
    QDir().mkpath(portLinkDirectory());
    for (int n = 1; n <= kProbedPorts; ++n) {
        if (n != except)
            QFile::link(QStringLiteral("/nonexistent/dx400-test-port"),
                        portLinkDirectory() + QLatin1Char('/') + portName(n));
    }
}

// A fresh XDG_CONFIG_HOME for this process and its children while it lives, in which
// every port but `only` stands for nothing.
struct OnlyPort {
    QTemporaryDir config;

    explicit OnlyPort(int only) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        linkPortsToNothing(only);
    }
    ~OnlyPort() { qunsetenv("XDG_CONFIG_HOME"); }
};

} // namespace dx400::test
