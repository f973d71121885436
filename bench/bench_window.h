#pragma once

#include <QObject>
#include <QTemporaryDir>
#include <functional>

class QPushButton;
class QLineEdit;
class QWidget;

namespace dx400::bench {

// A fresh $XDG_CONFIG_HOME for this process, so that the simulator's COM4 link never
// meets the operator's own ports. Must exist before the window probes its ports.
class TempConfigHome {
public:
    TempConfigHome();

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
