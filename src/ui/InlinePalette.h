#pragma once

// The small inline palette of the main window's side panel: the 12 greys and 216 colours
// of the "ColorPalette" window in 6 x 6 boxes on a 7-pixel pitch (greys at x 0, colours from
// x 7) on a 0xE6E6E6 ground, with a swatch of the current colour and its "#RRGGBB" text
// below. Hovering a box previews it in the swatch; a click makes it the current colour and
// emits colourChosen. Colours are 0x00BBGGRR values.

#include <QWidget>

#include <cstdint>

class InlinePalette : public QWidget {
    Q_OBJECT

public:
    explicit InlinePalette(QWidget* parent = nullptr);

    void SetColour(std::uint32_t colour);
    std::uint32_t Colour() const { return colour_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void colourChosen(quint32 colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    std::uint32_t colour_ = 0xFFFFFF;
    QPoint hoverCell_{-1, -1};
};
