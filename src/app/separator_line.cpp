#include "separator_line.h"

#include "twips.h"

#include <QPainter>
#include <algorithm>

namespace dx400 {

namespace {
constexpr int kWidth = 3;
}

SeparatorLine::SeparatorLine(const char* name, int x1, int y1, int x2, int y2, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QString::fromUtf8(name));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const int left = px(std::min(x1, x2));
    const int top = px(std::min(y1, y2));
    const int width = std::max(px(std::abs(x2 - x1)), 1);
    const int height = std::max(px(std::abs(y2 - y1)), 1);
    // The line runs through the middle of a strip kWidth pixels thick.
    if (height <= width)
        setGeometry(left, top - kWidth / 2, width, kWidth);
    else
        setGeometry(left - kWidth / 2, top, kWidth, height);
}

void SeparatorLine::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), palette().color(QPalette::WindowText));
}

} // namespace dx400
