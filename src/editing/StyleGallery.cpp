#include "editing/StyleGallery.h"

#include "editing/TextRendering.h"
#include "ui/skin/Skin.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace stylegallery {

QRect CellRect(int row, int scroll)
{
    const int top = row * kCellHeight + kCellMargin - scroll;
    const int bottom = (row + 1) * kCellHeight - kCellMargin - scroll;
    return {QPoint(kCellMargin, top), QPoint(kCellWidth - kCellMargin - 1, bottom - 1)};
}

int ScrollRange(int viewHeight)
{
    return std::max(0, kContentHeight - std::max(viewHeight, 0));
}

int RowAt(int y, int scroll)
{
    const int content = y + scroll;
    if (content < 0 || content >= kContentHeight)
        return -1;
    return content / kCellHeight;
}

int WheelScroll(int scroll, int delta, int viewHeight)
{
    if (delta == 0)
        return scroll;
    const int next = delta > 0 ? scroll - kWheelStep : scroll + kWheelStep;
    return std::clamp(next, 0, ScrollRange(viewHeight));
}

} // namespace stylegallery

using namespace stylegallery;

StyleGallery::StyleGallery(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    scrollBar_ = new QScrollBar(Qt::Vertical, this); // owned by this gallery
    scrollBar_->setSingleStep(kCellHeight);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        scroll_ = value;
        update();
    });
    UpdateScrollBar();
}

void StyleGallery::SetSelected(int style)
{
    selected_ = std::clamp(style, 0, kStyleCount - 1);
    const QRect cell = CellRect(selected_, 0);
    if (cell.top() - kCellMargin < scroll_)
        SetScroll(cell.top() - kCellMargin);
    else if (cell.bottom() + 1 + kCellMargin > scroll_ + height())
        SetScroll(cell.bottom() + 1 + kCellMargin - height());
    update();
}

void StyleGallery::SelectByUser(int style)
{
    if (style < 0 || style >= kStyleCount)
        return;
    SetSelected(style);
    emit selectionChanged(selected_);
}

void StyleGallery::SetScroll(int scroll)
{
    scroll_ = std::clamp(scroll, 0, ScrollRange(height()));
    const QSignalBlocker blocker(scrollBar_);
    scrollBar_->setValue(scroll_);
    update();
}

void StyleGallery::UpdateScrollBar()
{
    const int range = ScrollRange(height());
    scrollBar_->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
    scrollBar_->setRange(0, range);
    scrollBar_->setPageStep(std::max(height(), 1));
    scrollBar_->setVisible(range > 0);
    SetScroll(scroll_);
}

const QImage& StyleGallery::CellPicture(int style)
{
    QImage& picture = cells_[static_cast<std::size_t>(style)];
    const QRect cell = CellRect(0, 0);
    const qreal dpr = devicePixelRatioF();
    if (!picture.isNull() && qFuzzyCompare(picture.devicePixelRatio(), dpr))
        return picture;
    picture = QImage((cell.size().toSizeF() * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::transparent);
    LogFont font;
    font.lfHeight = cell.height();
    font.lfWeight = kFaceWeight;
    font.SetFaceName(QString::fromLatin1(kFaceName));
    const QString word = QStringLiteral("Text");
    const QSize box = MeasureText(font, word);
    const StyleColours colours = DefaultStyleColours(style);
    QPainter painter(&picture);
    DrawStyledText(painter, style, word, font, QRect(QPoint(0, 0), box), colours.colour1, colours.colour2, 255);
    return picture;
}

void StyleGallery::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), skin::kPanelBackground);
    const int visibleWidth = scrollBar_->isVisible() ? width() - kScrollBarWidth : width();
    painter.setClipRect(0, 0, visibleWidth, height());
    for (int row = 0; row < kStyleCount; ++row) {
        const QRect cell = CellRect(row, scroll_);
        if (cell.bottom() < 0 || cell.top() >= height())
            continue;
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
        painter.drawImage(cell.topLeft(), CellPicture(row));
        painter.restore();
        if (row == selected_) {
            painter.setPen(skin::kFrameColour);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            painter.drawRect(cell.adjusted(-1, -1, -2, -2));
        }
    }
}

void StyleGallery::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    if (scrollBar_->isVisible() && at.x() >= width() - kScrollBarWidth)
        return;
    SelectByUser(RowAt(at.y(), scroll_));
}

void StyleGallery::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up) {
        SelectByUser(selected_ - 1);
    } else if (event->key() == Qt::Key_Down) {
        SelectByUser(selected_ + 1);
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void StyleGallery::wheelEvent(QWheelEvent* event)
{
    SetScroll(WheelScroll(scroll_, event->angleDelta().y(), height()));
    event->accept();
}

void StyleGallery::resizeEvent(QResizeEvent*)
{
    UpdateScrollBar();
}

QSize StyleGallery::sizeHint() const
{
    return {kWidth, kContentHeight};
}

QSize StyleGallery::minimumSizeHint() const
{
    return {kWidth, kCellHeight};
}
