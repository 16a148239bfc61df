#pragma once

// Geometry of the owner-drawn menu, with no widget: where an item's icon column, icon frame,
// icon, text, shortcut and submenu arrow go, how wide and high an item is, the bands of the
// side bar gradient, and the shortcut text of a key. CMstMenu draws with these numbers and
// the tests check them directly.
//
// Two styles: kMenuStyleFlat (0) draws flat items whose icon sits in a plain margin, with a
// thin raised edge around the selected item and a sunken edge around a checked item's mark;
// kMenuStyleIconColumn (2) draws a separate icon column on the left of every item. The
// shortcut text of every item is right-aligned in a column of the width of the widest
// shortcut, just left of the submenu arrow area.

#include <QColor>
#include <QKeySequence>
#include <QRect>
#include <QString>

namespace mstmenu {

inline constexpr int kMenuStyleFlat = 0;
inline constexpr int kMenuStyleIconColumn = 2;

// Metrics of the items, in pixels.
struct MenuMetrics {
    int iconSize;       // icons are drawn at this size
    int iconFrame;      // square frame around the icon or check mark
    int iconColumn;     // width of the icon column (style 2) or icon margin (style 0)
    int itemMinHeight;  // no item is lower than this
    int itemPadding;    // above and below the text
    int textGap;        // between the icon column and the text
    int shortcutGap;    // at least this between the text and the shortcut column
    int arrowWidth;     // right end of every item: the submenu arrow lives here
    int separatorHeight;
    int separatorInset; // etched line: this far from the item's ends (past the icon column)
    int highlightInset; // selected background: inset from the item's left and right ends
    int panelFrame;     // frame line around the popup
    int panelPadding;   // above the first and below the last item
    int sideBarWidth;   // side bar of style 2 popups
    int sideBarTextInset; // the side bar caption starts this far above the bottom
};

inline constexpr MenuMetrics kMenuMetrics{
    .iconSize = 16,
    .iconFrame = 22,
    .iconColumn = 30,
    .itemMinHeight = 26,
    .itemPadding = 5,
    .textGap = 8,
    .shortcutGap = 32,
    .arrowWidth = 22,
    .separatorHeight = 9,
    .separatorInset = 6,
    .highlightInset = 3,
    .panelFrame = 1,
    .panelPadding = 3,
    .sideBarWidth = 24,
    .sideBarTextInset = 8,
};

// The side bar gradient: from 0,0,192 at the bottom (where the caption starts) to black at
// the top, in 256 bands.
inline constexpr int kSideBarSteps = 256;
inline constexpr QColor kSideBarFrom{0, 0, 192};
inline constexpr QColor kSideBarTo{0, 0, 0};
inline constexpr int kSideBarFontPixels = 16; // bold "Arial"

// Where the parts of one item go inside its rectangle.
struct MenuItemGeometry {
    QRect highlight;  // background of a selected item
    QRect iconColumn; // style 2: the column band; style 0: empty
    QRect iconFrame;  // frame around the icon or check mark
    QRect icon;       // the icon itself, iconSize square, centred in the frame
    QRect text;       // item text, left-aligned, vertically centred
    QRect shortcut;   // shortcut text, right-aligned in this box; empty without shortcuts
    QRect arrow;      // submenu arrow
};

MenuItemGeometry LayOutMenuItem(int style, const QRect& item, int shortcutColumnWidth);

// Width of an item whose text is textWidth wide, without the shortcut column (the menu
// adds the widest shortcut to every item).
int MenuItemWidth(int style, int textWidth, int shortcutColumnWidth);

// Height of an item for a text of fontHeight (an icon never makes it higher: icons are 16).
int MenuItemHeight(int fontHeight);

// The side bar band of step 0..255 inside the bar (step 0 at the bottom), and its colour.
// Bands cover the bar exactly, without gaps or overlaps, at any height.
QRect SideBarBand(const QRect& bar, int step);
QColor SideBarColour(int step);

// The shortcut text of a key with modifiers: "Ctrl+", then "Shift+", then "Alt+", then the
// key's name as the keyboard layout spells it ("F5", "Del", "A"); Esc has no shortcut text,
// and neither has a key with no name.
QString ShortcutText(Qt::KeyboardModifiers modifiers, Qt::Key key);

// Splits an item text "Open Project\tCtrl+O" into the text and its shortcut.
struct MenuTextParts {
    QString text;
    QString shortcut;
};
MenuTextParts SplitMenuText(const QString& itemText);

} // namespace mstmenu
