#include "editing/PanelSlider.h"

#include "editing/SliderArtwork.h"
#include "editing/SliderGeometry.h"
#include "ui/skin/Skin.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

struct DefaultSkin {
    QImage track = slider::MakeTrackBitmap();
    QImage thumb = slider::MakeThumbBitmap(slider::ThumbLook::Normal);
    QImage hover = slider::MakeThumbBitmap(slider::ThumbLook::Hover);
    QImage pressed = slider::MakeThumbBitmap(slider::ThumbLook::Pressed);
};

const DefaultSkin& ProgramSkin()
{
    static const DefaultSkin skin;
    return skin;
}

} // namespace

PanelSlider::PanelSlider(int id, QWidget* parent)
    : QWidget(parent)
    , id_(id)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const DefaultSkin& skin = ProgramSkin();
    SetSkin(skin.track, skin.thumb, skin.hover, skin.pressed);
}

PanelSlider::PanelSlider(const QRect& rect, QWidget* parent, int id)
    : PanelSlider(id, parent)
{
    setGeometry(rect);
}

void PanelSlider::SetRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    SetPosition(position_);
}

void PanelSlider::SetPosition(int position)
{
    const int clamped = slider::ClampPosition(position, minimum_, maximum_);
    if (clamped == position_)
        return;
    position_ = clamped;
    update();
}

void PanelSlider::SetSkin(const QImage& track, const QImage& thumb, const QImage& hoverThumb,
                          const QImage& pressedThumb)
{
    track_ = track;
    thumb_ = thumb;
    hoverThumb_ = hoverThumb.isNull() ? thumb : hoverThumb;
    pressedThumb_ = pressedThumb.isNull() ? thumb : pressedThumb;
    update();
}

QRect PanelSlider::ThumbRect() const
{
    return slider::ThumbRect(width(), position_, minimum_, maximum_);
}

QSize PanelSlider::sizeHint() const
{
    return {slider::kTrackBitmapWidth, slider::kControlHeight};
}

QSize PanelSlider::minimumSizeHint() const
{
    return {slider::kThumbWidth + 4, slider::kControlHeight};
}

void PanelSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), skin::kPanelBackground);
    if (!isEnabled())
        painter.setOpacity(0.45);

    // The track in three pieces: left cap, stretched middle, right cap.
    const slider::TrackLayout pieces = slider::TrackPieces(width());
    const int h = slider::kTrackBitmapHeight;
    painter.drawImage(pieces.left, track_, QRect(slider::kTrackLeftCap.sourceLeft, 0, pieces.left.width(), h));
    if (!pieces.middle.isEmpty()) {
        painter.drawImage(pieces.middle, track_,
                          QRect(slider::kTrackMiddle.sourceLeft, 0, slider::kTrackMiddle.sourceWidth, h));
    }
    const int rightCapSource =
        slider::kTrackRightCap.sourceLeft + slider::kTrackRightCap.sourceWidth - pieces.right.width();
    painter.drawImage(pieces.right, track_, QRect(rightCapSource, 0, pieces.right.width(), h));

    // The thumb, its bitmap aligned to the thumb's top-left corner.
    const QImage& thumb = dragging_ ? pressedThumb_ : hovering_ ? hoverThumb_ : thumb_;
    const QRect thumbRect = ThumbRect();
    painter.drawImage(thumbRect.topLeft(), thumb, QRect(QPoint(0, 0), thumbRect.size()));
}

void PanelSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (ThumbRect().contains(at))
        dragging_ = true; // the press grabs the mouse until the release
    position_ = slider::PositionAtX(at.x(), width(), minimum_, maximum_);
    update();
    emit positionReported(id_, position_);
}

void PanelSlider::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (dragging_) {
        const int position = slider::PositionAtX(at.x(), width(), minimum_, maximum_);
        if (position != position_) {
            position_ = position;
            update();
        }
        return;
    }
    SetHovering(ThumbRect().contains(at));
}

void PanelSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragging_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    SetHovering(ThumbRect().contains(event->position().toPoint()));
    update();
    emit positionReported(id_, position_);
}

void PanelSlider::leaveEvent(QEvent* event)
{
    SetHovering(false);
    QWidget::leaveEvent(event);
}

void PanelSlider::SetHovering(bool hovering)
{
    if (hovering == hovering_)
        return;
    hovering_ = hovering;
    update();
}
