#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace dx400 {

// Catches, while it lives, every signal that would end the program and can be caught
// (HUP, INT, QUIT, TERM, ALRM, USR1, USR2, PIPE), so that a program holding a drive can
// still put a stop frame on the line: a closed terminal, a log-out, Ctrl-C, Ctrl-\ or a
// supervisor's kill would otherwise end it at once, with no destructor run. The handler
// only writes the signal's number into a pipe that the event loop watches; `arrived` is
// emitted from there, outside the handler. The handlers before it come back when it ends.
// One lives at a time: there is one pipe.
class EndingSignals : public QObject {
    Q_OBJECT
public:
    explicit EndingSignals(QObject* parent = nullptr);
    ~EndingSignals() override;
    EndingSignals(const EndingSignals&) = delete;
    EndingSignals& operator=(const EndingSignals&) = delete;

    // The signal caught first, 0 while none has come. poll() also takes in one that came
    // while no event loop ran.
    int first() const { return m_first; }
    int poll();

    // "SIGHUP" for SIGHUP, and so on.
    static const char* name(int signal);

    // Ends the program as the signal would have ended it without this watch, so that a
    // shell or a supervisor sees the same status.
    [[noreturn]] static void endAs(int signal);

signals:
    // A signal came; `signal` is its number. Emitted once for each signal caught.
    void arrived(int signal);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_first = 0;
};

} // namespace dx400
