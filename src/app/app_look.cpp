#include "app_look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QStyleFactory>
#include <QWidget>

namespace dx400 {

void applyApplicationLook(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setFont(gulim(9.75));
    app.setApplicationDisplayName(QStringLiteral("DX-400"));
}

QFont gulim(double pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("굴림"), QStringLiteral("Gulim"),
                      QStringLiteral("Baekmuk Gulim"), QStringLiteral("NanumGothic"),
                      QStringLiteral("Noto Sans CJK KR")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

namespace {
QPalette::ColorRole backgroundRole(const QWidget* widget) {
    return qobject_cast<const QAbstractButton*>(widget) ? QPalette::Button : QPalette::Base;
}
} // namespace

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(backgroundRole(widget), colour);
    widget->setPalette(palette);
}

QColor background(const QWidget* widget) {
    return widget->palette().color(backgroundRole(widget));
}

void showText(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

QColor systemButtonColour() {
    return QApplication::palette().color(QPalette::Button);
}

} // namespace dx400
