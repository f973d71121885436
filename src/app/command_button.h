#pragma once

#include <QPushButton>

namespace dx400 {

// A push button as the window's buttons look: the caption wraps onto further lines when
// it is wider than the button (as "출력OFF" on the narrow output button), between words
// and between Korean syllables. A colour-face button paints its face flat in its own
// colour (the palette's Button colour): Fusion paints a gradient lighter than that
// colour, so a red EXIT would show pink. It keeps a raised edge that sinks while pressed
// and a dotted focus mark; disabled, it keeps its face and dims only its caption. Plain
// buttons keep the style's own face.
class CommandButton final : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(bool colourFace READ colourFace WRITE setColourFace)
public:
    explicit CommandButton(QWidget* parent = nullptr);

    bool colourFace() const { return m_colourFace; }
    void setColourFace(bool colourFace);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintFlatFace(QPainter& painter) const;
    void paintCaption(QPainter& painter) const;

    bool m_colourFace = false;
};

} // namespace dx400
