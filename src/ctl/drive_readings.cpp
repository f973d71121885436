#include "ctl/drive_readings.h"

namespace dx400::ctl {

Request readRequest(int index) {
    return {{command::kReadParameter, index, 0, 0, 0, 0}};
}

Request inputsRequest() {
    return {{command::kInput, 1, 0, 0, 0, 0}};
}

QString inputsOf(const Reply& reply) {
    QString inputs;
    for (std::size_t place : {7, 6, 5})
        inputs += reply[place] != 0 ? QLatin1Char('1') : QLatin1Char('0');
    return inputs;
}

} // namespace dx400::ctl
