// The canvas window's scrolling: its two drawn scroll bars and the mouse wheel.

#include "canvas/CanvasGestures.h"
#include "canvas/CanvasScrollBar.h"
#include "canvas/CanvasWnd.h"

#include <QWheelEvent>

#include <algorithm>

void CanvasWnd::UpdateScrollBars(bool resized)
{
    const QSize ranges = model_.ScrollRanges(size());
    const std::int32_t rangeX = ranges.width();
    const std::int32_t rangeY = ranges.height();
    const bool showV = rangeY >= 1 && !renderer_.PreviewMode();
    const bool showH = rangeX >= 1 && !renderer_.PreviewMode();

    // A bar with nothing to scroll takes its offset back to 0. After a resize the offsets
    // stay below their range; otherwise within it.
    const auto clampTo = [resized](std::int32_t offset, std::int32_t range) {
        if (range < 1)
            return 0;
        return std::clamp(offset, 0, resized ? range - 1 : range);
    };
    const std::int32_t x = clampTo(model_.ScrollX(), rangeX);
    const std::int32_t y = clampTo(model_.ScrollY(), rangeY);
    if (x != model_.ScrollX() || y != model_.ScrollY()) {
        model_.SetScroll(x, y);
        update();
    }

    const gestures::ScrollBarPlacement place = gestures::PlaceScrollBars(size(), showV, showH);
    const auto setUp = [](CanvasScrollBar* bar, bool shown, const QRect& where, std::int32_t range, std::int32_t at) {
        bar->SetRange(range);
        bar->SetPosition(at);
        if (shown && bar->geometry() != where)
            bar->setGeometry(where);
        if (bar->isVisibleTo(bar->parentWidget()) != shown)
            bar->setVisible(shown);
    };
    setUp(vbar_, showV, place.vertical, rangeY, y);
    setUp(hbar_, showH, place.horizontal, rangeX, x);
}

void CanvasWnd::Scroll(Qt::Orientation orientation, int code, std::int32_t value)
{
    const QSize ranges = model_.ScrollRanges(size());
    if (orientation == Qt::Vertical) {
        const std::int32_t y = gestures::ApplyScrollCode(code, model_.ScrollY(), ranges.height(), value);
        model_.SetScroll(model_.ScrollX(), y);
        vbar_->SetPosition(y);
    } else {
        const std::int32_t x = gestures::ApplyScrollCode(code, model_.ScrollX(), ranges.width(), value);
        model_.SetScroll(x, model_.ScrollY());
        hbar_->SetPosition(x);
    }
    // The view buffer holds the whole canvas: showing another block of it is a repaint.
    update();
}

void CanvasWnd::wheelEvent(QWheelEvent* event)
{
    // One page per notch (120 units), down for a turn towards the user; Shift scrolls
    // sideways. A finer wheel adds up to whole notches.
    event->accept();
    if (renderer_.PreviewMode())
        return;
    const QPoint delta = event->angleDelta();
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    const Qt::Orientation orientation = sideways ? Qt::Horizontal : Qt::Vertical;
    wheelRest_ += amount;
    constexpr int kNotch = 120;
    while (wheelRest_ >= kNotch) {
        Scroll(orientation, gestures::PageBack);
        wheelRest_ -= kNotch;
    }
    while (wheelRest_ <= -kNotch) {
        Scroll(orientation, gestures::PageForward);
        wheelRest_ += kNotch;
    }
}
