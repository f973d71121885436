#include "link/line_settings.h"

#include <QStringList>

namespace dx400 {

std::optional<LineSettings> parseLineSettings(const QString& text) {
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;

    LineSettings settings;
    bool ok = false;
    for (QChar c : fields[0]) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    settings.rate = fields[0].toInt(&ok);
    if (!ok || settings.rate <= 0)
        return std::nullopt;

    const QString parity = fields[1].toUpper();
    if (parity.size() != 1 || !QStringLiteral("NEOMS").contains(parity))
        return std::nullopt;
    settings.parity = parity.at(0).toLatin1();

    settings.dataBits = fields[2].toInt(&ok);
    if (!ok || settings.dataBits < 5 || settings.dataBits > 8)
        return std::nullopt;
    settings.stopBits = fields[3].toInt(&ok);
    if (!ok || (settings.stopBits != 1 && settings.stopBits != 2))
        return std::nullopt;
    return settings;
}

} // namespace dx400
