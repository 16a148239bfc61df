// The two palettes: the order of the 12 greys and 216 colours, the grid geometry, and the
// "ColorPalette" window's choice, cancel and dialog request.

#include "ui/ColorPalette.h"
#include "ui/ColourTable.h"
#include "ui/InlinePalette.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QHelpEvent>

#include <gtest/gtest.h>

#include <set>

using namespace colours;

namespace {

void Move(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

TEST(PaletteColours, GreysAndTheWebColoursInTheirOrder)
{
    EXPECT_EQ(PaletteCellColour(0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(PaletteCellColour(0, 1), Rgb(232, 232, 232));
    EXPECT_EQ(PaletteCellColour(0, 10), Rgb(23, 23, 23));
    EXPECT_EQ(PaletteCellColour(0, 11), Rgb(0, 0, 0));
    // Top band: red 51 x (c div 6), green 51 x (c mod 6), blue 51 x row.
    EXPECT_EQ(PaletteCellColour(1, 0), Rgb(0, 0, 0));
    EXPECT_EQ(PaletteCellColour(2, 0), Rgb(0, 51, 0));
    EXPECT_EQ(PaletteCellColour(7, 3), Rgb(51, 0, 153));
    EXPECT_EQ(PaletteCellColour(18, 5), Rgb(102, 255, 255));
    // Bottom band: red from 153.
    EXPECT_EQ(PaletteCellColour(1, 6), Rgb(153, 0, 0));
    EXPECT_EQ(PaletteCellColour(13, 8), Rgb(255, 0, 102));
    EXPECT_EQ(PaletteCellColour(18, 11), Rgb(255, 255, 255));

    // Together the 216 colour cells are every combination of the six levels once.
    std::set<std::uint32_t> seen;
    for (int row = 0; row < kPaletteRows; ++row) {
        for (int column = 1; column <= kPaletteColourColumns; ++column) {
            const std::uint32_t colour = PaletteCellColour(column, row);
            EXPECT_EQ(Red(colour) % 51 + Green(colour) % 51 + Blue(colour) % 51, 0);
            seen.insert(colour);
        }
    }
    EXPECT_EQ(seen.size(), 216u);
}

TEST(PaletteGrid, CellsOnTheirPitchAndLinesBetween)
{
    const PaletteGrid& grid = palette::kGrid;
    EXPECT_EQ(grid.Size(), QSize(190, 120));
    EXPECT_EQ(grid.CellRect(0, 0), QRect(1, 1, 9, 9));
    EXPECT_EQ(grid.CellRect(18, 11), QRect(181, 111, 9, 9));
    EXPECT_EQ(grid.CellAt(QPoint(1, 1)), QPoint(0, 0));
    EXPECT_EQ(grid.CellAt(QPoint(189, 119)), QPoint(18, 11));
    EXPECT_EQ(grid.CellAt(QPoint(10, 5)), QPoint(-1, -1)); // a grid line
    EXPECT_EQ(grid.CellAt(QPoint(50, 125)), QPoint(-1, -1)); // the strip below

    const PaletteGrid& small = inline_palette::kGrid;
    EXPECT_EQ(small.CellRect(0, 0), QRect(0, 0, 6, 6));
    EXPECT_EQ(small.CellRect(1, 0).left(), 7); // colours from x 7
    EXPECT_EQ(small.CellAt(QPoint(6, 3)), QPoint(-1, -1));
    EXPECT_EQ(small.CellAt(QPoint(7 * 19 - 2, 7 * 12 - 2)), QPoint(18, 11));
    EXPECT_EQ(small.Size(), QSize(133, 84));
}

TEST(ColorPaletteWindow, HoverShowsTheBoxAndAClickPostsIt)
{
    QWidget owner;
    ColorPalette palette(&owner);
    EXPECT_EQ(palette.objectName(), QStringLiteral("ColorPalette"));
    EXPECT_EQ(palette.size(), QSize(190, 150));
    QSignalSpy chosen(&palette, &ColorPalette::colourChosen);
    palette.SetColour(0x00FF00);
    palette.Popup(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    EXPECT_EQ(palette.Colour(), 0x00FF00u);

    const QPoint box = palette::kGrid.CellRect(5, 8).center();
    Move(&palette, box);
    EXPECT_EQ(palette.Colour(), PaletteCellColour(5, 8));
    EXPECT_EQ(palette.HoverCell(), QPoint(5, 8));
    Move(&palette, QPoint(10, 5)); // a line: the colour stays
    EXPECT_EQ(palette.Colour(), PaletteCellColour(5, 8));

    QTest::mousePress(&palette, Qt::LeftButton, {}, box);
    QTest::mouseRelease(&palette, Qt::LeftButton, {}, box);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<quint32>(), PaletteCellColour(5, 8));
    EXPECT_FALSE(palette.isVisible());
}

TEST(ColorPaletteWindow, EscClosesWithoutAChoiceAndTheButtonAsksForTheDialog)
{
    QWidget owner;
    ColorPalette palette(&owner);
    QSignalSpy chosen(&palette, &ColorPalette::colourChosen);
    QSignalSpy dialog(&palette, &ColorPalette::dialogRequested);
    palette.Popup(QPoint(50, 50));
    QTest::keyClick(&palette, Qt::Key_Escape);
    EXPECT_FALSE(palette.isVisible());
    EXPECT_EQ(chosen.count(), 0);

    palette.Popup(QPoint(50, 50));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    QTest::mouseClick(palette.DialogButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.count(), 1);
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_FALSE(palette.isVisible());

    // Closed by anything else (losing activation): ends as a release does.
    palette.Popup(QPoint(50, 50));
    palette.SetColour(0x336699);
    palette.close();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<quint32>(), 0x336699u);
}

TEST(ColorPaletteWindow, WithoutScreenReadingTheTooltipSaysSo)
{
    ColorPalette palette;
    // The test platform cannot read the screen, as on Wayland.
    ASSERT_FALSE(ColorPalette::CanReadScreen());
    EXPECT_FALSE(ColorPalette::ReadScreenPixel(QPoint(5, 5)).has_value());
    EXPECT_TRUE(ColorPalette::HelpText().contains(QStringLiteral("only inside the palette")));
    palette.Popup(QPoint(20, 20));
    const QPoint strip(60, 140);
    QHelpEvent help(QEvent::ToolTip, strip, palette.mapToGlobal(strip));
    QCoreApplication::sendEvent(&palette, &help);
    EXPECT_EQ(QToolTip::text(), ColorPalette::HelpText());
    QToolTip::hideText();
    palette.hide();
}

TEST(InlinePaletteWidget, AClickOnABoxMakesItTheColour)
{
    InlinePalette inlinePalette;
    QSignalSpy chosen(&inlinePalette, &InlinePalette::colourChosen);
    inlinePalette.resize(inlinePalette.sizeHint());
    inlinePalette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&inlinePalette));
    QTest::mouseClick(&inlinePalette, Qt::LeftButton, {}, inline_palette::kGrid.CellRect(0, 3).center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(inlinePalette.Colour(), Rgb(186, 186, 186));
    QTest::mouseClick(&inlinePalette, Qt::LeftButton, {}, QPoint(6, 3)); // between boxes: nothing
    EXPECT_EQ(chosen.count(), 1);
}
