#include "ui/MenuLayout.h"

#include "ui/ShortcutText.h"

#include <algorithm>

namespace mstmenu {

MenuItemGeometry LayOutMenuItem(int style, const QRect& item, int shortcutColumnWidth)
{
    const MenuMetrics& m = kMenuMetrics;
    MenuItemGeometry g;
    const int top = item.top();
    const int h = item.height();
    g.highlight = item.adjusted(m.highlightInset, 1, -m.highlightInset, -1);
    if (style == kMenuStyleIconColumn)
        g.iconColumn = QRect(item.left(), top, m.iconColumn, h);
    g.iconFrame = QRect(item.left() + (m.iconColumn - m.iconFrame) / 2, top + (h - m.iconFrame) / 2, m.iconFrame,
                        m.iconFrame);
    const int iconInset = (m.iconFrame - m.iconSize) / 2;
    g.icon = QRect(g.iconFrame.left() + iconInset, g.iconFrame.top() + iconInset, m.iconSize, m.iconSize);
    g.arrow = QRect(item.right() + 1 - m.arrowWidth, top, m.arrowWidth, h);
    const int shortcutWidth = std::max(0, shortcutColumnWidth);
    g.shortcut = QRect(g.arrow.left() - shortcutWidth, top, shortcutWidth, h);
    const int textLeft = item.left() + m.iconColumn + m.textGap;
    const int textEnd = shortcutWidth > 0 ? g.shortcut.left() - m.shortcutGap : g.arrow.left();
    g.text = QRect(textLeft, top, std::max(0, textEnd - textLeft), h);
    return g;
}

int MenuItemWidth(int /*style*/, int textWidth, int shortcutColumnWidth)
{
    const MenuMetrics& m = kMenuMetrics;
    // Both styles keep the icon margin, so that icons and check marks line up in either.
    return m.iconColumn + m.textGap + std::max(0, textWidth) + (shortcutColumnWidth > 0 ? m.shortcutGap : 0) +
           m.arrowWidth;
}

int MenuItemHeight(int fontHeight)
{
    return std::max(kMenuMetrics.itemMinHeight, fontHeight + 2 * kMenuMetrics.itemPadding);
}

QRect SideBarBand(const QRect& bar, int step)
{
    step = std::clamp(step, 0, kSideBarSteps - 1);
    const qint64 h = bar.height();
    const int bottom = bar.bottom() + 1; // first row below the bar
    const int lower = bottom - int(h * step / kSideBarSteps);
    const int upper = bottom - int(h * (step + 1) / kSideBarSteps);
    return QRect(bar.left(), upper, bar.width(), lower - upper);
}

QColor SideBarColour(int step)
{
    step = std::clamp(step, 0, kSideBarSteps - 1);
    const auto mix = [step](int from, int to) { return from + (to - from) * step / (kSideBarSteps - 1); };
    return QColor(mix(kSideBarFrom.red(), kSideBarTo.red()), mix(kSideBarFrom.green(), kSideBarTo.green()),
                  mix(kSideBarFrom.blue(), kSideBarTo.blue()));
}

QString ShortcutText(Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    return ::ShortcutText(QKeyCombination(modifiers, key));
}

MenuTextParts SplitMenuText(const QString& itemText)
{
    const qsizetype tab = itemText.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return {itemText, {}};
    return {itemText.left(tab), itemText.mid(tab + 1)};
}

} // namespace mstmenu
