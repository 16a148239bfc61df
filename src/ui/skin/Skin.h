#pragma once

// The program's look in one place: every colour, metric and bitmap number the drawn controls
// share. Controls read these instead of the system palette, so every window looks the same on
// any desktop theme. Colours are red, green, blue.
//
// The palette is flat and light: grey dialogs (221), white panels and lists, 200 grey frames,
// one cool blue accent for hover, press and check marks, and a slightly darker cool grey for
// caption bars. Artwork drawn by SkinArt.cpp uses only these colours, so a change here changes
// every bitmap at once. Keep one definition per colour.

#include <QColor>

namespace skin {

// Shared colours of the drawn windows.
inline constexpr QColor kDialogBackground{221, 221, 221};
inline constexpr QColor kStatusBackground{230, 230, 230}; // batch dialog, status areas
inline constexpr QColor kFrameColour{200, 200, 200};      // frames, progress bars
inline constexpr QColor kDisabledText{120, 120, 120};
inline constexpr QColor kMenuBackground{234, 235, 237};
inline constexpr QColor kShadowText{240, 240, 240};       // emboss of flat label buttons
inline constexpr QColor kPanelBackground{255, 255, 255}; // lists and panels
inline constexpr QColor kPanelInnerFrame{235, 235, 235}; // inner of the two frames around panel controls
inline constexpr QColor kThumbnailStage{224, 228, 234};  // behind frame thumbnails: openings and light frames show
inline constexpr QColor kPreviewBackground{206, 209, 214}; // under a white collage shown small (layout preview)
inline constexpr QColor kPreviewShadow{150, 154, 161};     // the shadow under that collage

// Text.
inline constexpr QColor kText{0, 0, 0};             // captions, button text, label buttons
inline constexpr QColor kCaptionShadow{255, 255, 255}; // caption text drawn first, offset 1,1

// Accent: hover and pressed edges, check marks, selections.
inline constexpr QColor kAccent{38, 117, 201};
inline constexpr QColor kAccentDark{24, 88, 158};
inline constexpr QColor kAccentTint{214, 230, 248};

// Push button faces by state (flat, 1-pixel edge, 3-pixel corner radius).
inline constexpr QColor kButtonFace{250, 250, 250};
inline constexpr QColor kButtonEdge{160, 160, 160};
inline constexpr QColor kButtonHoverFace{255, 255, 255};
inline constexpr QColor kButtonDisabledFace{232, 232, 232};
inline constexpr QColor kButtonDisabledEdge{kFrameColour};

// Window frame: caption bar, outline around the whole window, line under the caption.
inline constexpr QColor kCaptionBar{204, 209, 217};
inline constexpr QColor kCaptionLine{178, 184, 194};
inline constexpr QColor kWindowOutline{128, 134, 145};
inline constexpr QColor kCloseGlyph{62, 66, 74};
inline constexpr QColor kCloseHover{222, 68, 68};
inline constexpr QColor kClosePressed{172, 40, 40};
// The main window's minimise and maximise buttons on the caption bar, under the mouse and held.
inline constexpr QColor kCaptionButtonHover{226, 230, 236};
inline constexpr QColor kCaptionButtonPressed{184, 191, 202};

// Check boxes of check-style buttons.
inline constexpr QColor kCheckEdge{140, 140, 140};

// States of the drawn push buttons; the numbers are the buttons' own state codes.
enum ButtonState : int {
    kStatePressed = 1,
    kStateDisabled = 4,
    kStateHover = 16,
    kStateNormal = 32,
};

// The program's own push button artwork comes in two styles: a framed push button, and a
// tool-bar button that shows no face until the mouse is over it.
enum class ButtonArtStyle {
    kPush,
    kTool,
};

// Artwork numbers: the program's bitmaps by the numbers its controls ask for
// (SkinArt.h draws them).
enum Bitmap : int {
    kBmpComboFace = 131,
    kBmpBottomBorder = 132,
    kBmpLeftBorder = 133,
    kBmpRightBorder = 134,
    kBmpCaptionBar = 135,
    kBmpCloseNormal = 136,
    kBmpSliderThumb = 156,
    kBmpSliderTrack = 170,
    kBmpCloseHover = 217,
    kBmpClosePressed = 218,
};

// Push button state bitmaps: 118 pixels wide, drawn at the height of the button.
inline constexpr int kButtonArtWidth = 118;
inline constexpr int kButtonArtHeight = 20; // the usual push button height
inline constexpr int kButtonCap = 12;       // left cap from x 0, right cap from x 106
inline constexpr int kButtonRightCapX = kButtonArtWidth - kButtonCap;
inline constexpr int kButtonCorner = 3;

// Icons on buttons.
inline constexpr int kIconSize = 16;

// Check-style button: the box bitmap and the gap before the caption.
inline constexpr int kCheckBoxSize = 16;
inline constexpr int kCheckCaptionGap = 5;

// Flat label button: caption inset from the left.
inline constexpr int kLabelInset = 5;

// Skinned dialog frame.
inline constexpr int kCaptionHeight = 30;   // caption bar (bitmap 135)
inline constexpr int kDragBand = 25;        // a press above this moves the window
inline constexpr int kBorderWidth = 20;     // side borders (133, 134)
inline constexpr int kBottomHeight = 14;    // bottom border (132)
inline constexpr int kCaptionTextX = 10;    // caption text: black at 10,7, white at 11,8
inline constexpr int kCaptionTextY = 7;
inline constexpr int kCloseWidth = 26;      // close button 10010: 26 x 17
inline constexpr int kCloseHeight = 17;
inline constexpr int kCloseRight = 40;      // its left edge this far from the right edge
inline constexpr int kCloseTop = 7;
inline constexpr int kCloseCommand = 10010;

// Owner-drawn menus: the icon column of style 2 and the light line of etched separators
// (the dark line is kFrameColour).
inline constexpr QColor kMenuIconColumn{223, 225, 229};
inline constexpr QColor kEtchLight{255, 255, 255};

// The drawn combo box (bitmap 131): field edge by state, the drop-down button, its chevron.
inline constexpr QColor kComboEdge{172, 172, 172};
inline constexpr QColor kComboEdgeHover{118, 124, 135};
inline constexpr QColor kComboDivider{222, 222, 222};
inline constexpr QColor kComboButtonHover{238, 240, 243};
inline constexpr QColor kComboButtonPressed{222, 226, 232};
inline constexpr QColor kComboGlyph{70, 74, 82};
inline constexpr QColor kComboDisabledField{240, 240, 240};

// The drawn scroll bars of the list boxes and of the canvas: track, its edge next to the
// list, thumb by state, arrows.
inline constexpr QColor kScrollTrack{244, 245, 247};
inline constexpr QColor kScrollEdge{226, 228, 232};
inline constexpr QColor kScrollThumb{196, 200, 206};
inline constexpr QColor kScrollThumbHover{166, 172, 181};
inline constexpr QColor kScrollThumbPressed{138, 145, 156};
inline constexpr QColor kScrollArrow{92, 97, 106};
inline constexpr QColor kScrollArrowHover{228, 231, 236};

// Photo library grid: the frame bitmap under each thumbnail and the selected cell's lines.
inline constexpr QColor kPhotoFrameFace{246, 246, 246};
inline constexpr QColor kPhotoFrameShade{230, 231, 234};
inline constexpr QColor kPhotoSelection{100, 100, 100};

// Drop-down arrows on button faces.
inline constexpr QColor kButtonGlyph{70, 74, 82};
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
