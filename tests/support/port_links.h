#pragma once

#include "link/port_naming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace dx400::test {

inline QString portLink(int n) {
    return portLinkDirectory() + '/' + portName(n);
}

// The lines of a text file; none when it cannot be read.
inline QStringList linesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
               : QStringList();
}

// While it lives: a fresh XDG_CONFIG_HOME (children inherit it) where every port but `only` links
// to nothing, so that probing never opens the machine's own serial devices (ttyS0: its console),
// a fresh XDG_STATE_HOME for the window's traffic logs, and a time zone that shows in their times.
struct OnlyPort {
    QTemporaryDir config;

    explicit OnlyPort(int only) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(config.filePath("state")));
        qputenv("TZ", "XYZ-13:10"); // an offset from UTC with no two digits alike
        QDir().mkpath(portLinkDirectory());
        for (int n = 1; n <= kProbedPorts; ++n)
            if (n != only)
                QFile::link(QStringLiteral("/nonexistent/dx400-test-port"), portLink(n));
    }
    ~OnlyPort() { qunsetenv("XDG_CONFIG_HOME"), qunsetenv("XDG_STATE_HOME"), qunsetenv("TZ"); }
};

} // namespace dx400::test
