#pragma once

#include <QLabel>
#include <QString>

namespace dx400 {

// The caption with a zero-width space at every place where the system's line breaker
// allows a break, for drawing with Qt::TextWordWrap. Qt's own wrapping keeps a run of
// Hangul syllables together as one word, so a Korean caption wider than its control
// ("홈이동속도", "출력OFF") would be cut off; in Korean a line may break between
// syllables and between Hangul and Latin letters, as the system's breaker allows.
QString breakableCaption(const QString& caption);

// A label whose caption wraps onto further lines where it has the height, Korean
// captions included.
class CaptionLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace dx400
