#pragma once

// The crop dialog "Crop Photo": the aspect presets in a column on the left, the CropView
// filling the rest, "Crop" (command 1) and "Cancel" (command 2) at the bottom right and the
// small close button at the top right (which cancels, as Esc does). A preset button passes its
// aspect to the view's SetAspect; "No Constraint" is checked at the start. On "Crop" Result()
// holds the crop rectangle in photo pixels; after "Cancel" or the close button it holds
// nothing. The dialog never changes the photo file.
//
// Layout (kCropLayout): the view fills the window less 140 pixels on the left, 40 at the top,
// 20 on the right and 40 at the bottom; the presets stand at x 20 from y 40 down, 120 x 20, an
// eighth of the list's height (the view's height) apart; "Cancel" (65 x 20) 140 pixels from
// the right edge, "Crop" 210.

#include "editing/CropGeometry.h"
#include "ui/skin/SkinDialog.h"

#include <optional>

class CropView;
class SkinButton;
class SkinCheckButton;
class QButtonGroup;

struct CropLayout {
    QSize dialog;
    int viewLeft;
    int viewTop;
    int viewRight;
    int viewBottom;
    int presetLeft;
    QSize preset;
    QSize button;
    int cancelFromRight; // left edge of "Cancel" this far from the right edge
    int cropFromRight;   // left edge of "Crop"
    int buttonFromBottom; // top edge of both this far from the bottom edge
};
inline constexpr CropLayout kCropLayout{{860, 620}, 140, 40, 20, 40, 20, {120, 20}, {65, 20}, 140, 210, 36};

class CropDialog : public SkinDialog {
    Q_OBJECT
public:
    static constexpr int kCropCommand = 1;
    static constexpr int kCancelCommand = 2;

    explicit CropDialog(QWidget* parent = nullptr);
    ~CropDialog() override;

    // Loads the photo into the view; false when it cannot be decoded.
    bool LoadPhoto(const QString& path);

    CropView* View() const { return view_; }
    SkinCheckButton* PresetButton(int id) const;
    SkinButton* CropButton() const { return crop_; }
    SkinButton* CancelButton() const { return cancel_; }
    // The crop in photo pixels after "Crop"; nothing otherwise.
    std::optional<crop::Rect> Result() const { return result_; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PresetChosen(int id);
    void Accept();

    CropView* view_;           // children of this dialog
    QButtonGroup* presets_;
    SkinButton* crop_;
    SkinButton* cancel_;
    std::optional<crop::Rect> result_;
};
