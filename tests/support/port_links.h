#pragma once

#include "link/port_naming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace dx400::test {

// Points every port COM1 to COM10 but `except` at nothing in the current XDG_CONFIG_HOME, so
// that probing never opens the machine's own serial devices (/dev/ttyS0 is often its console).
inline void linkPortsToNothing(int except) {
    QDir().mkpath(portLinkDirectory());
    for (int n = 1; n <= kProbedPorts; ++n) {
        if (n != except)
            QFile::link(QStringLiteral("/nonexistent/dx400-test-port"),
                        portLinkDirectory() + QLatin1Char('/') + portName(n));
    }
}

// While it lives: a fresh XDG_CONFIG_HOME (children inherit it), every port but `only` at nothing.
struct OnlyPort {
    QTemporaryDir config;

    explicit OnlyPort(int only) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        linkPortsToNothing(only);
    }
    ~OnlyPort() { qunsetenv("XDG_CONFIG_HOME"); }
};

} // namespace dx400::test
