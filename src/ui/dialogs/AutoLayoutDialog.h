#pragma once

// AutoLayoutDialog: "Auto Layout", the choices of an automatic layout with a live preview.
// It only collects choices and an order; the caller applies them to the collage
// (autolayout::ApplyChoices) after Apply, so the collage is untouched until then.
//
// On the skinned frame, 700 x 486 (positions in autolayoutdlg::kLayout):
//   - the preview, left: the collage laid out with the current choices, drawn by the canvas
//     renderer on a scratch copy (autolayout::LayoutPreview) to fit the panel, and a line
//     under it with the photo count and the canvas size the layout gives;
//   - "Grid", "Mosaic", "Fill": check-style buttons, exactly one checked;
//   - "Spacing" and "Margin": panel sliders 0..100 with their numbers beside them;
//   - "Canvas aspect": Keep, 1:1, 4:3, 3:4, 3:2, 2:3, 16:9, 9:16;
//   - "Frame every photo": a check button, and under it the frame library's thumbnails (the
//     library panels' grid, without a button); choosing a thumbnail checks the button,
//     unchecking it lays the photos out without a frame (they keep what they have);
//   - "Shuffle", under the preview: a new random order of the photos (seeded:
//     SetShuffleSeed);
//   - "Apply" (Return) accepts, "Cancel", Esc and the close button reject. When the margin
//     leaves no room for the photos the preview says so and Apply is disabled.
// Every change schedules a new preview on a short single-shot timer (kRefreshDelay after the
// first change of a burst, which the drawing then takes in as a whole; a slider's drag
// counts as changes); the photos' small pictures are decoded a few at a time between
// previews so the window stays responsive.

#include "canvas/AutoLayoutChoices.h"
#include "ui/skin/SkinDialog.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <array>
#include <memory>
#include <vector>

class CollageModel;
class CVelComboBox;
namespace library {
class LibraryPanel;
}
class PanelSlider;
class QButtonGroup;
class QTimer;
class SkinButton;
class SkinCheckButton;

namespace autolayout {
class LayoutPreview;
}

namespace autolayoutdlg {

// Identifiers of the controls (each control's objectName).
inline constexpr int kApply = 1;
inline constexpr int kCancel = 2;
inline constexpr int kGrid = 1301;
inline constexpr int kMosaic = 1302;
inline constexpr int kFill = 1303;
inline constexpr int kSpacing = 1304;
inline constexpr int kMargin = 1305;
inline constexpr int kAspect = 1306;
inline constexpr int kFrameCheck = 1307;
inline constexpr int kFrames = 1309;
inline constexpr int kShuffle = 1308;

// What the preview says when the photos cannot be laid out (the margin leaves no room).
inline constexpr char kNoRoomText[] = "The margin leaves no room for the photos on this canvas.";

// How long after a change the preview is drawn, in milliseconds.
inline constexpr int kRefreshDelay = 40;
// Small pictures decoded between two previews.
inline constexpr int kDecodeSlice = 4;

struct Layout {
    QSize dialog{700, 486};
    QRect preview{32, 44, 400, 360};
    QRect status{32, 410, 400, 20};
    QRect layoutLabel{452, 44, 216, 18};
    std::array<QRect, 3> modes{QRect{452, 64, 62, 20}, QRect{518, 64, 66, 20}, QRect{588, 64, 56, 20}};
    QRect spacingLabel{452, 98, 166, 18};
    QRect spacing{452, 118, 166, 20};
    QRect spacingValue{624, 118, 44, 20};
    QRect marginLabel{452, 148, 166, 18};
    QRect margin{452, 168, 166, 20};
    QRect marginValue{624, 168, 44, 20};
    QRect aspectLabel{452, 202, 166, 18};
    QRect aspect{452, 222, 110, 20};
    QRect frameCheck{452, 256, 216, 20};
    QRect frames{452, 280, 216, 133}; // two rows of the library panels' 62-pixel cells
    QRect shuffle{32, 440, 90, 22};
    QRect apply{508, 440, 75, 22};
    QRect cancel{593, 440, 75, 22};
};
inline constexpr Layout kLayout{};

} // namespace autolayoutdlg

class AutoLayoutDialog : public SkinDialog {
    Q_OBJECT
public:
    // `photos` as autolayout::Apply takes them (item indexes name items of `collage`);
    // `dataFolder` is the folder of the library files (frames).
    AutoLayoutDialog(const CollageModel& collage, std::vector<autolayout::PhotoSource> photos,
                     const QString& dataFolder, QWidget* parent = nullptr);
    ~AutoLayoutDialog() override;

    // What the user chose, and the photos in the order the layout takes them.
    const autolayout::Choices& CurrentChoices() const { return choices_; }
    std::vector<autolayout::PhotoSource> OrderedPhotos() const;
    const std::vector<int>& Order() const { return order_; }

    // A new random order (the Shuffle button); the generator's seed.
    void Shuffle();
    void SetShuffleSeed(std::uint32_t seed);

    // The preview: the last image drawn, how many were drawn, whether one is scheduled.
    const QImage& PreviewImage() const { return previewImage_; }
    int PreviewCount() const { return previews_; }
    bool PreviewScheduled() const;
    // Decodes what is left and draws the preview now (what the timer would do).
    void FlushPreview();
    autolayout::LayoutPreview& Preview() { return *preview_; }

    SkinCheckButton* ModeButton(autolayout::Mode mode) const;
    PanelSlider* SpacingSlider() const { return spacing_; }
    PanelSlider* MarginSlider() const { return margin_; }
    CVelComboBox* AspectBox() const { return aspect_; }
    SkinCheckButton* FrameCheck() const { return frameCheck_; }
    library::LibraryPanel* FramePanel() const { return frames_; }
    SkinButton* ShuffleButton() const { return shuffle_; }
    SkinButton* ApplyButton() const { return apply_; }
    SkinButton* CancelButton() const { return cancel_; }

    QSize sizeHint() const override;

signals:
    void previewUpdated();

protected:
    void PaintContent(QPainter& painter) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReadControls();
    void ScheduleRefresh();
    void Refresh();

    std::unique_ptr<autolayout::LayoutPreview> preview_;
    autolayout::Choices choices_;
    std::vector<int> order_;
    std::unique_ptr<autolayout::Shuffler> shuffler_;
    QImage previewImage_;
    int previews_ = 0;

    QWidget* previewView_;   // children of the dialog
    std::array<SkinCheckButton*, 3> modes_;
    QButtonGroup* modeGroup_;
    PanelSlider* spacing_;
    PanelSlider* margin_;
    CVelComboBox* aspect_;
    SkinCheckButton* frameCheck_;
    library::LibraryPanel* frames_;
    SkinButton* shuffle_;
    SkinButton* apply_;
    SkinButton* cancel_;
    QTimer* timer_;
};
