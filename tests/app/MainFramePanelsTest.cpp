// The tuning and text panels in their places of the main window, and the effect commands
// routed to the canvas.

#include "app/MainFrame.h"
#include "canvas/CanvasWnd.h"
#include "editing/TextPanel.h"
#include "editing/TuningPanel.h"
#include "ui/PanelContainer.h"
#include "ui/skin/SkinButton.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(MainFramePanels, TypingUpdatesTheSelectedTextItemLiveKeeping999Characters)
{
    MainFrame frame;
    auto* text = qobject_cast<TextPanel*>(frame.LibraryPanelPlace(MainFrame::Tab::Text).Content());
    ASSERT_NE(text, nullptr);
    EXPECT_NE(qobject_cast<TuningPanel*>(frame.LibraryPanelPlace(MainFrame::Tab::Tuning).Content()), nullptr);
    EXPECT_EQ(frame.TextEditBox(), text->TextBox());

    text->TextBox()->setPlainText(QStringLiteral("Hello"));
    text->PickStyle(4);
    QTest::mouseClick(text->AddButton(), Qt::LeftButton);
    CollageModel& model = frame.Canvas().Model();
    ASSERT_EQ(model.ItemCount(), 1);
    const Text& item = std::get<Text>(model.ItemAt(0));
    EXPECT_EQ(item.text.Value(), QStringLiteral("Hello"));
    EXPECT_EQ(item.style, 4);
    EXPECT_EQ(item.font.lfHeight, 48);
    EXPECT_EQ(item.colour1, 0x000019C6u);
    EXPECT_EQ(item.colour2, 0x0000FFFFu);
    const int width = item.boxWidth;

    text->TextBox()->setPlainText(QString(1000, QLatin1Char('w'))); // the box holds 1000
    const Text& typed = std::get<Text>(model.ItemAt(0));
    EXPECT_EQ(typed.text.Value(), QString(999, QLatin1Char('w')));
    EXPECT_GT(typed.boxWidth, width);
    EXPECT_EQ(model.HistoryIndex(), 0); // typing records no step
}

TEST(MainFramePanels, AnEffectCommandReplacesTheItemsAndUndoBringsThemBack)
{
    MainFrame frame;
    CanvasWnd& canvas = frame.Canvas();
    canvas.SetCanvasSize(64, 48);
    std::vector<std::uint8_t> pixels(32 * 24 * 4, 200);
    canvas.AddPictureItem(pixels, 32, 24);
    canvas.AddPictureItem(pixels, 32, 24);
    ASSERT_TRUE(frame.OnCommand(11993));
    EXPECT_EQ(canvas.Model().ItemCount(), 1);
    ASSERT_TRUE(frame.OnCommand(10934)); // Undo
    EXPECT_EQ(canvas.Model().ItemCount(), 2);
}

} // namespace
