#include "caption_label.h"

#include <QPainter>
#include <QStyle>
#include <QTextBoundaryFinder>

namespace dx400 {

QString breakableCaption(const QString& caption) {
    constexpr QChar kZeroWidthSpace(0x200B);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, caption);
    QString breakable;
    qsizetype from = 0;
    for (qsizetype at = breaks.toNextBoundary(); at > 0 && at < caption.size();
         at = breaks.toNextBoundary()) {
        breakable += QStringView(caption).sliced(from, at - from);
        if (!caption.at(at - 1).isSpace())
            breakable += kZeroWidthSpace;
        from = at;
    }
    return breakable.append(QStringView(caption).sliced(from));
}

void CaptionLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const int flags = static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment())) |
                      Qt::TextWordWrap;
    style()->drawItemText(&painter, contentsRect(), flags, palette(), isEnabled(),
                          breakableCaption(text()), foregroundRole());
}

} // namespace dx400
