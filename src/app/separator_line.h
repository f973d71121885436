#pragma once

#include <QWidget>

namespace dx400 {

// A straight horizontal or vertical line, 3 pixels wide, in the window-text colour,
// given by its end points in twips of the window.
class SeparatorLine final : public QWidget {
public:
    SeparatorLine(const char* name, int x1, int y1, int x2, int y2, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace dx400
