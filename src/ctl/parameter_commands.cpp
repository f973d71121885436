// read, inputs, position, write, save and verify: the parameter set, the position and the
// inputs, each run of requests sent one after another, each after the reply to the one
// before.
#include "ctl/commands.h"
#include "ctl/ctl_texts.h"
#include "ctl/drive_readings.h"
#include "ctl/interrupt_watch.h"
#include "ctl/parameter_values.h"
#include "ctl/profile.h"
#include "params/parameter_table.h"
#include "protocol/reply_check.h"

#include <QJsonObject>

namespace dx400::ctl {

namespace {

// Write frames go out at the window's WRITE ALL pace, which the drive is known to take.
constexpr std::chrono::milliseconds kWritePace{kFramePauseMs};

// Values the drive holds outside their parameter's range, gathered while a run's values
// are reported: each is named on standard error and under "out-of-range", and the run
// then fails (a reply failed its checks), since such a value cannot be written back.
class RangeCheck {
public:
    void take(std::size_t position, std::int32_t value) {
        const DriveParameter& parameter = driveParameters()[position];
        if (acceptsValue(parameter, value))
            return;
        m_found[QString::fromLatin1(kParameterNames[position])] = value;
        Report::note(QString::fromStdString(
            text::ctl::outOfRange(kParameterNames[position], value, parameter.limit - 1)));
    }
    // Adds the values found to the report and throws the failure they make, if any.
    void finish(Report& report) const {
        if (m_found.isEmpty())
            return;
        report.add(QStringLiteral("out-of-range"), m_found, {});
        throw Failure(ExitCode::BadReply,
                      text::ctl::valuesOutOfRange(static_cast<std::size_t>(m_found.size())));
    }

private:
    QJsonObject m_found;
};

std::array<std::int32_t, 6> readAll(DriveSession& session, Report& report, RangeCheck& range) {
    std::vector<Request> requests;
    for (const DriveParameter& parameter : driveParameters())
        requests.push_back(readRequest(parameter.index));
    const std::vector<Reply> replies = session.exchange(requests);
    std::array<std::int32_t, 6> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = replyData(replies[i]);
        report.add(QString::fromLatin1(kParameterNames[i]), values[i]);
        range.take(i, values[i]);
    }
    return values;
}

// Writes the values given, in panel order. Any signal that would end the program ends it
// only once every value is written: a drive is never left half-written.
void writeValues(DriveSession& session, const ParameterValues& values) {
    InterruptWatch watch;
    std::vector<Request> requests;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i])
            continue;
        const auto [high, low] = splitValue(*values[i]);
        requests.push_back(
            {{command::kWriteParameter, driveParameters()[i].index, 0, 0, high, low}, kWritePace});
    }
    session.exchange(requests);
    if (const int signal = watch.poll())
        throw interruptedBy(signal, text::ctl::writeInterrupted);
}

// The texts of NAME=VALUE arguments by panel position.
ParameterTexts textsOfArguments(const Options& options) {
    ParameterTexts texts;
    for (const QString& argument : options.arguments) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals < 0)
            throw usageFailure(options);
        const QString name = argument.left(equals);
        const std::optional<std::size_t> position = parameterNamed(name);
        if (!position)
            throw Failure(
                ExitCode::Usage,
                text::ctl::unknownName(name.toStdString(), parameterNameList().toStdString()));
        if (texts[*position])
            throw Failure(ExitCode::Usage, text::ctl::givenTwice(name.toStdString()));
        texts[*position] = argument.mid(equals + 1);
    }
    return texts;
}

} // namespace

Command prepareRead(const Options& options) {
    QStringList names = options.arguments;
    if (names.isEmpty()) {
        for (const char* name : kParameterNames)
            names << QString::fromLatin1(name);
    }
    std::vector<Request> requests;
    for (const QString& name : names) {
        const std::optional<std::size_t> position = parameterNamed(name);
        if (name == kInputs)
            requests.push_back(inputsRequest());
        else if (name == kPosition)
            requests.push_back(readRequest(kPositionIndex));
        else if (position)
            requests.push_back(readRequest(driveParameters()[*position].index));
        else
            throw Failure(
                ExitCode::Usage,
                text::ctl::unknownName(name.toStdString(),
                                       (parameterNameList() + ", position, inputs").toStdString()));
    }
    return [names, requests](DriveSession& session, Report& report) {
        const std::vector<Reply> replies = session.exchange(requests);
        RangeCheck range;
        for (std::size_t i = 0; i < replies.size(); ++i) {
            const QString& name = names[static_cast<qsizetype>(i)];
            const std::optional<std::size_t> position = parameterNamed(name);
            if (name == kInputs) {
                report.add(name, inputsOf(replies[i]));
                continue;
            }
            report.add(name, replyData(replies[i]));
            if (position)
                range.take(*position, replyData(replies[i]));
        }
        range.finish(report);
    };
}

Command prepareInputs(const Options& options) {
    Options read = options;
    read.arguments = QStringList{kInputs};
    return prepareRead(read);
}

Command preparePosition(const Options& options) {
    Options read = options;
    read.arguments = QStringList{kPosition};
    return prepareRead(read);
}

Command prepareWrite(const Options& options) {
    if (options.profile.isEmpty() == options.arguments.isEmpty())
        throw usageFailure(options);
    const ParameterValues values = checkValues(
        options.profile.isEmpty() ? textsOfArguments(options) : readProfile(options.profile));
    return [values](DriveSession& session, Report& report) {
        writeValues(session, values);
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i])
                report.add(QString::fromLatin1(kParameterNames[i]), *values[i]);
        }
    };
}

Command prepareSave(const Options& options) {
    if (options.profile.isEmpty())
        throw usageFailure(options);
    checkProfileWritable(options.profile);
    return [path = options.profile](DriveSession& session, Report& report) {
        RangeCheck range;
        writeProfile(path, readAll(session, report, range)); // what the drive holds, as it is
        range.finish(report);
    };
}

Command prepareVerify(const Options& options) {
    if (options.profile.isEmpty())
        throw usageFailure(options);
    const ParameterValues expected = checkValues(readProfile(options.profile));
    return [expected, writeFirst = options.writeFirst](DriveSession& session, Report& report) {
        if (writeFirst)
            writeValues(session, expected);
        RangeCheck range;
        const std::array<std::int32_t, 6> values = readAll(session, report, range);
        QJsonObject differences;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] == *expected[i])
                continue;
            differences[QString::fromLatin1(kParameterNames[i])] = QJsonObject{
                {QStringLiteral("drive"), values[i]}, {QStringLiteral("profile"), *expected[i]}};
            Report::note(QString::fromStdString(
                text::ctl::differs(kParameterNames[i], values[i], *expected[i])));
        }
        if (!differences.isEmpty())
            report.add(QStringLiteral("differences"), differences, {});
        range.finish(report); // a value no profile can hold outweighs a difference
        if (!differences.isEmpty())
            throw Failure(ExitCode::Differences,
                          text::ctl::differences(static_cast<std::size_t>(differences.size())));
    };
}

} // namespace dx400::ctl
