#include "ui/skin/SkinButton.h"

#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinGeometry.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

SkinAbstractButton::SkinAbstractButton(int id, QWidget* parent)
    : QAbstractButton(parent),
      id_(id)
{
    setObjectName(QString::number(id));
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    connect(this, &QAbstractButton::clicked, this, [this] { emit command(id_); });
}

skin::ButtonState SkinAbstractButton::State() const
{
    if (!isEnabled())
        return skin::kStateDisabled;
    if (isDown())
        return skin::kStatePressed;
    return hover_ ? skin::kStateHover : skin::kStateNormal;
}

void SkinAbstractButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    if (isEnabled() && !hover_) {
        hover_ = true;
        update();
    }
}

void SkinAbstractButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    if (hover_) {
        hover_ = false;
        update();
    }
}

void SkinAbstractButton::mouseMoveEvent(QMouseEvent* event)
{
    QAbstractButton::mouseMoveEvent(event); // a held button is down only while over the button
    // Moving over the button shows hover (again after a release); dragged off with the button
    // held, it shows normal.
    const bool over = rect().contains(event->position().toPoint());
    if (over != hover_) {
        hover_ = over;
        update();
    }
}

void SkinAbstractButton::mouseReleaseEvent(QMouseEvent* event)
{
    hover_ = false;
    const QPointer<SkinAbstractButton> alive(this);
    QAbstractButton::mouseReleaseEvent(event); // emits clicked, and so command, when over the button
    if (alive)
        update();
}

void SkinAbstractButton::changeEvent(QEvent* event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        hover_ = false;
        update();
    }
}

SkinButton::SkinButton(int id, QWidget* parent)
    : SkinAbstractButton(id, parent)
{
}

SkinButton::SkinButton(const QRect& rect, QWidget* parent, int id)
    : SkinAbstractButton(id, parent)
{
    setGeometry(rect);
}

void SkinButton::SetBitmaps(const QPixmap& normal, const QPixmap& hover, const QPixmap& pressed,
                            const QPixmap& disabled)
{
    bitmaps_[0] = normal;
    bitmaps_[1] = hover;
    bitmaps_[2] = pressed;
    bitmaps_[3] = disabled;
    update();
}

void SkinButton::SetIcons(const QPixmap& enabled, const QPixmap& disabled)
{
    icon_ = enabled;
    disabledIcon_ = disabled;
    if (disabledIcon_.isNull() && !icon_.isNull())
        disabledIcon_ = QIcon(icon_).pixmap(icon_.size(), QIcon::Disabled);
    update();
}

void SkinButton::SetIcons(const QIcon& icon)
{
    const QSize size(skin::kIconSize, skin::kIconSize);
    SetIcons(icon.pixmap(size), icon.pixmap(size, QIcon::Disabled));
}

void SkinButton::SetTextColour(const QColor& colour)
{
    textColour_ = colour;
    update();
}

void SkinButton::SetTextOffset(const QPoint& offset)
{
    textOffset_ = offset;
    update();
}

void SkinButton::SetThreePiece(bool on)
{
    threePiece_ = on;
    update();
}

void SkinButton::SetArtStyle(skin::ButtonArtStyle style)
{
    artStyle_ = style;
    update();
}

QPixmap SkinButton::StateBitmap() const
{
    const skin::ButtonState state = State();
    const int index = state == skin::kStateHover ? 1 : state == skin::kStatePressed ? 2
                    : state == skin::kStateDisabled ? 3 : 0;
    if (!bitmaps_[index].isNull())
        return bitmaps_[index];
    return skin::ButtonArt(state, height(), artStyle_);
}

QSize SkinButton::sizeHint() const
{
    int w = 2 * skin::kButtonCap + fontMetrics().horizontalAdvance(text()) + 16;
    if (!icon_.isNull())
        w += skin::kIconSize + 4;
    return {std::max(w, 65), skin::kButtonArtHeight};
}

QSize SkinButton::minimumSizeHint() const
{
    return {2 * skin::kButtonCap, skin::kButtonArtHeight};
}

void SkinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), skin::kDialogBackground);

    const QPixmap bitmap = StateBitmap();
    if (threePiece_) {
        for (const skin::Piece& piece : skin::ButtonPieces(size()))
            p.drawPixmap(piece.target, bitmap, piece.source);
    } else {
        p.drawPixmap(0, 0, bitmap);
    }

    const bool enabled = isEnabled();
    const QPixmap& icon = enabled ? icon_ : disabledIcon_;
    if (!icon.isNull()) {
        const QRect box((width() - skin::kIconSize) / 2, (height() - skin::kIconSize) / 2, skin::kIconSize,
                        skin::kIconSize);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(box, icon);
    }

    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(enabled ? textColour_ : skin::kDisabledText);
        p.drawText(rect().translated(textOffset_), Qt::AlignCenter | Qt::TextSingleLine, text());
    }
}
