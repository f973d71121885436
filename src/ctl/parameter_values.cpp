#include "ctl/parameter_values.h"

#include "ctl/failure.h"
#include "params/number_reader.h"
#include "params/parameter_table.h"
#include "texts/operator_texts.h"

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
        const DriveParameter& parameter = driveParameters()[i];
        const NumberReading reading = readNumber(texts[i]->toStdString());
        if (reading.kind == NumberReading::Kind::NotANumber)
            refusals += (refusals.empty() ? "" : "\n") + text::notANumber(parameter.name);
        else if (!reading.ok() || !acceptsValue(parameter, reading.value))
            refusals += (refusals.empty() ? "" : "\n") + std::string(parameter.rangeMessage);
        else
            values[i] = reading.value;
    }
    if (!refusals.empty())
        throw Failure(ExitCode::ValueRefused, refusals);
    return values;
}

} // namespace dx400::ctl
