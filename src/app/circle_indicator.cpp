#include "circle_indicator.h"

#include <QPainter>

namespace dx400 {

CircleIndicator::CircleIndicator(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CircleIndicator::setFillColour(const QColor& colour) {
    if (colour == m_fill)
        return;
    m_fill = colour;
    update();
}

void CircleIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.setBrush(m_fill);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace dx400
