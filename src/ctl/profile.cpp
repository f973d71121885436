#include "ctl/profile.h"

#include "ctl/ctl_texts.h"
#include "ctl/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

namespace dx400::ctl {

namespace {

std::string str(const QString& text) {
    return text.toStdString();
}

} // namespace

ParameterTexts readProfile(const QString& path) {
    using namespace text::ctl;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Failure(ExitCode::Usage, cannotReadProfile(str(path), str(file.errorString())));
    ParameterTexts texts;
    int number = 0;
    QTextStream in(&file);
    for (QString line; in.readLineInto(&line);) {
        ++number;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString name = line.left(equals).trimmed();
        const std::optional<std::size_t> position = parameterNamed(name);
        if (equals < 0 || !position || texts[*position])
            throw Failure(ExitCode::Usage,
                          badProfileLine(str(path), number, str(line), str(parameterNameList())));
        texts[*position] = line.mid(equals + 1).trimmed();
    }
    QStringList missing;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!texts[i])
            missing << QString::fromLatin1(kParameterNames[i]);
    }
    if (!missing.isEmpty())
        throw Failure(ExitCode::Usage,
                      profileLacks(str(path), str(missing.join(QStringLiteral(", ")))));
    return texts;
}

void checkProfileWritable(const QString& path) {
    const QFileInfo file(path);
    if (file.exists() ? !file.isWritable() || file.isDir() : !QFileInfo(file.path()).isWritable())
        throw Failure(ExitCode::Usage, text::ctl::cannotWriteProfile(str(path), "not writable"));
}

void writeProfile(const QString& path, const std::array<std::int32_t, 6>& values) {
    QSaveFile file(path);
    QByteArray text(text::ctl::kProfileHeader.data(),
                    static_cast<qsizetype>(text::ctl::kProfileHeader.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        text += QByteArray(kParameterNames[i]) + " = " + QByteArray::number(values[i]) + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw Failure(ExitCode::Usage,
                      text::ctl::cannotWriteProfile(str(path), str(file.errorString())));
}

} // namespace dx400::ctl
