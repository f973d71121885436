#include "ctl/parameter_values.h"

#include "ctl/failure.h"
#include "params/parameter_table.h"

#include <QStringList>

namespace dx400::ctl {

QString parameterNameList() {
    QStringList names;
    for (const char* name : kParameterNames)
        names << QString::fromLatin1(name);
    return names.join(QStringLiteral(", "));
}

std::optional<std::size_t> parameterNamed(const QString& name) {
    for (std::size_t i = 0; i < kParameterNames.size(); ++i) {
        if (name == QLatin1String(kParameterNames[i]))
            return i;
    }
    return std::nullopt;
}

ParameterValues checkValues(const ParameterTexts& texts) {
    ParameterValues values;
    std::string refusals;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!texts[i])
            continue;
        const ParameterReading reading =
            readParameter(driveParameters()[i], texts[i]->toStdString());
        if (reading.ok())
            values[i] = reading.value;
        else
            refusals += (refusals.empty() ? "" : "\n") + reading.refusal;
    }
    if (!refusals.empty())
        throw Failure(ExitCode::ValueRefused, refusals);
    return values;
}

} // namespace dx400::ctl
