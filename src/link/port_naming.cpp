#include "link/port_naming.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace dx400 {

QString portName(int n) {
    return QStringLiteral("COM%1").arg(n);
}

QString portLinkDirectory() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/dx400/ports");
}

QString portDevice(int n) {
#ifdef Q_OS_WIN
    return portName(n);
#else
    const QFileInfo link(portLinkDirectory() + QLatin1Char('/') + portName(n));
    if (link.isSymLink())
        return link.symLinkTarget();
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

} // namespace dx400
