#pragma once

// Helpers for the benchmark programs that show a window: the first-expose watch, message
// boxes, controls, the event loop. Header-only, so that the bare window uses the watch
// without linking the tool.

#include "app/app_look.h"
#include "app/form1.h"
#include "bench.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <functional>
#include <iostream>
#include <stdexcept>

namespace dx400::bench {

// Watches the application for the first Expose of an exposed window. At that moment it
// prints "expose <CLOCK_MONOTONIC µs>"; once that event has been handled (the first frame
// painted), "painted <µs> <VmHWM KiB>", and then calls `then`. The start-up harness
// subtracts the time it took just before starting the process.
class FirstExpose : public QObject {
public:
    explicit FirstExpose(std::function<void()> then) : m_then(std::move(then)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (m_seen || event->type() != QEvent::Expose || !window || !window->isExposed())
            return false;
        m_seen = true;
        std::printf("expose %lld\n", static_cast<long long>(monotonicMicros()));
        std::fflush(stdout);
        // Queued behind the expose, which paints the first frame before returning.
        QMetaObject::invokeMethod(
            this,
            [this] {
                std::printf("painted %lld %ld\n", static_cast<long long>(monotonicMicros()),
                            peakResidentKiB());
                std::fflush(stdout);
                m_then();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void()> m_then;
    bool m_seen = false;
};

// Accepts every modal message box as soon as it shows and counts them, so that no
// measurement hangs on a "통신에러" box; status() is then 1, with the count on stderr.
class MessageCloser : public QObject {
public:
    MessageCloser() { qApp->installEventFilter(this); }
    int count() const { return m_count; }
    int status() const {
        if (m_count > 0)
            std::cerr << m_count << " message boxes were shown and closed" << std::endl;
        return m_count > 0 ? 1 : 0;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (event->type() == QEvent::Show && box && ++m_count)
            QMetaObject::invokeMethod(box, &QDialog::accept, Qt::QueuedConnection);
        return false;
    }

private:
    int m_count = 0;
};

// A control of the window by object name; throws when it is missing.
template <typename T = QPushButton> T* control(const QWidget& window, const char* name) {
    if (auto* widget = window.findChild<T*>(QString::fromUtf8(name)))
        return widget;
    throw std::runtime_error(std::string("no control ") + name);
}

// Runs the event loop until done() holds or timeoutMs pass; returns done().
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QTimer guard; // only makes sure that a wait for more events ends in time
    guard.start(10);
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}

// Shows a window and runs the event loop until it is exposed, since painting only happens
// then, and once more after that.
inline void showExposed(QWidget& window) {
    window.show();
    pumpUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 5000);
    QCoreApplication::processEvents();
}

// Shows the window and clicks "통신 연결" with the default choices (COM4); throws when the
// port did not open.
inline void connectWindow(Form1& window) {
    showExposed(window);
    control(window, "통신연결버튼")->click();
    if (!window.serialPort().isOpen())
        throw std::runtime_error("the window did not connect to COM4");
}

// The main function of a benchmark with the window in its own process: the offscreen
// platform unless one is set, a ConfigHome where only COM4 may be a device, the
// application with the tool's look, then `run`'s exit status, or 2 if it threw.
inline int windowMain(int& argc, char** argv, const std::function<int(ConfigHome&)>& run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        ConfigHome home(4);
        QApplication app(argc, argv);
        applyApplicationLook(app);
        return run(home);
    } catch (const std::exception& error) {
        std::cerr << argv[0] << ": " << error.what() << std::endl;
        return 2;
    }
}

} // namespace dx400::bench
