#include "app_look.h"

#include "texts/operator_texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QStyleFactory>
#include <QWidget>

namespace dx400 {

void applyApplicationLook(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setFont(gulim(9.75));
    app.setApplicationDisplayName(QString::fromUtf8(text::kTitle));
}

namespace {

const QString kGulim = QStringLiteral("굴림");

void substituteGulim() {
    static const bool substituted = [] {
        QFont::insertSubstitutions(
            kGulim, {QStringLiteral("Gulim"), QStringLiteral("Baekmuk Gulim"),
                     QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR")});
        return true;
    }();
    (void)substituted;
}

} // namespace

QFont gulim(double pointSize, bool bold) {
    substituteGulim();
    QFont font(kGulim);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void useWindowFonts(QWidget* form) {
    substituteGulim();
    // Designer keeps font sizes in whole points: the form's 10 and 11 pt stand for 9.75
    // and 11.25 pt, 13 and 15 pixels at 96 dots per inch.
    QList<QWidget*> widgets = form->findChildren<QWidget*>();
    widgets.prepend(form);
    for (QWidget* widget : widgets) {
        if (!widget->testAttribute(Qt::WA_SetFont))
            continue;
        QFont font = widget->font();
        if (font.pointSizeF() == 10)
            font.setPointSizeF(9.75);
        else if (font.pointSizeF() == 11)
            font.setPointSizeF(11.25);
        widget->setFont(font);
    }
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
