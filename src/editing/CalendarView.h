#pragma once

// CalendarView: one month as a calendar sheet (CalendarSheet.h draws it), with the buttons
// "<<" (command 11101, the previous month) and ">>" (11100, the next month) in its title row.
// It opens on the current month. The sheet is drawn into a picture of the view's size, which
// the dialog captures on OK; the buttons are children of the view and not part of the sheet.
// A button is disabled where the months offered end (January 1970, December 2100).
//
// The view's width is made ((w - 2) div 7) x 7 + 2 whenever it is placed (SetGeometry), so the
// seven columns share it evenly.

#include "editing/CalendarSheet.h"

#include <QImage>
#include <QWidget>

class SkinButton;

class CalendarView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kNextCommand = 11100;
    static constexpr int kPreviousCommand = 11101;

    explicit CalendarView(QWidget* parent = nullptr);
    ~CalendarView() override;

    // Places the view at the rectangle, its width narrowed by the width rule.
    void SetGeometry(const QRect& requested);

    calendar::Month Month() const { return month_; }
    void SetMonth(calendar::Month month);
    void StepNext();
    void StepPrevious();

    // The sheet as drawn now (the view's size).
    const QImage& Sheet() const { return sheet_; }
    SkinButton* NextButton() const { return next_; }
    SkinButton* PreviousButton() const { return previous_; }

    QSize sizeHint() const override;

signals:
    void monthChanged(calendar::Month month);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Redraw();

    calendar::Month month_;
    QImage sheet_;
    SkinButton* previous_; // children of this view
    SkinButton* next_;
};
