#include "editing/CalendarView.h"

#include "ui/skin/SkinButton.h"

#include <QPainter>

namespace {

// The step buttons: "<<" at (10, 2)-(40, 22), ">>" at (right - 40, 2)-(right - 10, 22).
constexpr QRect kPreviousButton{10, 2, 30, 20};
constexpr int kNextFromRight = 40;
constexpr QSize kDefaultSize{254, 260};

// The step buttons lie on the white sheet: white at rest, the accent tint framed in the
// accent under the mouse, a deeper tint pressed.
QPixmap StepFace(QColor fill, QColor edge)
{
    QPixmap face(kPreviousButton.size());
    face.fill(QColor::fromRgb(calendar::kBackground));
    if (fill != QColor::fromRgb(calendar::kBackground)) {
        QPainter p(&face);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(edge);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(face.rect()).adjusted(0.5, 0.5, -0.5, -0.5), skin::kButtonCorner, skin::kButtonCorner);
    }
    return face;
}

void DressStepButton(SkinButton& button, const QString& caption)
{
    const QColor white = QColor::fromRgb(calendar::kBackground);
    const QPixmap rest = StepFace(white, white);
    button.SetThreePiece(false);
    button.SetBitmaps(rest, StepFace(skin::kAccentTint, skin::kAccent), StepFace(skin::kAccentTint.darker(112), skin::kAccentDark),
                      rest);
    button.SetCaption(caption);
    button.setToolTip(caption == QLatin1String("<<") ? QObject::tr("Previous month") : QObject::tr("Next month"));
}

} // namespace

CalendarView::CalendarView(QWidget* parent)
    : QWidget(parent),
      month_(calendar::CurrentMonth()),
      previous_(new SkinButton(kPreviousCommand, this)),
      next_(new SkinButton(kNextCommand, this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    DressStepButton(*previous_, QStringLiteral("<<"));
    DressStepButton(*next_, QStringLiteral(">>"));
    connect(previous_, &SkinButton::command, this, &CalendarView::StepPrevious);
    connect(next_, &SkinButton::command, this, &CalendarView::StepNext);
    resize(kDefaultSize);
    Redraw();
}

CalendarView::~CalendarView() = default;

void CalendarView::SetGeometry(const QRect& requested)
{
    setGeometry(QRect(requested.topLeft(), QSize(calendar::ViewWidth(requested.width()), requested.height())));
}

void CalendarView::SetMonth(calendar::Month month)
{
    month_ = calendar::ClampMonth(month.year, month.month);
    Redraw();
    emit monthChanged(month_);
}

void CalendarView::StepNext()
{
    SetMonth(calendar::NextMonth(month_));
}

void CalendarView::StepPrevious()
{
    SetMonth(calendar::PreviousMonth(month_));
}

QSize CalendarView::sizeHint() const
{
    return kDefaultSize;
}

void CalendarView::Redraw()
{
    previous_->setEnabled(calendar::HasPreviousMonth(month_));
    next_->setEnabled(calendar::HasNextMonth(month_));
    if (sheet_.size() != size())
        sheet_ = QImage(size(), QImage::Format_RGB32);
    calendar::DrawSheet(sheet_, month_);
    update();
}

void CalendarView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    previous_->setGeometry(kPreviousButton);
    next_->setGeometry(QRect(QPoint(width() - kNextFromRight, kPreviousButton.top()), kPreviousButton.size()));
    Redraw();
}

void CalendarView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, sheet_);
}
