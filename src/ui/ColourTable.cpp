#include "ui/ColourTable.h"

#include <algorithm>

namespace colours {

const std::array<NamedColour, kNamedColourCount> kNamedColours{{
    {"Black", Rgb(0, 0, 0)},
    {"Brown", Rgb(165, 42, 0)},
    {"Dark Olive Green", Rgb(0, 64, 64)},
    {"Dark Green", Rgb(0, 85, 0)},
    {"Dark Teal", Rgb(0, 0, 94)},
    {"Dark blue", Rgb(0, 0, 139)},
    {"Indigo", Rgb(75, 0, 130)},
    {"Dark grey", Rgb(40, 40, 40)},
    {"Dark red", Rgb(139, 0, 0)},
    {"Orange", Rgb(255, 104, 32)},
    {"Dark yellow", Rgb(139, 139, 0)},
    {"Green", Rgb(0, 147, 0)},
    {"Teal", Rgb(56, 142, 142)},
    {"Blue", Rgb(0, 0, 255)},
    {"Blue-grey", Rgb(123, 123, 192)},
    {"Grey - 40", Rgb(102, 102, 102)},
    {"Red", Rgb(255, 0, 0)},
    {"Light orange", Rgb(255, 173, 91)},
    {"Lime", Rgb(50, 205, 50)},
    {"Sea green", Rgb(60, 179, 113)},
    {"Aqua", Rgb(127, 255, 212)},
    {"Light blue", Rgb(125, 158, 192)},
    {"Violet", Rgb(128, 0, 128)},
    {"Grey - 50", Rgb(127, 127, 127)},
    {"Pink", Rgb(255, 192, 203)},
    {"Gold", Rgb(255, 215, 0)},
    {"Yellow", Rgb(255, 255, 0)},
    {"Bright green", Rgb(0, 255, 0)},
    {"Turquoise", Rgb(64, 224, 208)},
    {"Skyblue", Rgb(192, 255, 255)},
    {"Plum", Rgb(72, 0, 72)},
    {"Light grey", Rgb(192, 192, 192)},
    {"Rose", Rgb(255, 228, 225)},
    {"Tan", Rgb(210, 180, 140)},
    {"Light yellow", Rgb(255, 255, 224)},
    {"Pale green ", Rgb(152, 251, 152)},
    {"Pale turquoise", Rgb(175, 238, 238)},
    {"Pale blue", Rgb(104, 131, 139)},
    {"Lavender", Rgb(230, 230, 250)},
    {"White", Rgb(255, 255, 255)},
}};

QColor ToQColor(std::uint32_t colour)
{
    return QColor(Red(colour), Green(colour), Blue(colour));
}

std::uint32_t FromQColor(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return Rgb(rgb.red(), rgb.green(), rgb.blue());
}

QString HexText(std::uint32_t colour)
{
    return QString::asprintf("#%02X%02X%02X", Red(colour), Green(colour), Blue(colour));
}

PopupLayout LayoutPopup(int textHeight, int automaticTextWidth, int customTextWidth)
{
    constexpr int m = kPopupMargin;
    const int gridWidth = kPopupColumns * kPopupBox;
    const int gridHeight = kPopupRows * kPopupBox;
    const int widestText = std::max(automaticTextWidth, customTextWidth);
    const int width = std::max(2 * m + gridWidth, widestText + 2 * m);
    const int textBoxHeight = textHeight + 4 * m + 2;

    PopupLayout layout;
    int y = m;
    if (automaticTextWidth > 0) {
        layout.automaticBox = QRect(m, y, width - 2 * m, textBoxHeight);
        y += textBoxHeight + m;
    }
    layout.gridOrigin = QPoint((width - gridWidth) / 2, y);
    y += gridHeight;
    if (customTextWidth > 0) {
        y += m;
        layout.customBox = QRect(m, y, width - 2 * m, textBoxHeight);
        y += textBoxHeight;
    }
    const int textBoxes = (automaticTextWidth > 0 ? 1 : 0) + (customTextWidth > 0 ? 1 : 0);
    layout.size = QSize(width, gridHeight + 2 * m + textBoxes * (textBoxHeight + 2 * m));
    return layout;
}

QRect BoxRect(const PopupLayout& layout, int index)
{
    const int column = index % kPopupColumns;
    const int row = index / kPopupColumns;
    return QRect(layout.gridOrigin.x() + column * kPopupBox, layout.gridOrigin.y() + row * kPopupBox, kPopupBox,
                 kPopupBox);
}

int BoxAt(const PopupLayout& layout, QPoint point)
{
    if (layout.automaticBox.contains(point))
        return kBoxAutomatic;
    if (layout.customBox.contains(point))
        return kBoxCustom;
    const QPoint inGrid = point - layout.gridOrigin;
    if (inGrid.x() < 0 || inGrid.y() < 0)
        return kBoxNone;
    const int column = inGrid.x() / kPopupBox;
    const int row = inGrid.y() / kPopupBox;
    if (column >= kPopupColumns || row >= kPopupRows)
        return kBoxNone;
    return row * kPopupColumns + column;
}

QPoint PlacePopup(QSize size, const QRect& picker, const QRect& screen)
{
    int x = picker.left();
    int y = picker.bottom() + 1;
    if (x + size.width() > screen.right() + 1)
        x = screen.right() + 1 - size.width();
    if (x < screen.left())
        x = screen.left();
    if (y + size.height() > screen.bottom() + 1)
        y = picker.top() - size.height();
    if (y < screen.top())
        y = screen.top();
    return {x, y};
}

int ChosenBox(std::uint32_t initial, const PopupLayout& layout)
{
    if (initial == kAutomaticColour && layout.hasAutomatic())
        return kBoxAutomatic;
    for (int i = 0; i < kNamedColourCount; ++i) {
        if (kNamedColours[std::size_t(i)].colour == initial)
            return i;
    }
    return layout.hasCustom() ? kBoxCustom : kBoxNone;
}

std::uint32_t BoxColour(int box, std::uint32_t initial)
{
    if (box >= 0 && box < kNamedColourCount)
        return kNamedColours[std::size_t(box)].colour;
    if (box == kBoxAutomatic)
        return kAutomaticColour;
    return initial;
}

int MoveBox(int current, Arrow arrow, const PopupLayout& layout)
{
    constexpr int last = kNamedColourCount - 1;
    constexpr int lastRowStart = (kPopupRows - 1) * kPopupColumns;
    const bool hasAuto = layout.hasAutomatic();
    const bool hasCustom = layout.hasCustom();
    if (current == kBoxNone || current < kBoxAutomatic || current > last)
        return 0;

    switch (arrow) {
    case Arrow::Left:
        if (current == kBoxAutomatic)
            return hasCustom ? kBoxCustom : last;
        if (current == kBoxCustom)
            return last;
        if (current > 0)
            return current - 1;
        return hasAuto ? kBoxAutomatic : hasCustom ? kBoxCustom : last;
    case Arrow::Right:
        if (current == kBoxAutomatic)
            return 0;
        if (current == kBoxCustom)
            return hasAuto ? kBoxAutomatic : 0;
        if (current < last)
            return current + 1;
        return hasCustom ? kBoxCustom : hasAuto ? kBoxAutomatic : 0;
    case Arrow::Up:
        if (current == kBoxAutomatic)
            return hasCustom ? kBoxCustom : lastRowStart;
        if (current == kBoxCustom)
            return lastRowStart;
        if (current >= kPopupColumns)
            return current - kPopupColumns;
        return hasAuto ? kBoxAutomatic : hasCustom ? kBoxCustom : current + lastRowStart;
    case Arrow::Down:
        if (current == kBoxAutomatic)
            return 0;
        if (current == kBoxCustom)
            return hasAuto ? kBoxAutomatic : 0;
        if (current < lastRowStart)
            return current + kPopupColumns;
        return hasCustom ? kBoxCustom : hasAuto ? kBoxAutomatic : current - lastRowStart;
    }
    return current;
}

std::uint32_t PaletteCellColour(int column, int row)
{
    row = std::clamp(row, 0, kPaletteRows - 1);
    if (column <= 0) {
        const int grey = kGreyLevels[std::size_t(row)];
        return Rgb(grey, grey, grey);
    }
    const int c = std::min(column, kPaletteColourColumns) - 1;
    const int band = row / 6;
    const int red = band * 153 + 51 * (c / 6);
    const int green = 51 * (c % 6);
    const int blue = 51 * (row % 6);
    return Rgb(red, green, blue);
}

QRect PaletteGrid::CellRect(int column, int row) const
{
    return QRect(origin.x() + column * pitch, origin.y() + row * pitch, box, box);
}

QPoint PaletteGrid::CellAt(QPoint point) const
{
    const QPoint inGrid = point - origin;
    if (inGrid.x() < 0 || inGrid.y() < 0)
        return {-1, -1};
    const int column = inGrid.x() / pitch;
    const int row = inGrid.y() / pitch;
    if (column > kPaletteColourColumns || row >= kPaletteRows)
        return {-1, -1};
    if (inGrid.x() % pitch >= box || inGrid.y() % pitch >= box)
        return {-1, -1};
    return {column, row};
}

} // namespace colours
