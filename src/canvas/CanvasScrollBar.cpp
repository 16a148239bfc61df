#include "canvas/CanvasScrollBar.h"

#include "canvas/CanvasGestures.h"
#include "ui/skin/Skin.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

using gestures::kArrowLength;

CanvasScrollBar::CanvasScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , orientation_(orientation)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    repeat_.setInterval(kRepeatIntervalMs);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        repeat_.setInterval(kRepeatIntervalMs);
        if (pressed_ == Part::StartArrow && hot_ == Part::StartArrow)
            Send(gestures::LineBack);
        else if (pressed_ == Part::EndArrow && hot_ == Part::EndArrow)
            Send(gestures::LineForward);
    });
}

void CanvasScrollBar::SetRange(std::int32_t range)
{
    range = std::max(0, range);
    if (range == range_)
        return;
    range_ = range;
    position_ = std::clamp(position_, 0, range_);
    update();
}

void CanvasScrollBar::SetPosition(std::int32_t position)
{
    position = std::clamp(position, 0, range_);
    if (position == position_)
        return;
    position_ = position;
    update();
}

int CanvasScrollBar::Length() const
{
    return orientation_ == Qt::Vertical ? height() : width();
}

int CanvasScrollBar::ThumbLengthNow() const
{
    return gestures::ThumbLength(Length(), range_);
}

int CanvasScrollBar::ThumbStartNow() const
{
    return dragStart_ >= 0 ? dragStart_ : gestures::ThumbStart(Length(), range_, position_);
}

QSize CanvasScrollBar::sizeHint() const
{
    const int t = gestures::kScrollBarThickness;
    return orientation_ == Qt::Vertical ? QSize(t, 200) : QSize(200, t);
}

QSize CanvasScrollBar::minimumSizeHint() const
{
    const int t = gestures::kScrollBarThickness;
    const int shortest = 2 * kArrowLength + 20;
    return orientation_ == Qt::Vertical ? QSize(t, shortest) : QSize(shortest, t);
}

int CanvasScrollBar::Along(QPointF p) const
{
    return static_cast<int>(std::floor(orientation_ == Qt::Vertical ? p.y() : p.x()));
}

CanvasScrollBar::Part CanvasScrollBar::PartAt(int along) const
{
    const int length = Length();
    if (along < 0 || along >= length)
        return Part::None;
    if (along < kArrowLength)
        return Part::StartArrow;
    if (along >= length - kArrowLength)
        return Part::EndArrow;
    const int start = ThumbStartNow();
    if (along >= start && along < start + ThumbLengthNow())
        return Part::Thumb;
    return Part::Track;
}

QRect CanvasScrollBar::PartRect(int start, int length) const
{
    return orientation_ == Qt::Vertical ? QRect(0, start, width(), length) : QRect(start, 0, length, height());
}

void CanvasScrollBar::SetHot(Part part)
{
    if (part == hot_)
        return;
    hot_ = part;
    update();
}

void CanvasScrollBar::Send(int code, std::int32_t value)
{
    emit scrolled(code, value);
}

void CanvasScrollBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), skin::kScrollTrack);
    const int length = Length();

    const auto fillFor = [this](Part part, QColor rest, QColor hot) {
        if (pressed_ == part)
            return skin::kScrollThumbPressed;
        if (hot_ == part && pressed_ == Part::None)
            return hot;
        return rest;
    };

    // Thumb: a bar one pixel in from the bar's long sides.
    const int thumb = ThumbLengthNow();
    if (range_ > 0 && thumb > 0) {
        QRect r = PartRect(ThumbStartNow(), thumb);
        r = orientation_ == Qt::Vertical ? r.adjusted(3, 1, -3, -1) : r.adjusted(1, 3, -1, -3);
        painter.fillRect(r, fillFor(Part::Thumb, skin::kScrollThumb, skin::kScrollThumbHover));
    }

    // Arrow buttons with a small triangle pointing away from the track.
    const auto arrow = [&](Part part, int start, bool towardStart) {
        const QRect box = PartRect(start, kArrowLength);
        const QColor fill = fillFor(part, skin::kScrollTrack, skin::kScrollArrowHover);
        painter.fillRect(box, fill);
        const QColor glyph = pressed_ == part ? skin::kPanelBackground : skin::kScrollArrow;
        const QPoint c = box.center();
        // A crisp triangle: tip 2 pixels from the centre towards the bar's end, base 4
        // pixels each side, 2 pixels back.
        const int dir = towardStart ? -1 : 1;
        QPolygon triangle;
        if (orientation_ == Qt::Vertical)
            triangle << QPoint(c.x(), c.y() + 2 * dir) << QPoint(c.x() - 4, c.y() - 2 * dir)
                     << QPoint(c.x() + 4, c.y() - 2 * dir);
        else
            triangle << QPoint(c.x() + 2 * dir, c.y()) << QPoint(c.x() - 2 * dir, c.y() - 4)
                     << QPoint(c.x() - 2 * dir, c.y() + 4);
        painter.setPen(glyph);
        painter.setBrush(glyph);
        painter.drawPolygon(triangle);
    };
    arrow(Part::StartArrow, 0, true);
    arrow(Part::EndArrow, length - kArrowLength, false);
}

void CanvasScrollBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int along = Along(event->position());
    pressed_ = PartAt(along);
    hot_ = pressed_;
    switch (pressed_) {
    case Part::StartArrow:
        Send(gestures::LineBack);
        repeat_.start(kRepeatDelayMs);
        break;
    case Part::EndArrow:
        Send(gestures::LineForward);
        repeat_.start(kRepeatDelayMs);
        break;
    case Part::Thumb:
        // The widget has the mouse until release (Qt grabs it for the pressed widget).
        dragStart_ = ThumbStartNow();
        grabOffset_ = along - dragStart_;
        break;
    default:
        break;
    }
    update();
}

void CanvasScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    const int along = Along(event->position());
    if (pressed_ == Part::Thumb) {
        const int length = Length();
        const int last = std::max(kArrowLength, length - kArrowLength - ThumbLengthNow());
        dragStart_ = std::clamp(along - grabOffset_, kArrowLength, last);
        if (const auto p = gestures::PositionAtThumb(length, range_, dragStart_)) {
            position_ = *p;
            Send(gestures::ThumbTrack, *p);
        }
        update();
        return;
    }
    // While an arrow is held the hot part says whether the mouse is still on it.
    const bool inside = rect().contains(event->position().toPoint());
    SetHot(inside ? PartAt(along) : Part::None);
}

void CanvasScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Part was = pressed_;
    pressed_ = Part::None;
    dragStart_ = -1;
    repeat_.stop();
    const int along = Along(event->position());
    const bool inside = rect().contains(event->position().toPoint());
    if (was == Part::Track && inside && PartAt(along) == Part::Track)
        Send(ThumbStartNow() < along ? gestures::PageForward : gestures::PageBack);
    hot_ = inside ? PartAt(along) : Part::None;
    update();
}

void CanvasScrollBar::enterEvent(QEnterEvent* event)
{
    SetHot(PartAt(Along(event->position())));
}

void CanvasScrollBar::leaveEvent(QEvent*)
{
    SetHot(Part::None);
}
