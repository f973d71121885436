#pragma once

#include "ctl/drive_session.h"

#include <QString>

namespace dx400::ctl {

// The names that read and watch give the position and the inputs.
inline const QString kPosition = QStringLiteral("position");
inline const QString kInputs = QStringLiteral("inputs");

// The request that reads the parameter of this index (8: the position).
Request readRequest(int index);
// The request that reads the three inputs.
Request inputsRequest();

// Input 1, 2, 3 as "1" (on) or "0": data0, data1 and data2 of the reply, as the window's
// indicators led1, led2 and led3 show them.
QString inputsOf(const Reply& reply);

} // namespace dx400::ctl
