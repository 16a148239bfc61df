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

// The drawn scroll bars of the list boxes: track, its edge next to the list, thumb by state,
// arrows.
inline constexpr QColor kScrollTrack{244, 245, 247};
inline constexpr QColor kScrollEdge{226, 228, 232};
inline constexpr QColor kScrollThumb{196, 200, 206};
inline constexpr QColor kScrollThumbHover{166, 172, 181};
inline constexpr QColor kScrollThumbPressed{138, 145, 156};
inline constexpr QColor kScrollArrow{92, 97, 106};
inline constexpr QColor kScrollArrowHover{228, 231, 236};

} // namespace skin
