#pragma once

// The collage dialog: size and background of a collage, for a new collage (caption
// "Create New Collage", which an empty caption also shows) and for the settings of the
// current one ("Collage Setting"). It only collects values; the caller hands them to the
// canvas.
//
// Controls and their identifiers (each control's objectName is its identifier in decimal):
//   1030 width edit, 1032 height edit      whole numbers from 10 to 3200, checked on OK
//   10474 colour picker (mode 1)           "Color" gives the default white
//   10475 background picture path          typed or chosen with Browse; empty = none
//   10470 Browse                           opens the picture file dialog
//   10471 Center, 10472 Tile, 10473 Stretch  check-style, exactly one checked
//   1 OK, 2 Cancel, 10010 close            Cancel and close change nothing
// The labels "Width", "pixels", "Height", "pixels", "Background Color" and "Background
// Image" are drawn. OK refuses a width or height that is not a whole number from 10 to
// 3200 with a message naming the bounds and gives that edit the focus; Return is OK, Esc
// is Cancel.

#include "ui/dialogs/FileChooser.h"
#include "ui/skin/SkinDialog.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>

class CVelColourPicker;
class QButtonGroup;
class QLineEdit;
class SkinButton;
class SkinCheckButton;

namespace newcollage {

// Identifiers of the controls.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kWidthEdit = 1030;
inline constexpr int kHeightEdit = 1032;
inline constexpr int kBrowse = 10470;
inline constexpr int kCenter = 10471;
inline constexpr int kTile = 10472;
inline constexpr int kStretch = 10473;
inline constexpr int kColourPicker = 10474;
inline constexpr int kImagePath = 10475;

inline constexpr int kMinSide = 10;
inline constexpr int kMaxSide = 3200;

// Geometry, in window pixels (the dialog has no system frame, so its client area is the
// whole window).
inline constexpr QSize kDialogSize{480, 178};
inline constexpr QRect kWidthLabel{16, 38, 84, 20};  // 16,38 to 100,58
inline constexpr int kPixelsLabelShift = 80;         // "pixels" this far right of its label
inline constexpr int kRowStep = 34;                  // from one row to the next
inline constexpr QRect kWidthEditRect{58, 38, 40, 20};
inline constexpr int kPixelsTextInset = 6;          // "pixels" starts this far into its box, clear of the edit
inline constexpr int kLabelGap = 6;                  // right-aligned labels end this far left of their control
inline constexpr int kPickerRightInset = 165;        // picker's left edge from the right border
inline constexpr int kPickerTop = 35;
inline constexpr QSize kPickerSize{145, 18};
inline constexpr int kPathNarrower = 20;             // the path edit is this much narrower
inline constexpr int kPathHeight = 20;
inline constexpr QSize kBrowseSize{20, 20};
inline constexpr int kLabelBoxWidth = 100;           // "Background Color" box left of the picker
inline constexpr int kPlacementStep = 80;
inline constexpr QSize kPlacementSize{72, 20};
inline constexpr QSize kButtonSize{65, 20};          // OK, Cancel
inline constexpr int kCancelRightInset = 75;
inline constexpr int kCancelBottomInset = 10;
inline constexpr int kOkToCancel = 230;              // OK's left edge this far left of Cancel's

struct Layout {
    QRect widthLabel, widthPixels, heightLabel, heightPixels;
    QRect widthEdit, heightEdit;
    QRect colourLabel, imageLabel;
    QRect picker, path, browse;
    std::array<QRect, 3> placement; // Center, Tile, Stretch
    QRect ok, cancel;
};
// Where everything stands in a window of this size.
Layout LayoutFor(QSize window);

// The values the caller fills before showing the dialog and reads after OK.
struct Values {
    QString caption;                 // empty: "Create New Collage"
    std::int32_t width = 1024;
    std::int32_t height = 768;
    std::uint32_t colour = 0xFFFFFF; // 0x00BBGGRR
    QString imagePath;
    std::int32_t placement = 0;      // 0 Center, 1 Tile, 2 Stretch
};

// A width or height edit's text checked: `value` when ok, otherwise the message for the
// user. `what` is "width" or "height".
struct SideCheck {
    bool ok = false;
    std::int32_t value = 0;
    QString message;
};
SideCheck CheckSide(const QString& text, const QString& what);

// The picture filter of Browse.
QString PictureFilter();

} // namespace newcollage

class NewCollageDialog : public SkinDialog {
    Q_OBJECT
public:
    explicit NewCollageDialog(const newcollage::Values& values, QWidget* parent = nullptr);
    ~NewCollageDialog() override;

    // What the user chose; valid after OK.
    const newcollage::Values& Result() const { return values_; }

    // The dialog behind Browse (default: the system file dialog).
    void SetFileChooser(dialogs::FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // OK as a click does it: checks the edits and accepts, or shows the message and keeps
    // the dialog open (false).
    bool TryAccept();
    void Browse();
    int Placement() const;

    QLineEdit* WidthEdit() const { return widthEdit_; }
    QLineEdit* HeightEdit() const { return heightEdit_; }
    QLineEdit* PathEdit() const { return pathEdit_; }
    CVelColourPicker* ColourPicker() const { return picker_; }
    SkinCheckButton* PlacementButton(int placement) const;

    QSize sizeHint() const override;

protected:
    void PaintContent(QPainter& painter) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();

    newcollage::Values values_;
    dialogs::FileChooser chooseFile_;
    QLineEdit* widthEdit_;
    QLineEdit* heightEdit_;
    QLineEdit* pathEdit_;
    CVelColourPicker* picker_;
    SkinButton* browse_;
    std::array<SkinCheckButton*, 3> placement_;
    QButtonGroup* placementGroup_;
    SkinButton* ok_;
    SkinButton* cancel_;
};
