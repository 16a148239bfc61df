#pragma once

// The main window's rules that need no widget, so that tests call them directly: the
// layout table (every rectangle from the client size), the zoom steps, the preview's zoom,
// the enable rules of the edit commands, the hit rules of the drawn window frame and the
// cut of the text panel's text to the text field.
//
// Rectangles are written as (left, top, right, bottom), with right and bottom exclusive;
// an edge is either a fixed offset or an offset from the client width W or height H.

#include <QByteArray>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>

namespace frame {

// ---- layout ----------------------------------------------------------------------

enum class From : std::uint8_t { Origin, Width, Height };

struct EdgeSpec {
    From from;
    int offset;
    constexpr int At(int w, int h) const
    {
        return offset + (from == From::Width ? w : from == From::Height ? h : 0);
    }
};

struct RectSpec {
    EdgeSpec left, top, right, bottom;
    constexpr QRect At(int w, int h) const
    {
        const int l = left.At(w, h);
        const int t = top.At(w, h);
        return QRect(l, t, right.At(w, h) - l, bottom.At(w, h) - t);
    }
};

constexpr EdgeSpec X(int v) { return {From::Origin, v}; }
constexpr EdgeSpec W(int v) { return {From::Width, v}; }
constexpr EdgeSpec H(int v) { return {From::Height, v}; }

inline constexpr RectSpec kCanvasRect{X(178), X(242), W(-160), H(-16)};
inline constexpr RectSpec kPhotoColumnRect{X(16), X(94), X(170), H(-16)};
inline constexpr RectSpec kLibraryStripRect{X(178), X(84), W(-16), X(207)};
// The zoom box keeps its right edge at W - 165 but is 20 pixels wider than 46, so that the
// drawn box (its drop-down button is 22 pixels) shows "100%" whole; Zoom In and Zoom Out
// stand 20 pixels further left to keep their gap to it.
inline constexpr int kZoomBoxWidening = 20;
inline constexpr RectSpec kZoomBoxRect{W(-211 - kZoomBoxWidening), X(218), W(-165), X(238)};
inline constexpr RectSpec kBrushPanelRect{W(-152), X(215), W(-16), H(-225)};
inline constexpr RectSpec kBrushSwitchRect{W(-145), H(-219), W(-23), H(-188)};
inline constexpr RectSpec kFirstSliderRect{W(-104), H(-180), W(-40), H(-167)};
inline constexpr RectSpec kColourPickerRect{W(-152), H(-116), W(-16), H(-16)};
// The photo library's "Import" and "Remove" above its column.
inline constexpr RectSpec kImportButtonRect{X(16), X(66), X(91), X(88)};
inline constexpr RectSpec kRemoveButtonRect{X(95), X(66), X(170), X(88)};

inline constexpr int kSliderRowPitch = 20;
inline constexpr int kSliderLabelOffset = 44; // labels start this far left of the sliders
inline constexpr int kSliderValueGap = 3;     // values start this far right of them

inline constexpr QPoint kFirstTab{197, 60};
inline constexpr QSize kTabSize{88, 22};
inline constexpr int kTabCount = 6;

inline constexpr QSize kToolButtonSize{22, 21};
inline constexpr int kToolBarTop = 218;
inline constexpr int kToolBarLeft = 180;
inline constexpr int kToolButtonPitch = 24;
inline constexpr int kToolGroupGap = 30;                // after buttons 3, 6 and 8
inline constexpr std::array<int, 3> kGroupEnds{3, 6, 8}; // 1-based
inline constexpr int kToolButtonCount = 16;
inline constexpr EdgeSpec kZoomInLeft = W(-263 - kZoomBoxWidening); // Zoom Out one pitch to its right

inline constexpr QSize kCaptionButtonSize{24, 14};
inline constexpr int kCaptionButtonTop = 5;
inline constexpr EdgeSpec kCloseButtonLeft = W(-38);
inline constexpr int kCaptionButtonPitch = 26; // each next one further left

// The menu bar under the caption band: four buttons side by side, each as wide as its
// title needs (at least kMenuButtonMinWidth), kMenuButtonGap apart.
inline constexpr QPoint kFirstMenuButton{10, 33};
inline constexpr int kMenuButtonHeight = 22;
inline constexpr int kMenuButtonMinWidth = 40;
inline constexpr int kMenuButtonGap = 2;
inline constexpr int kMenuBarBottom = kFirstMenuButton.y() + kMenuButtonHeight + 2; // its frame line

// The window's icon and caption text in the caption band.
inline constexpr int kCaptionIconLeft = 9;
inline constexpr int kCaptionIconSize = 16;
inline constexpr int kCaptionTextGap = 6;

inline constexpr int kCaptionHeight = 30;   // the caption band ends here
inline constexpr int kCaptionInset = 13;    // ...and keeps this far from the sides
inline constexpr int kResizeBorder = 5;     // presses this close to an edge resize
inline constexpr int kCaptionBandTop = kResizeBorder;

constexpr QRect SliderRect(int row, int w, int h)
{
    return kFirstSliderRect.At(w, h).translated(0, row * kSliderRowPitch);
}

// The white box behind the sliders, their labels and values: the brush panel's width, from
// just below the brush switch to just above the colour picker.
inline constexpr int kPropertyBoxMargin = 5;
constexpr QRect PropertyBoxRect(int w, int h)
{
    const int top = kBrushSwitchRect.bottom.At(w, h) + kPropertyBoxMargin;
    const int bottom = kColourPickerRect.top.At(w, h) - kPropertyBoxMargin;
    const int left = kBrushPanelRect.left.At(w, h);
    return QRect(left, top, kBrushPanelRect.right.At(w, h) - left, bottom - top);
}

constexpr QRect TabRect(int tab)
{
    return QRect(QPoint(kFirstTab.x() + tab * kTabSize.width(), kFirstTab.y()), kTabSize);
}

// Button 0..15 of the tool bar.
constexpr QRect ToolButtonRect(int index, int w, int h)
{
    int x = kToolBarLeft;
    if (index >= 14) {
        x = kZoomInLeft.At(w, h) + (index - 14) * kToolButtonPitch;
    } else {
        for (int i = 0; i < index; ++i) {
            bool groupEnd = false;
            for (int end : kGroupEnds)
                groupEnd = groupEnd || end == i + 1;
            x += groupEnd ? kToolGroupGap : kToolButtonPitch;
        }
    }
    return QRect(QPoint(x, kToolBarTop), kToolButtonSize);
}

// Caption button 0 (Close), 1 (Maximise/Restore), 2 (Minimise).
constexpr QRect CaptionButtonRect(int index, int w, int h)
{
    return QRect(QPoint(kCloseButtonLeft.At(w, h) - index * kCaptionButtonPitch, kCaptionButtonTop),
                 kCaptionButtonSize);
}

// Button `index` of the menu bar, the ones before it `widthsBefore` pixels wide in all.
constexpr QRect MenuButtonRect(int index, int widthsBefore, int width)
{
    return QRect(kFirstMenuButton.x() + widthsBefore + index * kMenuButtonGap, kFirstMenuButton.y(),
                 width < kMenuButtonMinWidth ? kMenuButtonMinWidth : width, kMenuButtonHeight);
}

// ---- zoom ------------------------------------------------------------------------

inline constexpr std::array<float, 8> kZoomFactors{0.25f, 0.5f, 0.75f, 1.0f, 1.25f, 1.5f, 1.75f, 2.0f};
inline constexpr std::array<const char*, 8> kZoomTexts{"25%", "50%", "75%", "100%", "125%", "150%", "175%", "200%"};
inline constexpr int kInitialZoomEntry = 2; // "75%"

// The entry a zoom step selects from entry current (-1 = none), or -1 when the step
// does nothing.
constexpr int ZoomInEntry(int current)
{
    return current >= 0 && current < static_cast<int>(kZoomFactors.size()) - 1 ? current + 1 : -1;
}
constexpr int ZoomOutEntry(int current)
{
    return current >= 1 && current < static_cast<int>(kZoomFactors.size()) ? current - 1 : -1;
}

// ---- preview ----------------------------------------------------------------------

// The zoom at which a canvasW x canvasH collage fills a clientW x clientH window: by the
// height when the window is at least as wide in proportion as the collage, otherwise by
// the width. The proportions are compared by cross-multiplying, so equal ones are exact.
// A size that is not positive gives 1.
constexpr float PreviewZoom(int clientW, int clientH, int canvasW, int canvasH)
{
    if (clientW <= 0 || clientH <= 0 || canvasW <= 0 || canvasH <= 0)
        return 1.0f;
    const bool byHeight = static_cast<std::int64_t>(clientW) * canvasH >= static_cast<std::int64_t>(canvasW) * clientH;
    return byHeight ? static_cast<float>(clientH) / static_cast<float>(canvasH)
                    : static_cast<float>(clientW) / static_cast<float>(canvasW);
}

// ---- enable rules of the edit commands --------------------------------------------

struct EditInputs {
    int itemCount = 0;
    int selectedIndex = -1; // -1 = none
    bool photoSelected = false;
    int historyIndex = -1;
    int historyCount = 0;
};

struct EditStates {
    bool crop = false;
    bool undo = false;
    bool redo = false;
    bool remove = false;
    bool toFront = false; // "Move to Front" and "Move to Front of all Layers"
    bool toBack = false;  // "Move to Back" and "Move to Back of all Layers"
};

constexpr EditStates ComputeEditStates(const EditInputs& in)
{
    EditStates s;
    s.crop = in.photoSelected;
    s.undo = in.historyIndex >= 0;
    s.redo = in.historyIndex < in.historyCount - 1;
    s.remove = in.selectedIndex >= 0;
    s.toFront = in.selectedIndex >= 0 && in.selectedIndex < in.itemCount - 1;
    s.toBack = in.selectedIndex >= 1;
    return s;
}

// ---- the drawn window frame -------------------------------------------------------

enum class FrameHit : std::uint8_t {
    None,
    Caption,
    TopLeft,
    BottomLeft,
    TopRight,
    BottomRight,
    Left,
    Right,
    Top,
    Bottom,
};

// What a left press at client point (x, y) of a w x h window does.
constexpr FrameHit HitTestFrame(int x, int y, int w, int h)
{
    const bool nearEdge = x < kResizeBorder || y < kResizeBorder || x >= w - kResizeBorder || y >= h - kResizeBorder;
    if (nearEdge) {
        if (x < 8 && y < 8)
            return FrameHit::TopLeft;
        if (x < 8 && y > h - 18)
            return FrameHit::BottomLeft;
        if (x > w - 18 && y < 8)
            return FrameHit::TopRight;
        if (x > w - 18 && y > h - 18)
            return FrameHit::BottomRight;
        if (x < 5 && y > 8 && y < h - 18)
            return FrameHit::Left;
        if (x > w - 15 && y > 8 && y < h - 18)
            return FrameHit::Right;
        if (x > 8 && x < w - 18 && y < 5)
            return FrameHit::Top;
        if (x > 8 && x < w - 18 && y > h - 18)
            return FrameHit::Bottom;
        return FrameHit::None;
    }
    if (y >= kCaptionBandTop && y < kCaptionHeight && x >= kCaptionInset && x < w - kCaptionInset)
        return FrameHit::Caption;
    return FrameHit::None;
}

} // namespace frame
