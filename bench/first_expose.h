#pragma once

#include <QObject>
#include <functional>

namespace dx400::bench {

// Watches the application for the first Expose of an exposed window. At that moment it
// prints "expose <CLOCK_MONOTONIC µs>"; once that event has been handled (the first frame
// painted), "painted <µs> <VmHWM KiB>", and then calls `then`. The start-up harness
// subtracts the time it took just before starting the process.
class FirstExpose : public QObject {
public:
    explicit FirstExpose(std::function<void()> then);
    ~FirstExpose() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_then;
    bool m_seen = false;
};

} // namespace dx400::bench
