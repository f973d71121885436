#include "ctl/report.h"

#include <QJsonDocument>
#include <cstdio>

namespace dx400::ctl {

namespace {

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
}

} // namespace

Report::Report(const Options& options) : m_json(options.json) {
    m_object[QStringLiteral("port")] = options.port;
    if (options.speed > 0)
        m_object[QStringLiteral("line-speed")] = options.speed;
}

void Report::add(const QString& name, const QJsonValue& value) {
    add(name, value, {name + QLatin1Char(' ') + value.toVariant().toString()});
}

void Report::add(const QString& name, const QJsonValue& value, const QStringList& lines) {
    m_object[name] = value;
    m_lines += lines;
}

void Report::note(const QString& text) {
    print(stderr, QStringLiteral("dx400ctl: ") + text + QLatin1Char('\n'));
}

int Report::finish(const std::optional<Failure>& failure) {
    if (failure) {
        note(QString::fromStdString(failure->what()));
        m_object[QStringLiteral("error")] = QString::fromStdString(failure->what());
    }
    if (m_streamed) // its lines are out; the failure goes to standard error only
        return static_cast<int>(failure ? failure->code() : ExitCode::Ok);
    if (m_json)
        print(stdout, QString::fromUtf8(QJsonDocument(m_object).toJson(QJsonDocument::Compact)) +
                          QLatin1Char('\n'));
    else if (!m_lines.isEmpty())
        print(stdout, m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    return static_cast<int>(failure ? failure->code() : ExitCode::Ok);
}

} // namespace dx400::ctl
