#pragma once

#include "link/port_naming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace dx400::test {

// While it lives: a fresh XDG_CONFIG_HOME (children inherit it) in which every port COM1 to COM10
// but `only` links to nothing, so that probing never opens the machine's own serial devices
// (/dev/ttyS0 is often its console).
struct OnlyPort {
    QTemporaryDir config;

    explicit OnlyPort(int only) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QDir().mkpath(portLinkDirectory());
        for (int n = 1; n <= kProbedPorts; ++n) {
            if (n != only)
                QFile::link(QStringLiteral("/nonexistent/dx400-test-port"),
                            portLinkDirectory() + QLatin1Char('/') + portName(n));
        }
    }
    ~OnlyPort() { qunsetenv("XDG_CONFIG_HOME"); }
};

} // namespace dx400::test
