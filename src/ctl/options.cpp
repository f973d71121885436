#include "ctl/options.h"

#include "ctl/ctl_texts.h"
#include "ctl/help_text.h"
#include "link/line_settings.h"
#include "link/port_naming.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <cstdio>

namespace dx400::ctl {

namespace {

// A timed jog waits on one timer, which counts milliseconds in an int.
constexpr double kMaxJogSeconds = 1'000'000;
constexpr int kMaxIntervalMs = 3'600'000;

// n of "COMn" (any case, n from 1), or nothing.
std::optional<int> comNumber(const QString& port) {
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(port);
    return match.hasMatch() ? std::optional(match.captured(1).toInt()) : std::nullopt;
}

std::string rateList() {
    std::string list = "one of";
    for (const LineRate& entry : kLineRates) {
        if (entry.rate > 0)
            list += std::string(list.size() > 6 ? ", " : " ") + entry.text;
    }
    return list;
}

QString badValue(const QString& option, std::string_view expected, const QString& given) {
    return QString::fromStdString(
        text::ctl::badOptionValue(option.toStdString(), expected, given.toStdString()));
}

QCommandLineOption option(const char* name, const char* help, const char* valueName = "",
                          const char* fallback = "") {
    return {QString::fromLatin1(name), QString::fromUtf8(help), QString::fromLatin1(valueName),
            QString::fromLatin1(fallback)};
}

const QList<QCommandLineOption> kOptions = {
    option("port", kPortHelp, "PORT", "COM4"),
    option("speed", "Line speed in bits per second, from the window's list (default 19200).",
           "RATE", "19200"),
    option("timeout", "How long to wait for each reply, in milliseconds (default 500).", "MS",
           "500"),
    option("retries",
           "Send a frame again up to N times when its reply does not come, fails its checks "
           "or is put in doubt by an unasked reply (default 0). A move sent again moves "
           "again.",
           "N", "0"),
    option("json", "Print one JSON object instead of lines: each value under its name, with "
                   "\"port\", \"line-speed\" and, on failure, \"error\"."),
    option("verbose", "Print every frame sent and every byte received, with times, on "
                      "standard error."),
    option("log",
           "Append the run's traffic to FILE: a header line when the port opens, then "
           "every frame sent and every byte received, as it goes or comes.",
           "FILE"),
    option("profile", "The profile of write, save and verify.", "FILE"),
    option("write", "verify: write the profile first."),
    option("for", "jog: stop the motor after SECONDS; watch: end after SECONDS.", "SECONDS"),
    option("interval",
           "watch: a sample every MS milliseconds, or as often as the line allows when that "
           "takes longer (default 100).",
           "MS", "100"),
    option("csv", "watch: print the samples as CSV, after a header line."),
};

// Takes the values of the options that need checking into `o`; returns what is wrong with
// them, or nothing.
QString readValues(const QCommandLineParser& parser, Options& o) {
    using namespace text::ctl;
    const auto value = [&](const char* name) {
        return parser.value(QString::fromLatin1(name));
    };
    o.port = value("port");
    o.speedText = value("speed");
    o.logFile = value("log");
    o.csv = parser.isSet(QStringLiteral("csv"));
    o.intervalGiven = parser.isSet(QStringLiteral("interval"));
    bool intervalOk = false;
    o.intervalMs = value("interval").toInt(&intervalOk);
    bool timeoutOk = false, retriesOk = false, forOk = true;
    o.timeoutMs = value("timeout").toInt(&timeoutOk);
    o.retries = value("retries").toInt(&retriesOk);
    if (parser.isSet(QStringLiteral("for")))
        o.forSeconds = value("for").toDouble(&forOk);
    const std::optional<int> n = comNumber(o.port);
    o.portNumber = n.value_or(0);
    if (n)
        o.port = portName(*n); // "com4" is COM4, and messages say so
    const std::optional<qint32> rate = rateOfText(o.speedText);
    o.speed = rate.value_or(0);

    if (!n && !o.port.contains(QLatin1Char('/')))
        return badValue(QStringLiteral("port"), kExpectedPort, o.port);
    if (!rate)
        return badValue(QStringLiteral("speed"), rateList(), o.speedText);
    if (!timeoutOk || o.timeoutMs < 1)
        return badValue(QStringLiteral("timeout"), kExpectedTimeout, value("timeout"));
    if (!retriesOk || o.retries < 0 || o.retries > 100)
        return badValue(QStringLiteral("retries"), kExpectedRetries, value("retries"));
    if (o.forSeconds && !(forOk && *o.forSeconds >= 0.001 && *o.forSeconds <= kMaxJogSeconds))
        return badValue(QStringLiteral("for"), kExpectedSeconds, value("for"));
    if (!intervalOk || o.intervalMs < 1 || o.intervalMs > kMaxIntervalMs)
        return badValue(QStringLiteral("interval"), kExpectedInterval, value("interval"));
    if (o.command.isEmpty())
        return QString::fromUtf8(kNoCommand);
    return {};
}

} // namespace

Options parseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions(kOptions);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("One of the commands below, with its arguments."),
                                 QStringLiteral("COMMAND [ARGUMENTS...]"));

    Options o;
    const bool parsed = parser.parse(arguments);
    o.json = parser.isSet(QStringLiteral("json"));
    o.verbose = parser.isSet(QStringLiteral("verbose"));
    if (!parsed) {
        static const QRegularExpression negative(QStringLiteral("^-[0-9.]"));
        o.error = parser.errorText();
        if (!arguments.filter(negative).isEmpty())
            o.error += QString::fromUtf8(text::ctl::kNegativeNumberHint);
        return o;
    }
    if (parser.isSet(help)) {
        std::fputs((parser.helpText() + QString::fromUtf8(kHelpEnd)).toUtf8().constData(), stdout);
        std::exit(0);
    }
    if (parser.isSet(version))
        parser.showVersion();

    o.profile = parser.value(QStringLiteral("profile"));
    o.writeFirst = parser.isSet(QStringLiteral("write"));
    o.arguments = parser.positionalArguments();
    if (!o.arguments.isEmpty())
        o.command = o.arguments.takeFirst();
    o.error = readValues(parser, o);
    return o;
}

} // namespace dx400::ctl
