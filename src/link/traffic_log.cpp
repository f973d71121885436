#include "link/traffic_log.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace dx400 {

namespace {

// Removes the oldest logs (their names begin with their start time) until those left
// take less than `bound` bytes, so that the next session's log fits beside them.
void pruneFolder(const QString& folder, qint64 bound) {
    const QFileInfoList logs =
        QDir(folder).entryInfoList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
    qint64 total = 0;
    for (const QFileInfo& log : logs)
        total += log.size();
    for (const QFileInfo& log : logs) {
        if (total < bound)
            break;
        if (QFile::remove(log.filePath()))
            total -= log.size();
    }
}

} // namespace

std::unique_ptr<TrafficLog> TrafficLog::toFile(const QString& path) {
    return std::unique_ptr<TrafficLog>(new TrafficLog(path, false, 0));
}

std::unique_ptr<TrafficLog> TrafficLog::toFolder(const QString& folder, qint64 bound) {
    return std::unique_ptr<TrafficLog>(new TrafficLog(folder, true, bound));
}

void TrafficLog::begin(const TrafficLogHeader& header) {
    end();
    m_clock.start();
    m_start = QDateTime::currentDateTime();
    m_port = header.port;
    // ISO 8601 with the offset from UTC always written out, "+00:00" too, as the simulator.
    const int offset = m_start.offsetFromUtc() / 60;
    const QString stamp = m_start.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) +
                          QStringLiteral("%1%2:%3")
                              .arg(offset < 0 ? '-' : '+')
                              .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                              .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
    m_header = QStringLiteral("# %1 %2 port=%3 device=%4 speed=%5 start=%6\n")
                   .arg(header.program, header.version, header.port, header.device)
                   .arg(header.speed)
                   .arg(stamp)
                   .toUtf8();
}

// Opens the session's file with its first line, so that a port opened only to see whether
// it opens (the window's list of ports) leaves no file behind.
bool TrafficLog::openSession() {
    if (m_header.isEmpty())
        return false;
    if (m_folder) {
        if (!QDir().mkpath(m_path)) {
            fail(QStringLiteral("cannot create the folder"));
            return false;
        }
        pruneFolder(m_path, m_bound);
        // Named in UTC, so that the names sort as the files were made, across clock changes.
        m_file.setFileName(
            m_path + QLatin1Char('/') +
            QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz-")) +
            m_port + QStringLiteral(".log"));
    } else {
        m_file.setFileName(m_path);
    }
    // Unbuffered: every line reaches the system as it is written.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        m_file.write(m_header) < 0) {
        fail(m_file.errorString());
        return false;
    }
    return true;
}

void TrafficLog::end() {
    m_file.close();
    m_header.clear();
}

void TrafficLog::line(const char* kind, const QByteArray& bytes) {
    if (!m_file.isOpen() && !openSession())
        return;
    QByteArray text = QByteArray::number(m_clock.nsecsElapsed() / 1000) + ' ' + kind;
    if (!bytes.isEmpty())
        text += ' ' + bytes.toHex(' ').toUpper();
    if (m_file.write(text + '\n') < 0)
        fail(m_file.errorString());
    // A long session goes on in a new file once this one holds a quarter of the bound, so
    // that pruning keeps the folder near its bound however long a session runs.
    if (m_folder && m_file.size() >= m_bound / 4)
        m_file.close();
}

void TrafficLog::fail(const QString& why) {
    end(); // the next session tries again, for a disk may have room again by then
    if (std::exchange(m_failed, true))
        return;
    std::fprintf(stderr, "%s: cannot write the traffic log %s (%s); the work goes on without it\n",
                 qPrintable(QCoreApplication::applicationName()), qPrintable(m_path),
                 qPrintable(why));
}

QString flightRecorderFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) // unset, empty or relative: the default
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/dx400/logs");
}

} // namespace dx400
