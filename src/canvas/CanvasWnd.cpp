#include "canvas/CanvasWnd.h"

#include "base/UserMessage.h"
#include "canvas/CanvasCursors.h"
#include "canvas/CanvasScrollBar.h"
#include "editing/TextRendering.h"
#include "library/LibraryFiles.h"
#include "ui/skin/Skin.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPalette>
#include <QRegion>
#include <QResizeEvent>

namespace {

constexpr QSize kStartSize(1024, 768);

QCursor MakeCursor(const cursors::CursorPicture& picture)
{
    return QCursor(QPixmap::fromImage(picture.image), picture.hotspot.x(), picture.hotspot.y());
}

} // namespace

CanvasWnd::CanvasWnd(QWidget* parent)
    : QWidget(parent)
    , renderer_(model_)
{
    // A white window with the arrow cursor that takes the keyboard focus; every pixel is
    // painted from the view buffer.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // cursors follow the handles without a button held
    stampCursor_ = MakeCursor(cursors::StampCursorPicture());
    rotationCursor_ = MakeCursor(cursors::RotationCursorPicture());

    vbar_ = new CanvasScrollBar(Qt::Vertical, this);
    hbar_ = new CanvasScrollBar(Qt::Horizontal, this);
    vbar_->hide();
    hbar_->hide();
    connect(vbar_, &CanvasScrollBar::scrolled, this,
            [this](int code, std::int32_t value) { Scroll(Qt::Vertical, code, value); });
    connect(hbar_, &CanvasScrollBar::scrolled, this,
            [this](int code, std::int32_t value) { Scroll(Qt::Horizontal, code, value); });
    resize(kStartSize);

    model_.SetTextMeasurer([](const LogFont& font, const QString& text) { return MeasureText(font, text); });
    model_.SetClipArtSizeReader([this](std::int32_t entry) {
        return library::ReadThumbnailEntry(renderer_.LibraryFolder() + QLatin1String(library::kClipArtsFile), entry).size();
    });
    model_.SetBrushSizeReader([this](std::int32_t entry) {
        return library::ReadThumbnailEntry(renderer_.LibraryFolder() + QLatin1String(library::kBrushesFile), entry).size();
    });

    connect(&model_, &CollageModel::redrawRequested, this, &CanvasWnd::Redraw);
    connect(&model_, &CollageModel::backgroundChanged, this, [this] { renderer_.ReloadBackground(); });
    connect(&model_, &CollageModel::focusRequested, this, [this] { setFocus(Qt::OtherFocusReason); });
    connect(&model_, &CollageModel::historyChanged, this, &CanvasWnd::historyChanged);
    connect(&model_, &CollageModel::itemAdded, this, &CanvasWnd::itemAdded);
    connect(&model_, &CollageModel::effectApplied, this, &CanvasWnd::effectApplied);
    connect(&model_, &CollageModel::textBoxRequested, this, &CanvasWnd::textBoxRequested);

    renderer_.SetClientSize(size());
    Redraw();
}

CanvasWnd::~CanvasWnd() = default;

void CanvasWnd::SetDataFolder(const QString& folder)
{
    renderer_.SetDataFolder(folder);
    model_.DropCaches();
    Redraw();
}

void CanvasWnd::ResetCanvas()
{
    model_.ResetCanvas();
    Redraw();
}

void CanvasWnd::SetScroll(std::int32_t scrollX, std::int32_t scrollY)
{
    model_.SetScroll(scrollX, scrollY);
    update();
}

void CanvasWnd::Redraw()
{
    // A hidden window hears of a new size only when shown; the buffer follows the size it
    // has now.
    renderer_.SetClientSize(size());
    renderer_.Redraw();
    UpdateScrollBars(false);
    update();
}

void CanvasWnd::SetPreviewMode(bool on)
{
    renderer_.SetPreviewMode(on);
    Redraw();
}

bool CanvasWnd::ComposeFullSize()
{
    const bool composed = renderer_.ComposeFullSize();
    Redraw();
    return composed;
}

bool CanvasWnd::ExportPicture(const QString& path)
{
    if (!ComposeFullSize()) {
        ShowUserMessage(QStringLiteral("The collage is too large to be saved as one picture (%1 x %2 pixels).")
                            .arg(model_.CanvasWidth())
                            .arg(model_.CanvasHeight()));
        return false;
    }
    QString error;
    if (!WriteExportPicture(renderer_.Export(), path, &error)) {
        ShowUserMessage(QStringLiteral("The collage could not be saved as %1:\n%2").arg(path, error));
        return false;
    }
    return true;
}

void CanvasWnd::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QImage& view = renderer_.ViewBuffer();
    if (view.isNull()) {
        painter.fillRect(event->rect(), QColor::fromRgba(CanvasRenderer::kOutsideGrey));
        return;
    }
    // The client-sized block of the view buffer at the scroll position, to (0, 0).
    // A block reaching past the buffer (a scroll position beyond the range) shows grey
    // there.
    const QRect block(model_.ScrollX(), model_.ScrollY(), width(), height());
    const QRect shown = block.intersected(view.rect());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (shown != block) {
        QRegion rest(rect());
        rest -= shown.translated(-block.topLeft());
        for (const QRect& r : rest)
            painter.fillRect(r, QColor::fromRgba(CanvasRenderer::kOutsideGrey));
    }
    if (!shown.isEmpty())
        painter.drawImage(shown.topLeft() - block.topLeft(), view, shown);
    // The square between the two bars belongs to neither: it takes the bars' track.
    if (vbar_->isVisible() && hbar_->isVisible())
        painter.fillRect(QRect(vbar_->x(), hbar_->y(), vbar_->width(), hbar_->height()), skin::kScrollTrack);
}

void CanvasWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    renderer_.SetClientSize(event->size());
    Redraw();
    UpdateScrollBars(true);
}
