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

} // namespace skin
