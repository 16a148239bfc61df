#include "ui/CMstMenu.h"
#include "ui/MenuLayout.h"
#include "ui/skin/Skin.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace mstmenu;

namespace {

const MenuEntry kFileTable[] = {
    {10851, "Open Project", "document-open", "Ctrl+O"},
    {10852, "Save Project As...", "document-save-as", "Ctrl+Shift+S"},
    {kMenuSeparator},
    {10901, "Preview", "document-preview", "F5"},
    {10902, "Save Collage"},
};

// Rows of an item: the first and last x of pixels that differ clearly from the background
// between x0 and x1 (inclusive), or -1, -1.
std::pair<int, int> InkSpan(const QImage& image, int y0, int y1, int x0, int x1, const QColor& background)
{
    int first = -1;
    int last = -1;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - background.red()) + qAbs(c.green() - background.green()) +
                    qAbs(c.blue() - background.blue()) > 120) {
                if (first < 0 || x < first)
                    first = x;
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

} // namespace

TEST(MenuLayout, ShortcutColumnIsRightAlignedBeforeTheArrow)
{
    const QRect item(1, 4, 300, 26);
    const int column = 70;
    for (int style : {kMenuStyleFlat, kMenuStyleIconColumn}) {
        const MenuItemGeometry g = LayOutMenuItem(style, item, column);
        EXPECT_EQ(g.arrow.right(), item.right());
        EXPECT_EQ(g.arrow.width(), kMenuMetrics.arrowWidth);
        EXPECT_EQ(g.shortcut.right() + 1, g.arrow.left());
        EXPECT_EQ(g.shortcut.width(), column);
        EXPECT_EQ(g.text.left(), item.left() + kMenuMetrics.iconColumn + kMenuMetrics.textGap);
        EXPECT_EQ(g.text.right() + 1 + kMenuMetrics.shortcutGap, g.shortcut.left());
        // The icon sits centred in its frame, the frame centred in the icon margin.
        EXPECT_EQ(g.icon.size(), QSize(kMenuMetrics.iconSize, kMenuMetrics.iconSize));
        EXPECT_EQ(g.icon.center(), g.iconFrame.center());
        EXPECT_EQ(g.iconFrame.center().y(), item.center().y());
        EXPECT_TRUE(item.contains(g.highlight));
    }
    EXPECT_TRUE(LayOutMenuItem(kMenuStyleFlat, item, column).iconColumn.isEmpty());
    EXPECT_EQ(LayOutMenuItem(kMenuStyleIconColumn, item, column).iconColumn,
              QRect(item.left(), item.top(), kMenuMetrics.iconColumn, item.height()));
}

TEST(MenuLayout, WidestItemLeavesExactlyTheGapBeforeItsShortcut)
{
    // The menu makes every item as wide as the widest text plus the shortcut column: laid out
    // at that width, the widest text ends exactly one gap before the shortcut column.
    const int textWidth = 137;
    const int column = 64;
    const int width = MenuItemWidth(kMenuStyleIconColumn, textWidth, column) + column;
    const MenuItemGeometry g = LayOutMenuItem(kMenuStyleIconColumn, QRect(0, 0, width, 26), column);
    EXPECT_EQ(g.text.width(), textWidth);
    // Without shortcuts there is no gap and no column; the text runs to the arrow area.
    const int plain = MenuItemWidth(kMenuStyleIconColumn, textWidth, 0);
    const MenuItemGeometry h = LayOutMenuItem(kMenuStyleIconColumn, QRect(0, 0, plain, 26), 0);
    EXPECT_EQ(h.text.width(), textWidth);
    EXPECT_EQ(h.shortcut.width(), 0);
    EXPECT_EQ(MenuItemHeight(10), kMenuMetrics.itemMinHeight);
    EXPECT_EQ(MenuItemHeight(30), 30 + 2 * kMenuMetrics.itemPadding);
}

TEST(MenuLayout, SideBarBandsCoverTheBarFromBlueAtTheBottomToBlack)
{
    for (int height : {37, 256, 300, 611}) {
        const QRect bar(1, 1, 24, height);
        int covered = 0;
        int expectedBottom = bar.bottom();
        for (int step = 0; step < kSideBarSteps; ++step) {
            const QRect band = SideBarBand(bar, step);
            if (band.isEmpty())
                continue;
            EXPECT_EQ(band.bottom(), expectedBottom) << "height " << height << " step " << step;
            expectedBottom = band.top() - 1;
            covered += band.height();
            EXPECT_EQ(band.width(), bar.width());
        }
        EXPECT_EQ(covered, height);
        EXPECT_EQ(expectedBottom, bar.top() - 1);
    }
    EXPECT_EQ(SideBarColour(0), QColor(0, 0, 192));
    EXPECT_EQ(SideBarColour(255), QColor(0, 0, 0));
    EXPECT_EQ(SideBarColour(128).red(), 0);
    EXPECT_LT(SideBarColour(128).blue(), 192);
    EXPECT_GT(SideBarColour(128).blue(), 0);
}

TEST(MenuLayout, ShortcutTextOrderAndEsc)
{
    EXPECT_EQ(ShortcutText(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_S), "Ctrl+Shift+S");
    EXPECT_EQ(ShortcutText(Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_X), "Ctrl+Shift+Alt+X");
    EXPECT_EQ(ShortcutText(Qt::NoModifier, Qt::Key_F5), "F5");
    EXPECT_EQ(ShortcutText(Qt::ControlModifier, Qt::Key_Escape), "Ctrl+"); // Esc itself has no name
    EXPECT_EQ(ShortcutText(Qt::NoModifier, Qt::Key_Escape), "");
    EXPECT_FALSE(ShortcutText(Qt::NoModifier, Qt::Key_Delete).isEmpty());
    const MenuTextParts parts = SplitMenuText("Open Project\tCtrl+O");
    EXPECT_EQ(parts.text, "Open Project");
    EXPECT_EQ(parts.shortcut, "Ctrl+O");
    EXPECT_EQ(SplitMenuText("Remove").shortcut, "");
}

TEST(MstMenu, BuiltFromATableItemsCarryTheirIds)
{
    CMstMenu menu;
    menu.AppendItems(kFileTable);
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(CMstMenu::ItemId(actions[0]), 10851);
    EXPECT_EQ(SplitMenuText(actions[0]->text()).shortcut, "Ctrl+O");
    EXPECT_EQ(SplitMenuText(actions[1]->text()).text, "Save Project As...");
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_FALSE(CMstMenu::IsOwnItem(actions[2]));
    EXPECT_EQ(SplitMenuText(actions[4]->text()).shortcut, "");
    // Every named icon is there, from the theme or the drawn fallback; no icon, no icon.
    EXPECT_FALSE(actions[0]->icon().isNull());
    EXPECT_FALSE(CMstMenu::ThemeIcon("no-such-icon-anywhere").isNull());
    EXPECT_TRUE(actions[4]->icon().isNull());
    EXPECT_EQ(menu.Item(10901), actions[3]);
    EXPECT_EQ(menu.Item(4242), nullptr);
}

TEST(MstMenu, TriggeredItemsEmitTheirIdDisabledAndForeignOnesNothing)
{
    CMstMenu menu;
    menu.AppendItems(kFileTable);
    CMstMenu* sub = menu.AppendSubmenu("Library");
    sub->AppendItem(10481, "Add to Canvas");
    sub->AppendItem(10482, "Remove", "edit-delete");
    QAction* foreign = menu.addAction("Foreign");
    QSignalSpy top(&menu, &CMstMenu::command);
    QSignalSpy inner(sub, &CMstMenu::command);

    menu.Item(10852)->trigger();
    sub->Item(10482)->trigger();
    foreign->trigger();
    ASSERT_EQ(top.count(), 2);
    EXPECT_EQ(top[0][0].toInt(), 10852);
    EXPECT_EQ(top[1][0].toInt(), 10482); // once from the top menu, for an item of a submenu
    ASSERT_EQ(inner.count(), 1);
    EXPECT_EQ(inner[0][0].toInt(), 10482);

    menu.SetItemEnabled(10901, false);
    menu.SetItemEnabled(10481, false);
    EXPECT_FALSE(menu.Item(10481)->isEnabled());
    menu.Item(10901)->trigger();
    menu.Item(10481)->trigger();
    EXPECT_EQ(top.count(), 2);
    EXPECT_EQ(inner.count(), 1);
}

TEST(MstMenu, ClickingAnItemEmitsItsIdClickingADisabledOneNothing)
{
    CMstMenu menu;
    menu.AppendItems(kFileTable);
    menu.SetItemEnabled(10902, false);
    QSignalSpy spy(&menu, &CMstMenu::command);

    menu.Track(QPoint(50, 50));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(menu.Item(10902)).center());
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(menu.isVisible()); // a click on a disabled item does not close the menu
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(menu.Item(10901)).center());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toInt(), 10901);
    EXPECT_FALSE(menu.isVisible());
}

TEST(MstMenu, ItemsFollowTheSideBarAndShareOneWidth)
{
    CMstMenu menu;
    menu.AppendItems(kFileTable);
    menu.SetSideBar(true, "Montara");
    menu.Track(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    EXPECT_TRUE(menu.SideBarShown());
    const QRect bar = menu.SideBarRect();
    EXPECT_EQ(bar.width(), kMenuMetrics.sideBarWidth);
    EXPECT_EQ(bar.left(), kMenuMetrics.panelFrame);
    const QRect first = menu.actionGeometry(menu.actions()[0]);
    EXPECT_EQ(first.left(), bar.right() + 1);
    EXPECT_EQ(first.top(), kMenuMetrics.panelFrame + kMenuMetrics.panelPadding);
    for (QAction* action : menu.actions())
        EXPECT_EQ(menu.actionGeometry(action).width(), first.width());
    EXPECT_EQ(menu.actionGeometry(menu.actions()[2]).height(), kMenuMetrics.separatorHeight);
    // Widest text plus the widest shortcut fits: the menu is at least that wide.
    const QFontMetrics fm(menu.font());
    const int widest = MenuItemWidth(kMenuStyleIconColumn, fm.horizontalAdvance("Save Project As..."),
                                     fm.horizontalAdvance("Ctrl+Shift+S")) +
                       fm.horizontalAdvance("Ctrl+Shift+S");
    EXPECT_GE(first.width(), widest);
    menu.hide();

    // Submenus and style 0 carry no side bar; the items then start at the frame.
    CMstMenu* sub = menu.AppendSubmenu("More");
    EXPECT_FALSE(sub->SideBarShown());
    menu.SetMenuStyle(kMenuStyleFlat);
    EXPECT_FALSE(menu.SideBarShown());
    menu.Track(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    EXPECT_EQ(menu.actionGeometry(menu.actions()[0]).left(), kMenuMetrics.panelFrame);
}

TEST(MstMenu, ShortcutsEndAtOneRightEdgeAndDisabledTextIsGrey)
{
    CMstMenu menu;
    menu.AppendItems(kFileTable);
    menu.SetItemEnabled(10852, false);
    menu.SetSideBar(false);
    menu.Track(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    const QImage image = menu.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    ASSERT_EQ(ratio, 1.0);

    const QFontMetrics fm(menu.font());
    const int column = fm.horizontalAdvance("Ctrl+Shift+S");
    std::vector<std::pair<int, int>> spans;
    for (int id : {10851, 10852, 10901}) {
        const QRect row = menu.actionGeometry(menu.Item(id));
        const MenuItemGeometry g = LayOutMenuItem(kMenuStyleIconColumn, row, column);
        spans.push_back(InkSpan(image, row.top() + 4, row.bottom() - 4, g.text.right() + 1, row.right(),
                                skin::kMenuBackground));
        EXPECT_GE(spans.back().first, g.shortcut.left() - 1) << id;
        EXPECT_LE(spans.back().second, g.shortcut.right()) << id;
        EXPECT_GE(spans.back().second, g.shortcut.right() - 3) << id;
    }
    // Different widths, one right edge.
    EXPECT_NE(spans[0].first, spans[2].first);
    EXPECT_LE(qAbs(spans[0].second - spans[2].second), 2);

    // The disabled item's text is drawn in the grey text colour, the others in the text colour.
    auto darkest = [&](int id) {
        const QRect row = menu.actionGeometry(menu.Item(id));
        const MenuItemGeometry g = LayOutMenuItem(kMenuStyleIconColumn, row, column);
        int best = 255;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = g.text.left(); x < g.text.left() + 40; ++x)
                best = std::min(best, qGray(image.pixel(x, y)));
        return best;
    };
    EXPECT_LT(darkest(10851), 60);
    EXPECT_NEAR(darkest(10852), qGray(menu.GreyTextColour().rgb()), 12);
    EXPECT_GT(darkest(10852), 80);
}
