#include "ui/skin/SkinDialog.h"

#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

SkinDialog::SkinDialog(QWidget* parent, skin::SideForm form)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint),
      closeButton_(new SkinButton(skin::kCloseCommand, this)),
      sideForm_(form)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    closeButton_->SetThreePiece(false);
    const QPixmap normal = skin::Art(skin::kBmpCloseNormal);
    closeButton_->SetBitmaps(normal, skin::Art(skin::kBmpCloseHover), skin::Art(skin::kBmpClosePressed), normal);
    closeButton_->setToolTip(tr("Close"));
    connect(closeButton_, &SkinButton::command, this, &QDialog::reject);
    PlaceCloseButton();
}

SkinDialog::~SkinDialog() = default;

void SkinDialog::SetSideForm(skin::SideForm form)
{
    sideForm_ = form;
    update();
}

void SkinDialog::SetBackground(const QColor& colour)
{
    background_ = colour;
    update();
}

void SkinDialog::SetCornerRadius(int radius)
{
    cornerRadius_ = radius;
    if (radius <= 0) {
        clearMask();
    } else {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), radius, radius);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
    update();
}

QRect SkinDialog::ContentRect() const
{
    return rect().adjusted(skin::kBorderWidth, skin::kCaptionHeight, -skin::kBorderWidth, -skin::kBottomHeight);
}

QSize SkinDialog::sizeHint() const
{
    return {360, 220};
}

void SkinDialog::PaintContent(QPainter&)
{
}

void SkinDialog::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), background_);

    const QSize window = size();
    const auto draw = [&p](const std::vector<skin::Piece>& pieces, const QPixmap& art) {
        for (const skin::Piece& piece : pieces)
            p.drawPixmap(piece.target, art, piece.source);
    };
    draw(skin::SideBorderPieces(window, sideForm_, false), skin::Art(skin::kBmpLeftBorder));
    draw(skin::SideBorderPieces(window, sideForm_, true), skin::Art(skin::kBmpRightBorder));
    draw(skin::BottomBorderPieces(window), skin::Art(skin::kBmpBottomBorder));
    draw(skin::CaptionBarPieces(window), skin::Art(skin::kBmpCaptionBar));

    if (cornerRadius_ > 0) {
        // The window region cuts the straight outline at the corners; follow the curve instead.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(skin::kWindowOutline);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius_, cornerRadius_);
        p.setRenderHint(QPainter::Antialiasing, false);
    }

    const QString caption = windowTitle();
    if (!caption.isEmpty()) {
        const int right = width() - skin::kCloseRight - 4;
        const QRect box(skin::kCaptionTextX, skin::kCaptionTextY, right - skin::kCaptionTextX,
                        skin::kCaptionHeight - skin::kCaptionTextY);
        const QString shown = fontMetrics().elidedText(caption, Qt::ElideRight, box.width());
        constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        p.setFont(font());
        p.setPen(skin::kCaptionShadow);
        p.drawText(box.translated(1, 1), kFlags, shown);
        p.setPen(skin::kText);
        p.drawText(box, kFlags, shown);
    }

    PaintContent(p);
}

void SkinDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    PlaceCloseButton();
    if (cornerRadius_ > 0)
        SetCornerRadius(cornerRadius_);
}

void SkinDialog::PlaceCloseButton()
{
    closeButton_->setGeometry(width() - skin::kCloseRight, skin::kCloseTop, skin::kCloseWidth, skin::kCloseHeight);
}

void SkinDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || event->position().y() >= skin::kDragBand || !isWindow()) {
        QDialog::mousePressEvent(event);
        return;
    }
    event->accept();
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemMove())
        return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void SkinDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    dragging_ = false;
    QDialog::mouseMoveEvent(event);
}

void SkinDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        event->accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}
