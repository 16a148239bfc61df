#include "ui/InlinePalette.h"

#include "ui/ColourTable.h"
#include "ui/skin/Skin.h"

#include <QMouseEvent>
#include <QPainter>

using namespace colours;

namespace {

constexpr int kSwatchWidth = 30;  // the swatch of the current colour below the grid
constexpr int kSwatchHeight = 14;
constexpr int kStripGap = 4;      // between the grid and the swatch
constexpr int kTextGap = 6;       // between the swatch and the hex text

} // namespace

InlinePalette::InlinePalette(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize InlinePalette::sizeHint() const
{
    const QSize grid = inline_palette::kGrid.Size();
    return {grid.width(), grid.height() + inline_palette::kStripHeight};
}

void InlinePalette::SetColour(std::uint32_t colour)
{
    colour_ = colour & 0xFFFFFFu;
    update();
}

void InlinePalette::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint cell = inline_palette::kGrid.CellAt(event->position().toPoint());
    if (cell != hoverCell_) {
        hoverCell_ = cell;
        update();
    }
}

void InlinePalette::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint cell = inline_palette::kGrid.CellAt(event->position().toPoint());
    if (cell.x() < 0)
        return;
    SetColour(PaletteCellColour(cell.x(), cell.y()));
    emit colourChosen(colour_);
}

void InlinePalette::leaveEvent(QEvent* event)
{
    hoverCell_ = {-1, -1};
    update();
    QWidget::leaveEvent(event);
}

void InlinePalette::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), skin::kStatusBackground);
    const PaletteGrid& grid = inline_palette::kGrid;
    for (int row = 0; row < kPaletteRows; ++row) {
        for (int column = 0; column <= kPaletteColourColumns; ++column)
            painter.fillRect(grid.CellRect(column, row), ToQColor(PaletteCellColour(column, row)));
    }
    if (hoverCell_.x() >= 0) {
        // A black frame in the gap around the hovered box.
        painter.setPen(skin::kPaletteGrid);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(grid.CellRect(hoverCell_.x(), hoverCell_.y()).adjusted(-1, -1, 0, 0));
    }

    // The swatch shows the hovered colour while the mouse is over a box, else the current one.
    const std::uint32_t shown =
        hoverCell_.x() >= 0 ? PaletteCellColour(hoverCell_.x(), hoverCell_.y()) : colour_;
    const int top = grid.Size().height() + kStripGap;
    const QRect swatch(0, top, kSwatchWidth, kSwatchHeight);
    painter.fillRect(swatch, ToQColor(shown));
    painter.setPen(skin::kSwatchEdge);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.setPen(skin::kText);
    painter.drawText(QRect(swatch.right() + kTextGap, top, width() - swatch.right() - kTextGap, kSwatchHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, HexText(shown));
}
