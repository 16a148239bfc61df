#pragma once

// The calendar dialog "Add Transparent Month Calendar": a skinned dialog clipped to a rounded
// rectangle (16-pixel corners) with a CalendarView at (16, 40)-(276, 300) (narrowed by the
// view's width rule), "OK" (command 1) and "Cancel" (command 2), 70 x 20: "Cancel" 115 pixels
// from the right edge and 40 from the bottom, "OK" 120 pixels to its left. The close button
// (10010) and Esc cancel. On OK the sheet is captured into the buffer given at construction
// (CalendarSheet's CaptureTransparent: 260 x 260, blue, green, red, alpha) before the dialog
// closes; on cancel the buffer is left alone.

#include "ui/skin/SkinDialog.h"

#include <cstdint>
#include <span>

class CalendarView;
class SkinButton;

struct CalendarLayout {
    QSize dialog;
    QRect view;
    int cornerRadius;
    QSize button;
    int cancelFromRight; // left edge of "Cancel" this far from the right edge
    int buttonFromBottom; // top edge of both buttons this far from the bottom edge
    int okBeforeCancel;   // "OK" this far left of "Cancel"
};
inline constexpr CalendarLayout kCalendarLayout{{292, 350}, {QPoint(16, 40), QPoint(275, 299)}, 16, {70, 20}, 115, 40,
                                                120};

class CalendarDialog : public SkinDialog {
    Q_OBJECT
public:
    static constexpr int kOkCommand = 1;
    static constexpr int kCancelCommand = 2;

    // `buffer` receives the capture on OK; it must hold calendar::kCaptureBytes.
    explicit CalendarDialog(std::span<std::uint8_t> buffer, QWidget* parent = nullptr);
    ~CalendarDialog() override;

    CalendarView* View() const { return view_; }
    SkinButton* OkButton() const { return ok_; }
    SkinButton* CancelButton() const { return cancel_; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Accept();

    std::span<std::uint8_t> buffer_;
    CalendarView* view_; // children of this dialog
    SkinButton* ok_;
    SkinButton* cancel_;
};
