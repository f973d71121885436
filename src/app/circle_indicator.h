#pragma once

#include <QColor>
#include <QWidget>

namespace dx400 {

// A filled round indicator (link and input states).
class CircleIndicator final : public QWidget {
    Q_OBJECT
public:
    explicit CircleIndicator(QWidget* parent = nullptr);

    void setFillColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill{Qt::white};
};

} // namespace dx400
