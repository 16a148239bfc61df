#pragma once

// The program's look in one place: every colour and metric the drawn controls share.
// Controls read these instead of the system palette, so every window looks the same on
// any desktop theme. Colours are red, green, blue.

#include <QColor>

namespace skin {

// Shared colours of the drawn windows.
inline constexpr QColor kDialogBackground{221, 221, 221};
inline constexpr QColor kStatusBackground{230, 230, 230}; // batch dialog, status areas
inline constexpr QColor kFrameColour{200, 200, 200};      // frames, progress bars
inline constexpr QColor kDisabledText{120, 120, 120};
inline constexpr QColor kMenuBackground{234, 235, 237};
inline constexpr QColor kShadowText{240, 240, 240};
inline constexpr QColor kPanelBackground{255, 255, 255}; // lists and panels

// Text.
inline constexpr QColor kText{0, 0, 0}; // captions, button text, labels

// Accent: hover and pressed edges, check marks, selections, the slider thumb.
inline constexpr QColor kAccent{38, 117, 201};
inline constexpr QColor kAccentDark{24, 88, 158};
inline constexpr QColor kAccentTint{214, 230, 248};

// Push button faces (the colour picker's face uses them too).
inline constexpr QColor kButtonFace{250, 250, 250};
inline constexpr QColor kButtonEdge{160, 160, 160};
inline constexpr QColor kButtonHoverFace{255, 255, 255};
inline constexpr QColor kButtonDisabledFace{232, 232, 232};
inline constexpr QColor kButtonGlyph{70, 74, 82}; // drop-down arrows on faces

// Panel slider (bitmaps 170 and 156): the groove of the track and the thumb's ring.
inline constexpr QColor kSliderGroove{200, 200, 200};
inline constexpr QColor kSliderGrooveEdge{184, 184, 184};
inline constexpr QColor kSliderThumbRing{150, 150, 150};
inline constexpr QColor kSliderThumbHover{58, 138, 222};

// Colour picker, popup and palettes.
inline constexpr QColor kSwatchEdge{110, 110, 110};   // the frame around every colour swatch
inline constexpr QColor kPopupOutline{150, 150, 150}; // outline of the colour popups
inline constexpr QColor kPaletteGrid{0, 0, 0};        // lines between the "ColorPalette" boxes
inline constexpr QColor kFocusFrame{255, 255, 255};   // box under the mouse (with a black outer frame)
inline constexpr QColor kDialogGlyphRed{230, 40, 40};    // the palette's dialog button: three squares
inline constexpr QColor kDialogGlyphGreen{40, 170, 60};
inline constexpr QColor kDialogGlyphYellow{250, 210, 30};

} // namespace skin
