#include "editing/CalendarDialog.h"

#include "editing/CalendarView.h"
#include "ui/skin/SkinButton.h"

CalendarDialog::CalendarDialog(std::span<std::uint8_t> buffer, QWidget* parent)
    : SkinDialog(parent),
      buffer_(buffer),
      view_(new CalendarView(this)),
      ok_(new SkinButton(kOkCommand, this)),
      cancel_(new SkinButton(kCancelCommand, this))
{
    setWindowTitle(QStringLiteral("Add Transparent Month Calendar"));
    ok_->SetCaption(QStringLiteral("OK"));
    cancel_->SetCaption(QStringLiteral("Cancel"));
    connect(ok_, &SkinButton::command, this, &CalendarDialog::Accept);
    connect(cancel_, &SkinButton::command, this, &QDialog::reject);
    view_->SetGeometry(kCalendarLayout.view);
    resize(kCalendarLayout.dialog);
    SetCornerRadius(kCalendarLayout.cornerRadius);
}

CalendarDialog::~CalendarDialog() = default;

QSize CalendarDialog::sizeHint() const
{
    return kCalendarLayout.dialog;
}

void CalendarDialog::resizeEvent(QResizeEvent* event)
{
    SkinDialog::resizeEvent(event);
    const CalendarLayout& l = kCalendarLayout;
    const QPoint cancel(width() - l.cancelFromRight, height() - l.buttonFromBottom);
    cancel_->setGeometry(QRect(cancel, l.button));
    ok_->setGeometry(QRect(cancel - QPoint(l.okBeforeCancel, 0), l.button));
}

void CalendarDialog::Accept()
{
    calendar::CaptureTransparent(view_->Sheet(), buffer_);
    accept();
}
