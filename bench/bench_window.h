#pragma once

#include <QObject>
#include <QTemporaryDir>
#include <functional>

class QPushButton;
class QLineEdit;
class QWidget;

namespace dx400::bench {

// A fresh $XDG_CONFIG_HOME for this process, so that the simulator's COM4 link never
// meets the operator's own ports, with every port COM1 to COM10 but `used` linked to a
// path that does not exist: the window probes all ten at start-up and must never open the
// machine's own serial devices (/dev/ttyS0 is often its console). Must exist before the
// window probes its ports.
class TempConfigHome {
public:
    explicit TempConfigHome(int used);

private:
    QTemporaryDir m_dir;
};

// Accepts every modal message box as soon as it shows and counts them, so that no
// measurement hangs on a "통신에러" box. A benchmark with boxes is reported with their count.
class MessageCloser : public QObject {
public:
    MessageCloser();
    ~MessageCloser() override;
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_count = 0;
};

// A control of the window by object name; throws std::runtime_error when it is missing.
QPushButton* button(const QWidget& window, const char* name);
QLineEdit* lineEdit(const QWidget& window, const char* name);

// Runs the event loop until done() holds or timeoutMs pass; returns done().
bool pumpUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace dx400::bench
