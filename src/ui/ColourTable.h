#pragma once

// Colours and box geometry of the colour picker, its popup and the two palettes, without
// widgets: the 40 named colours, the 12 greys and 216 colours of the palettes, the popup's
// size, placement, chosen box and arrow-key moves, and which box lies under a point.
// CVelColourPicker, ColourPopup, ColorPalette and InlinePalette draw and hit-test with these
// functions; the tests call them directly.
//
// Colours are 32-bit values with red in the low byte, then green, then blue, high byte 0
// (0x00BBGGRR); kAutomaticColour (0xFF000000) is the picker's "automatic" value and never a
// real colour.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>

namespace colours {

inline constexpr std::uint32_t kAutomaticColour = 0xFF000000u;

constexpr std::uint32_t Rgb(int red, int green, int blue)
{
    return std::uint32_t(red & 0xFF) | (std::uint32_t(green & 0xFF) << 8) | (std::uint32_t(blue & 0xFF) << 16);
}
constexpr int Red(std::uint32_t colour) { return int(colour & 0xFF); }
constexpr int Green(std::uint32_t colour) { return int((colour >> 8) & 0xFF); }
constexpr int Blue(std::uint32_t colour) { return int((colour >> 16) & 0xFF); }

// QColor of a colour value (the high byte is ignored; "automatic" gives black).
QColor ToQColor(std::uint32_t colour);
// Colour value of a QColor (alpha dropped).
std::uint32_t FromQColor(const QColor& colour);
// "#" and six upper-case hexadecimal digits: red, green, blue.
QString HexText(std::uint32_t colour);

// ---- the popup's 40 named colours, row by row, 8 per row ----
struct NamedColour {
    const char* name; // tooltip text, exactly as shown ("Pale green " keeps its space)
    std::uint32_t colour;
};
inline constexpr int kNamedColourCount = 40;
extern const std::array<NamedColour, kNamedColourCount> kNamedColours;

// ---- the popup ----
inline constexpr int kPopupColumns = 8;
inline constexpr int kPopupRows = 5;
inline constexpr int kPopupBox = 18; // each colour box is 18 x 18
inline constexpr int kPopupMargin = 2; // the edge width around the boxes

// Current-box values besides the table indices 0..39.
inline constexpr int kBoxNone = -1;
inline constexpr int kBoxCustom = -2;    // "More Colours..."
inline constexpr int kBoxAutomatic = -3; // "Automatic"

struct PopupLayout {
    QSize size;
    QRect automaticBox; // empty when the popup has no "Automatic" box
    QRect customBox;    // empty when it has no "More Colours..." box
    QPoint gridOrigin;  // top-left corner of box 0
    bool hasAutomatic() const { return !automaticBox.isEmpty(); }
    bool hasCustom() const { return !customBox.isEmpty(); }
};

// The popup's layout for a font `textHeight` pixels high and the pixel widths of the two
// texts (a width of 0 means the text is empty and its box absent). Width: 2 x margin + 8 x
// 18, or the wider text plus 2 x margin if wider; height: 5 x 18 + 2 x margin, plus for each
// text box its height (text height + 4 x margin + 2) and 2 x margin.
PopupLayout LayoutPopup(int textHeight, int automaticTextWidth, int customTextWidth);

// Rectangle of table box `index` (column index mod 8, row index div 8).
QRect BoxRect(const PopupLayout& layout, int index);
// The box under `point`: a table index, kBoxAutomatic, kBoxCustom or kBoxNone.
int BoxAt(const PopupLayout& layout, QPoint point);

// Top-left corner of a popup of `size` opened under a picker at `picker` (global
// coordinates) on a screen `screen`: at the picker's bottom-left corner, moved left to end
// at the right screen edge, right when its left edge would be off the screen, above the
// picker when it would cross the bottom edge, and never above the screen's top.
QPoint PlacePopup(QSize size, const QRect& picker, const QRect& screen);

// The box marked as chosen when the popup opens with `initial`: "Automatic" for the
// automatic value when that box exists, else the table box of exactly that colour, else
// "More Colours..." when that box exists, else none.
int ChosenBox(std::uint32_t initial, const PopupLayout& layout);

// The colour a box stands for: the table colour, kAutomaticColour for "Automatic", the
// initial colour for "More Colours..." and none.
std::uint32_t BoxColour(int box, std::uint32_t initial);

// The current box after an arrow key. Left and right walk the row and wrap into the
// previous or next row; up and down move by rows; above the first row lies "Automatic" and
// below the last "More Colours..." (when present), and from those the keys lead back into
// the grid. With no current box any arrow goes to box 0.
enum class Arrow { Left, Right, Up, Down };
int MoveBox(int current, Arrow arrow, const PopupLayout& layout);

// ---- the two palettes: 12 greys and 216 colours ----
inline constexpr std::array<int, 12> kGreyLevels{255, 232, 209, 186, 163, 140, 117, 94, 71, 48, 23, 0};
inline constexpr int kPaletteColourColumns = 18;
inline constexpr int kPaletteRows = 12;

// Colour of a palette cell: column 0 holds the greys, columns 1..18 the 216 colours (top
// six rows red 51 x (c div 6), bottom six 153 + 51 x (c div 6); green 51 x (c mod 6); blue
// 51 x (row mod 6), with c = column - 1).
std::uint32_t PaletteCellColour(int column, int row);

// Geometry of a palette grid: boxes `box` pixels square on a `pitch`-pixel pitch, the greys
// in column 0 and the colours from column 1.
struct PaletteGrid {
    int pitch;
    int box;
    QPoint origin; // top-left corner of the grey column's first box
    QRect CellRect(int column, int row) const;
    // The cell under `point`, or (-1, -1) outside the grid or on a line between boxes.
    QPoint CellAt(QPoint point) const;
    QSize Size() const { return {(kPaletteColourColumns + 1) * pitch, kPaletteRows * pitch}; }
};

// The "ColorPalette" window: 190 x 150, boxes 9 x 9 on a 10-pixel pitch with grid lines,
// a light-grey strip below with the preview, the hex text and the small dialog button.
namespace palette {
inline constexpr QSize kWindowSize{190, 150};
inline constexpr PaletteGrid kGrid{10, 9, QPoint(1, 1)};
inline constexpr QRect kPreview{QPoint(5, 125), QPoint(39, 142)}; // 5,125 to 40,143
inline constexpr QPoint kHexTextAt{80, 127};
inline constexpr int kHexFontPixels = 12;
inline constexpr QRect kDialogButton{167, 126, 16, 16};
inline constexpr int kStripTop = 120;
} // namespace palette

// The inline palette of the side panel: 6 x 6 boxes on a 7-pixel pitch, greys at x 0 and
// colours from x 7, on 0xE6E6E6, with a swatch and the hex text below.
namespace inline_palette {
inline constexpr PaletteGrid kGrid{7, 6, QPoint(0, 0)};
inline constexpr int kStripHeight = 22;
} // namespace inline_palette

} // namespace colours
