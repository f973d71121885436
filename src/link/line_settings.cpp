#include "link/line_settings.h"

namespace dx400 {

std::optional<qint32> rateOfText(const QString& text) {
    for (const LineRate& entry : kLineRates) {
        if (entry.rate > 0 && text == QLatin1String(entry.text))
            return entry.rate;
    }
    return std::nullopt;
}

} // namespace dx400
