#include "ui/ColorPalette.h"

#include "ui/ColourArtwork.h"
#include "ui/ColourTable.h"
#include "ui/skin/Skin.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QToolTip>

using namespace colours;

namespace {

// The small owner-drawn button of the strip: three coloured squares.
class PaletteDialogButton : public QAbstractButton {
public:
    explicit PaletteDialogButton(QWidget* parent)
        : QAbstractButton(parent)
    {
        setAttribute(Qt::WA_Hover);
        setFocusPolicy(Qt::NoFocus);
        setToolTip(QStringLiteral("More colours..."));
    }
    QSize sizeHint() const override { return palette::kDialogButton.size(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, MakeDialogButtonGlyph(underMouse(), isDown()));
    }
};

QString PaletteToolTip()
{
    if (ColorPalette::CanReadScreen())
        return QStringLiteral("Click a colour to choose it.\nOutside the palette, click anywhere on the screen\n"
                              "to pick the colour under the mouse.");
    return QStringLiteral("Click a colour to choose it.\nThis desktop does not let programs read the screen,\n"
                          "so colours can be picked only inside the palette.");
}

} // namespace

ColorPalette::ColorPalette(QWidget* owner)
    : QWidget(owner, Qt::Popup)
{
    setObjectName(QStringLiteral("ColorPalette"));
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
    setFixedSize(palette::kWindowSize);

    dialogButton_ = new PaletteDialogButton(this);
    dialogButton_->setGeometry(palette::kDialogButton);
    connect(dialogButton_, &QAbstractButton::clicked, this, [this] {
        finished_ = true;
        close();
        emit dialogRequested();
    });
}

QString ColorPalette::HelpText()
{
    return PaletteToolTip();
}

bool ColorPalette::event(QEvent* event)
{
    // The help shows over the strip only, so that it never hides the boxes.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (help->pos().y() >= palette::kStripTop)
            QToolTip::showText(help->globalPos(), HelpText(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

QSize ColorPalette::sizeHint() const
{
    return palette::kWindowSize;
}

void ColorPalette::Popup(QPoint globalPos)
{
    finished_ = false;
    pressed_ = false;
    outside_ = false;
    hoverCell_ = {-1, -1};
    QRect screen(0, 0, 1 << 16, 1 << 16);
    if (QScreen* s = QGuiApplication::screenAt(globalPos))
        screen = s->geometry();
    else if (QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->geometry();
    const QPoint at = PlacePopup(size(), QRect(globalPos - QPoint(0, 1), QSize(1, 1)), screen);
    move(at);
    show();
    setFocus(Qt::PopupFocusReason);
}

void ColorPalette::SetColour(std::uint32_t colour)
{
    colour_ = colour & 0xFFFFFFu;
    update();
}

bool ColorPalette::CanReadScreen()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

std::optional<std::uint32_t> ColorPalette::ReadScreenPixel(QPoint globalPos)
{
    if (!CanReadScreen())
        return std::nullopt;
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        return std::nullopt;
    const QPoint onScreen = globalPos - screen->geometry().topLeft();
    const QPixmap pixel = screen->grabWindow(0, onScreen.x(), onScreen.y(), 1, 1);
    if (pixel.isNull())
        return std::nullopt;
    return FromQColor(pixel.toImage().pixelColor(0, 0));
}

void ColorPalette::Track(QPoint local, QPoint global)
{
    lastGlobal_ = global;
    if (rect().contains(local)) {
        if (outside_) {
            outside_ = false;
            unsetCursor();
        }
        const QPoint cell = palette::kGrid.CellAt(local);
        if (cell != hoverCell_) {
            hoverCell_ = cell;
            update();
        }
        // On a line between boxes or in the strip the colour stays the last box's.
        if (cell.x() >= 0) {
            colour_ = PaletteCellColour(cell.x(), cell.y());
            update();
        }
        return;
    }
    if (!outside_) {
        outside_ = true;
        hoverCell_ = {-1, -1};
        if (CanReadScreen())
            setCursor(Qt::CrossCursor);
        emit pointerOutside();
        update();
    }
    if (const std::optional<std::uint32_t> pixel = ReadScreenPixel(global)) {
        colour_ = *pixel;
        update();
    }
}

void ColorPalette::mouseMoveEvent(QMouseEvent* event)
{
    Track(event->position().toPoint(), event->globalPosition().toPoint());
}

void ColorPalette::mousePressEvent(QMouseEvent* event)
{
    // Not the base class: it would close the pop-up on a press outside, and outside is where
    // the eye-dropper works.
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        Track(event->position().toPoint(), event->globalPosition().toPoint());
    }
}

void ColorPalette::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    Track(event->position().toPoint(), event->globalPosition().toPoint());
    Finish(true, event->globalPosition().toPoint());
}

void ColorPalette::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Finish(false, lastGlobal_);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ColorPalette::closeEvent(QCloseEvent* event)
{
    // Losing activation ends as a release does.
    Finish(true, lastGlobal_);
    QWidget::closeEvent(event);
}

void ColorPalette::Finish(bool post, QPoint globalPos)
{
    if (finished_)
        return;
    finished_ = true;
    unsetCursor();
    if (post)
        emit colourChosen(colour_, globalPos);
    close();
}

void ColorPalette::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const PaletteGrid& grid = palette::kGrid;

    // The boxes on black grid lines.
    painter.fillRect(QRect(0, 0, width(), palette::kStripTop), skin::kPaletteGrid);
    for (int row = 0; row < kPaletteRows; ++row) {
        for (int column = 0; column <= kPaletteColourColumns; ++column)
            painter.fillRect(grid.CellRect(column, row), ToQColor(PaletteCellColour(column, row)));
    }
    // The box under the mouse: a white frame inside a black one.
    if (hoverCell_.x() >= 0) {
        const QRect cell = grid.CellRect(hoverCell_.x(), hoverCell_.y());
        painter.setBrush(Qt::NoBrush);
        painter.setPen(skin::kFocusFrame);
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.setPen(skin::kPaletteGrid);
        painter.drawRect(cell.adjusted(1, 1, -2, -2));
    }

    // The strip: preview, hex text, the dialog button (a child widget).
    const QRect strip(0, palette::kStripTop, width(), height() - palette::kStripTop);
    painter.fillRect(strip, skin::kStatusBackground);
    painter.setPen(skin::kPopupOutline);
    painter.drawRect(strip.adjusted(0, 0, -1, -1));
    // The grid's right edge, so that the window has an outline all round.
    painter.setPen(skin::kPaletteGrid);
    painter.drawLine(width() - 1, 0, width() - 1, palette::kStripTop - 1);

    painter.fillRect(palette::kPreview, ToQColor(colour_));
    painter.setPen(skin::kSwatchEdge);
    painter.drawRect(palette::kPreview.adjusted(0, 0, -1, -1));

    QFont hexFont = font();
    hexFont.setPixelSize(palette::kHexFontPixels);
    painter.setFont(hexFont);
    painter.setPen(skin::kText);
    const QRect textBox(palette::kHexTextAt, QSize(palette::kDialogButton.left() - palette::kHexTextAt.x(), 16));
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop, HexText(colour_));
}
