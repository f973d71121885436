// read, inputs, position, write, save and verify: the parameter set, the position and the
// inputs, read one request after another, each after the reply to the one before.
#include "ctl/commands.h"
#include "ctl/interrupt_watch.h"
#include "ctl/parameter_values.h"
#include "ctl/profile.h"
#include "params/parameter_table.h"
#include "protocol/reply_check.h"
#include "texts/ctl_texts.h"

#include <QJsonObject>

namespace dx400::ctl {

namespace {

// Write frames go out at the window's WRITE ALL pace, which the drive is known to take.
constexpr std::chrono::milliseconds kWritePace{kFramePauseMs};
const QString kPosition = QStringLiteral("position");
const QString kInputs = QStringLiteral("inputs");

std::int32_t readIndex(DriveSession& session, int index) {
    return replyData(session.exchange({command::kReadParameter, index, 0, 0, 0, 0}));
}

// Input 1, 2, 3 as "1" (on) or "0": data0, data1 and data2 of the reply, as the window's
// indicators led1, led2 and led3 show them.
QString readInputs(DriveSession& session) {
    const Reply reply = session.exchange({command::kInput, 1, 0, 0, 0, 0});
    QString inputs;
    for (std::size_t place : {7, 6, 5})
        inputs += reply[place] != 0 ? QLatin1Char('1') : QLatin1Char('0');
    return inputs;
}

std::array<std::int32_t, 6> readAll(DriveSession& session, Report& report) {
    std::array<std::int32_t, 6> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = readIndex(session, driveParameters()[i].index);
        report.add(QString::fromLatin1(kParameterNames[i]), values[i]);
    }
    return values;
}

// Writes the values given, in panel order. Ctrl-C or SIGTERM ends the program only once
// every value is written: a drive is never left half-written.
void writeValues(DriveSession& session, const ParameterValues& values) {
    InterruptWatch watch;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i])
            continue;
        const DriveParameter& parameter = driveParameters()[i];
        const auto [high, low] = splitValue(*values[i]);
        session.exchange({command::kWriteParameter, parameter.index, 0, 0, high, low}, kWritePace);
    }
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
    for (const QString& name : names) {
        if (name != kPosition && name != kInputs && !parameterNamed(name))
            throw Failure(
                ExitCode::Usage,
                text::ctl::unknownName(name.toStdString(),
                                       (parameterNameList() + ", position, inputs").toStdString()));
    }
    return [names](DriveSession& session, Report& report) {
        for (const QString& name : names) {
            if (name == kInputs)
                report.add(name, readInputs(session));
            else if (name == kPosition)
                report.add(name, readIndex(session, kPositionIndex));
            else
                report.add(name,
                           readIndex(session, driveParameters()[*parameterNamed(name)].index));
        }
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
        writeProfile(path, readAll(session, report));
    };
}

Command prepareVerify(const Options& options) {
    if (options.profile.isEmpty())
        throw usageFailure(options);
    const ParameterValues expected = checkValues(readProfile(options.profile));
    return [expected, writeFirst = options.writeFirst](DriveSession& session, Report& report) {
        if (writeFirst)
            writeValues(session, expected);
        const std::array<std::int32_t, 6> values = readAll(session, report);
        QJsonObject differences;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] == *expected[i])
                continue;
            differences[QString::fromLatin1(kParameterNames[i])] = QJsonObject{
                {QStringLiteral("drive"), values[i]}, {QStringLiteral("profile"), *expected[i]}};
            Report::note(QString::fromStdString(
                text::ctl::differs(kParameterNames[i], values[i], *expected[i])));
        }
        if (differences.isEmpty())
            return;
        report.add(QStringLiteral("differences"), differences, {});
        throw Failure(ExitCode::Differences,
                      text::ctl::differences(static_cast<std::size_t>(differences.size())));
    };
}

} // namespace dx400::ctl
