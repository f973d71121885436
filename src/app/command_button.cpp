#include "command_button.h"

#include "caption_label.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace dx400 {

namespace {

// Room kept free between the caption and the button's edges.
constexpr int kCaptionMargin = 3;

} // namespace

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent) {}

void CommandButton::setColourFace(bool colourFace) {
    m_colourFace = colourFace;
    update();
}

void CommandButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    if (m_colourFace) {
        paintFlatFace(painter);
    } else {
        QStyleOptionButton option;
        initStyleOption(&option);
        painter.drawControl(QStyle::CE_PushButtonBevel, option);
    }
    paintCaption(painter);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect =
            rect().adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, -kCaptionMargin);
        if (m_colourFace) {
            painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(focus.rect.adjusted(0, 0, -1, -1));
        } else {
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
}

void CommandButton::paintFlatFace(QPainter& painter) const {
    const QColor face = palette().color(QPalette::Button);
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), face);
    // A raised edge inside a dark outline; pressed, the edge is sunken instead.
    const bool down = isDown();
    const QColor light = face.lighter(160);
    const QColor shade = face.darker(160);
    const QRect edge = outer.adjusted(1, 1, 0, 0); // drawRect() goes one pixel past outer
    painter.setPen(down ? shade : light);
    painter.drawLine(edge.topLeft(), edge.topRight());
    painter.drawLine(edge.topLeft(), edge.bottomLeft());
    painter.setPen(down ? light : shade);
    painter.drawLine(edge.bottomLeft(), edge.bottomRight());
    painter.drawLine(edge.topRight(), edge.bottomRight());
    painter.setPen(palette().color(QPalette::Shadow));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outer);
}

void CommandButton::paintCaption(QPainter& painter) const {
    QRect area = rect().adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, -kCaptionMargin);
    if (isDown())
        area.translate(1, 1);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    const QString caption = breakableCaption(text());
    if (m_colourFace && !isEnabled()) {
        // The face stays; a caption in a deep shade of it says the button is off.
        painter.setPen(palette().color(QPalette::Button).darker(200));
        painter.drawText(area, flags, caption);
        return;
    }
    style()->drawItemText(&painter, area, flags, palette(), isEnabled(), caption,
                          QPalette::ButtonText);
}

} // namespace dx400
