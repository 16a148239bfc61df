#pragma once

// Geometry of the drawn scroll bars of CMstListBox, with no widget: where the two arrow
// buttons, the track and the thumb go for a range, page and value, and which value a dragged
// thumb stands for. The bar is kScrollBarThickness (17) pixels across; its arrow buttons are
// square. A bar whose range is empty has no thumb.

#include <QRect>

namespace listbox {

inline constexpr int kScrollBarThickness = 17;

struct ListBoxMetrics {
    int lineHeight;  // one line of the list
    int textInset;   // text starts this far from the line's left end
    int frame;       // the container's frame line
    int minThumb;    // the thumb is never shorter than this
    int thumbInset;  // the thumb keeps this far from the bar's long edges
};

inline constexpr ListBoxMetrics kListBoxMetrics{
    .lineHeight = 20,
    .textInset = 6,
    .frame = 1,
    .minThumb = 18,
    .thumbInset = 4,
};

struct ScrollBarParts {
    QRect less;  // arrow button towards the minimum (top or left)
    QRect more;  // arrow button towards the maximum (bottom or right)
    QRect track; // between the arrows
    QRect thumb; // empty when there is nothing to scroll
};

struct ScrollRange {
    int minimum = 0;
    int maximum = 0;
    int page = 1;
    int value = 0;
};

ScrollBarParts LayOutScrollBar(Qt::Orientation orientation, const QSize& size, const ScrollRange& range);

// The value whose thumb starts at thumbStart (x or y inside the bar), clamped to the range.
int ValueForThumbStart(Qt::Orientation orientation, const QSize& size, const ScrollRange& range, int thumbStart);

} // namespace listbox
