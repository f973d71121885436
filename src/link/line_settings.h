#pragma once

#include <QString>
#include <optional>

namespace dx400 {

// A line settings text such as "19200,N,8,1": rate, parity letter, data bits, stop bits.
struct LineSettings {
    qint32 rate = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
};

// Reads a settings text. A rate that is not a whole positive number ("low_speed6000",
// an empty text) or any other field out of place refuses the whole text. Whether the
// device can run at the rate is only known when it is opened.
std::optional<LineSettings> parseLineSettings(const QString& text);

} // namespace dx400
