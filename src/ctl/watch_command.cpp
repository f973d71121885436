// watch: samples of the position and the inputs, one line each as it comes, until --for is
// up or a signal ends it.
#include "ctl/commands.h"
#include "ctl/ctl_texts.h"
#include "ctl/drive_readings.h"
#include "ctl/interrupt_watch.h"
#include "params/parameter_table.h"
#include "protocol/reply_check.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>

namespace dx400::ctl {

namespace {

constexpr std::chrono::milliseconds kHandOver{25};

// One sample as a line of the chosen form: JSON, CSV or "name value" words.
QString sampleLine(const Options& options, const QStringList& names, qint64 ms,
                   const std::vector<Reply>& replies) {
    QJsonObject object{{QStringLiteral("t_ms"), ms}};
    QStringList fields{QString::number(ms)}, words{QStringLiteral("t_ms %1").arg(ms)};
    for (qsizetype i = 0; i < names.size(); ++i) {
        const Reply& reply = replies[static_cast<std::size_t>(i)];
        const QString value =
            names[i] == kInputs ? inputsOf(reply) : QString::number(replyData(reply));
        object[names[i]] = names[i] == kInputs ? QJsonValue(value) : QJsonValue(replyData(reply));
        fields << value;
        words << names[i] + QLatin1Char(' ') + value;
    }
    if (options.json)
        return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    return options.csv ? fields.join(QLatin1Char(',')) : words.join(QLatin1Char(' '));
}

void printLine(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout); // a sample is seen as it comes, also through a pipe
}

} // namespace

Command prepareWatch(const Options& options) {
    const QStringList names =
        options.arguments.isEmpty() ? QStringList{kPosition, kInputs} : options.arguments;
    std::vector<Request> requests;
    for (const QString& name : names) {
        if (name != kPosition && name != kInputs)
            throw usageFailure(options);
        requests.push_back(name == kPosition ? readRequest(kPositionIndex) : inputsRequest());
    }
    using std::chrono::milliseconds;
    const milliseconds interval{options.intervalMs};
    const std::optional<milliseconds> length =
        options.forSeconds ? std::optional(milliseconds(std::llround(*options.forSeconds * 1000)))
                           : std::nullopt;
    return [options, names, requests, interval, length](DriveSession& session, Report& report) {
        report.streamed();
        if (options.csv)
            printLine(QStringLiteral("t_ms,") + names.join(QLatin1Char(',')));
        InterruptWatch watch;
        session.abandonOn(&watch.ending());
        const auto start = std::chrono::steady_clock::now();
        // Samples are due every interval from the start; one that the line makes late goes
        // at once, and the next ones keep to the grid.
        for (auto due = start;; due += interval) {
            const auto until = length ? std::min(due, start + *length) : due;
            watch.waitFor(
                std::chrono::ceil<milliseconds>(until - std::chrono::steady_clock::now()));
            if (watch.poll() || (length && std::chrono::steady_clock::now() >= start + *length))
                break;
            const auto ms =
                std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start)
                    .count();
            try {
                printLine(sampleLine(options, names, ms, session.exchange(requests)));
            } catch (const Abandoned&) {
                break;
            } catch (const Failure&) {
                // A port that another run holds longer than --timeout (a write, a timed
                // jog) costs samples, not the watch; any other failure ends it.
                if (!session.portBusy())
                    throw;
            }
            // Between samples the line is free for another run (a move, say), which tries
            // a held port every 10 ms: it stays free for long enough to be found so.
            session.release();
            due = std::max(due, std::chrono::steady_clock::now() + kHandOver - interval);
        }
        session.abandonOn(nullptr);
        if (const int signal = watch.poll())
            throw interruptedBy(signal, text::ctl::watchEnded);
    };
}

} // namespace dx400::ctl
