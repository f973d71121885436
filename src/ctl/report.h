#pragma once

#include "ctl/failure.h"
#include "ctl/options.h"

#include <QJsonObject>
#include <QStringList>
#include <optional>

namespace dx400::ctl {

// What a run prints on standard output, gathered and printed at its end: "name value"
// lines, or with --json one JSON object with the same values under the same names, plus
// "port", "line-speed" and, on failure, "error". The line speed is not "speed", which
// names the drive speed parameter (동작속도) in the object as on the command line and in
// profiles. Failures also go to standard error as "dx400ctl: message", so a person sees
// them whatever the form.
class Report {
public:
    explicit Report(const Options& options);

    void add(const QString& name, const QJsonValue& value);
    // A value that lines show as `lines` (nothing when empty).
    void add(const QString& name, const QJsonValue& value, const QStringList& lines);
    // A line for people on standard error at once, in either form.
    static void note(const QString& text);

    // The run printed its own lines as they came: the end adds nothing to them, and a
    // failure goes to standard error only.
    void streamed() { m_streamed = true; }

    // Prints the result with the failure, if any, and returns the exit code.
    int finish(const std::optional<Failure>& failure);

private:
    bool m_json;
    bool m_streamed = false;
    QJsonObject m_object;
    QStringList m_lines;
};

} // namespace dx400::ctl
