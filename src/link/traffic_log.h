#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <memory>

namespace dx400 {

// What a traffic log's header says: who wrote it and which line it watched.
struct TrafficLogHeader {
    QString program, version, port, device;
    qint32 speed = 0;
};

// The traffic log of the window and of dx400ctl (the simulator writes the same format):
//
//   # dx400ctl 1.0.0 port=COM4 device=/dev/pts/3 speed=19200 start=2026-12-08T07:40:00.123+00:00
//   0 TX AA 00 06 01 00 00 00 00 EE 07 00 00
//   6240 RX BB 00 06 64 00 00 00 14 EE 7E
//   9377 HUP
//
// A header line begins each session (an open of the port); then one line per chunk of bytes
// written (TX) or received (RX), with the microseconds since the header, and HUP when the
// line is lost. Each line is written through to the file as its bytes go or come, so a log
// cut short by a crash or a pulled plug keeps everything up to that moment.
//
// Logging never stops the drive work: a log that cannot be written says so once on
// standard error, and the work goes on without it until the next session tries again.
class TrafficLog {
public:
    // Every session appended to one file.
    static std::unique_ptr<TrafficLog> toFile(const QString& path);
    // Each session in a new file in `folder`, named by its start time (UTC) and port, and
    // a long one in a new file each quarter of `bound`; before a file starts, the oldest
    // files go until the folder holds less than `bound` bytes.
    static std::unique_ptr<TrafficLog> toFolder(const QString& folder, qint64 bound);

    // Begins a session; the clock starts here. Its file and header are written with its
    // first line: a session without traffic leaves nothing.
    void begin(const TrafficLogHeader& header);
    void sent(const QByteArray& bytes) { line("TX", bytes); }
    void received(const QByteArray& bytes) { line("RX", bytes); }
    void lineLost() { line("HUP", {}); }
    // Ends the session: its file is closed.
    void end();

private:
    TrafficLog(const QString& path, bool folder, qint64 bound)
        : m_path(path), m_folder(folder), m_bound(bound) {}
    bool openSession();
    void line(const char* kind, const QByteArray& bytes);
    void fail(const QString& why);

    QString m_path;
    bool m_folder;
    qint64 m_bound;
    QFile m_file;
    QElapsedTimer m_clock;
    QDateTime m_start;
    QString m_port;
    QByteArray m_header;   // of the session begun, until its file is open
    bool m_failed = false; // a failure was said; later ones go unsaid
};

// Where the window keeps its sessions' logs: $XDG_STATE_HOME/dx400/logs, by default
// ~/.local/state/dx400/logs.
QString flightRecorderFolder();

// The window's bound on the disk its logs take.
constexpr qint64 kFlightRecorderBound = 20 * 1024 * 1024;

} // namespace dx400
