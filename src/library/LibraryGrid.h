#pragma once

// The arithmetic of a library panel, without a widget: the grid of 62 x 62
// cells with 3 pixels between them (and around them), the 17-pixel scroll bar
// along the right edge, the 76 x 20 button in a band under the grid, which
// entry a point hits, the scroll range and what a scroll code does to the
// position; and the loading of a thumbnail library file into the entries a
// panel shows.
//
// Loading follows the file: the count (a short file counts as 0), then every
// whole entry from the first on. A file that cannot be opened gives no entries
// and failure; one that ends early or holds a damaged entry gives the entries
// before it and failure. Pixels are turned into a picture once, here; the panel
// keeps them. Raw pixel blocks are kept only when asked (the brush panel paints
// with them).

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

namespace library {

struct PanelGeometry {
  int cell = 62;
  int gap = 3;
  int scrollBarWidth = 17;
  int buttonWidth = 76;
  int buttonHeight = 20;
  int buttonBand =
      26; // under the grid, the button 3 pixels from its left and top
};
inline constexpr PanelGeometry kPanelGeometry{};

// The grid area of a panel of the given size (the band under it only with a
// button).
QRect GridArea(QSize panel, bool withButton);
// The button's rectangle: the bottom-left corner of the panel.
QRect ButtonRect(QSize panel);
QRect ScrollBarRect(QSize panel, bool withButton);

// Cells per row in a grid area of this width (at least 1).
int PanelColumns(int gridWidth);
// Height of all rows of count entries, the gaps above, between and below
// included.
int GridContentHeight(int count, int columns);
// Entry n's cell in grid coordinates (the grid area's top-left is 0,0) scrolled
// by scrollY.
QRect CellRect(int n, int columns, int scrollY);
// The entry under a point of the grid area, or -1 (gaps and the space after the
// last entry hit nothing).
int EntryAt(QPoint point, int columns, int scrollY, int count);
// How far the grid scrolls: max(0, content - visible).
std::int32_t GridScrollRange(int count, int columns, int visibleHeight);
// A scroll code of the drawn scroll bar (gestures::ScrollCode numbers): a line
// is a row, a page the visible height less a row; the result stays in [0,
// range].
std::int32_t ApplyGridScroll(int code, std::int32_t position,
                             std::int32_t range, std::int32_t value,
                             int visibleHeight);
// The position after wheel notches (positive = towards the top), one row each.
std::int32_t WheelScroll(std::int32_t position, std::int32_t range,
                         int notches);

// The scale (at most 1) at which a picture of this size, turned by degrees
// about its centre, fits a square of side inner.
double TurnedFitScale(QSize picture, double degrees, int inner);

struct PanelEntry {
  QImage bitmap; // 32-bit ARGB of the thumbnail
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool selected = false;
  QByteArray pixels; // the raw pixel block; brush panel only
};

struct PanelLoad {
  std::vector<PanelEntry> entries;
  bool ok = false;
};
PanelLoad LoadPanelEntries(const QString &path, bool keepPixels);

} // namespace library
