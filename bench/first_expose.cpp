#include "first_expose.h"

#include "bench_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>
#include <cstdio>

namespace dx400::bench {

FirstExpose::FirstExpose(std::function<void()> then) : m_then(std::move(then)) {
    QCoreApplication::instance()->installEventFilter(this);
}

FirstExpose::~FirstExpose() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool FirstExpose::eventFilter(QObject* watched, QEvent* event) {
    if (m_seen || event->type() != QEvent::Expose)
        return false;
    auto* window = qobject_cast<QWindow*>(watched);
    if (!window || !window->isExposed())
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

} // namespace dx400::bench
