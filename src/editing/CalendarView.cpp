#include "editing/CalendarView.h"

#include "ui/skin/SkinButton.h"

#include <QPainter>

namespace {

// The step buttons: "<<" at (10, 2)-(40, 22), ">>" at (right - 40, 2)-(right - 10, 22).
constexpr QRect kPreviousButton{10, 2, 30, 20};
constexpr int kNextFromRight = 40;
constexpr QSize kDefaultSize{254, 260};

} // namespace

CalendarView::CalendarView(QWidget* parent)
    : QWidget(parent),
      month_(calendar::CurrentMonth()),
      previous_(new SkinButton(kPreviousCommand, this)),
      next_(new SkinButton(kNextCommand, this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    previous_->SetCaption(QStringLiteral("<<"));
    next_->SetCaption(QStringLiteral(">>"));
    previous_->SetArtStyle(skin::ButtonArtStyle::kTool);
    next_->SetArtStyle(skin::ButtonArtStyle::kTool);
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
