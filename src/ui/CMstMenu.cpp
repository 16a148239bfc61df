#include "ui/CMstMenu.h"

#include "ui/skin/ThemeIcon.h"

#include "ui/skin/Skin.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleOption>

using namespace mstmenu;

namespace {

// The marker that tells the menu's own items from foreign actions: the command identifier
// stored under this property name.
constexpr const char* kItemIdProperty = "mstMenuItemId";

QColor Mix(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

} // namespace

// The style every CMstMenu owns: forwards the painting and measuring of menu items to the
// menu, so that the menu's virtual drawing operations decide the look.
class MstMenuStyle : public QProxyStyle {
public:
    explicit MstMenuStyle(CMstMenu* menu) : menu_(menu) { setParent(menu); }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (element == CE_MenuItem) {
            if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
                menu_->DrawItem(*painter, *item);
                return;
            }
        }
        if (element == CE_MenuEmptyArea) {
            menu_->DrawPanel(*painter, option->rect);
            return;
        }
        if (element == CE_MenuTearoff || element == CE_MenuScroller) {
            painter->fillRect(option->rect, skin::kMenuBackground);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_PanelMenu) {
            menu_->DrawPanel(*painter, option->rect);
            return;
        }
        if (element == PE_FrameMenu) {
            painter->save();
            painter->setPen(skin::kFrameColour.darker(115));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override
    {
        if (type == CT_MenuItem) {
            if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option))
                return menu_->ItemSize(*item, contents);
        }
        return QProxyStyle::sizeFromContents(type, option, contents, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuPanelWidth:
            return kMenuMetrics.panelFrame;
        case PM_MenuHMargin:
            return 0;
        case PM_MenuVMargin:
            return kMenuMetrics.panelPadding;
        case PM_SmallIconSize:
            return kMenuMetrics.iconSize;
        case PM_MenuDesktopFrameWidth:
            return 0;
        case PM_SubMenuOverlap:
            return 2;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

private:
    CMstMenu* menu_;
};

CMstMenu::CMstMenu(QWidget* parent, int style)
    : QMenu(parent)
    , style_(style)
    , sideBarShown_(qobject_cast<QMenu*>(parent) == nullptr)
{
    setStyle(new MstMenuStyle(this));
    const QPalette palette = QApplication::palette();
    highlight_ = palette.color(QPalette::Active, QPalette::Highlight);
    highlightText_ = palette.color(QPalette::Active, QPalette::HighlightedText);
    text_ = palette.color(QPalette::Active, QPalette::WindowText);
    greyText_ = palette.color(QPalette::Disabled, QPalette::WindowText);
    // A grey text that vanishes on the menu background is no use: keep it readable.
    if (qAbs(greyText_.lightness() - skin::kMenuBackground.lightness()) < 80)
        greyText_ = skin::kDisabledText;
    setFont(QApplication::font("QMenu"));
    connect(this, &QMenu::triggered, this, [this](QAction* action) {
        if (IsOwnItem(action) && action->isEnabled())
            emit command(ItemId(action));
    });
    UpdateMargins();
}

CMstMenu::~CMstMenu() = default;

void CMstMenu::SetMenuStyle(int style)
{
    style_ = style;
    UpdateMargins();
    update();
}

void CMstMenu::SetSideBar(bool shown, const QString& caption)
{
    sideBarShown_ = shown;
    sideBarCaption_ = caption;
    UpdateMargins();
    update();
}

bool CMstMenu::SideBarShown() const
{
    return sideBarShown_ && style_ == kMenuStyleIconColumn;
}

QRect CMstMenu::SideBarRect() const
{
    if (!SideBarShown())
        return {};
    const int f = kMenuMetrics.panelFrame;
    return QRect(f, f, kMenuMetrics.sideBarWidth, height() - 2 * f);
}

void CMstMenu::UpdateMargins()
{
    setContentsMargins(SideBarShown() ? kMenuMetrics.sideBarWidth : 0, 0, 0, 0);
}

QAction* CMstMenu::AppendItem(int id, const QString& text, const QIcon& icon, const QString& shortcut)
{
    QAction* action = addAction(icon, shortcut.isEmpty() ? text : text + QLatin1Char('\t') + shortcut);
    action->setProperty(kItemIdProperty, id);
    return action;
}

QAction* CMstMenu::AppendItem(int id, const QString& text, const QString& iconName, const QString& shortcut)
{
    return AppendItem(id, text, iconName.isEmpty() ? QIcon() : ThemeIcon(iconName), shortcut);
}

QAction* CMstMenu::AppendSeparator()
{
    return addSeparator();
}

QAction* CMstMenu::AppendTitle(const QString& text)
{
    return addSection(text);
}

CMstMenu* CMstMenu::AppendSubmenu(const QString& text, const QIcon& icon)
{
    auto* submenu = new CMstMenu(this, style_); // owned by this menu
    submenu->setTitle(text);
    submenu->setIcon(icon);
    addMenu(submenu);
    return submenu;
}

void CMstMenu::AppendItems(std::span<const MenuEntry> entries)
{
    for (const MenuEntry& entry : entries) {
        if (entry.id == kMenuSeparator) {
            AppendSeparator();
            continue;
        }
        AppendItem(entry.id, QString::fromUtf8(entry.text ? entry.text : ""),
                   QString::fromUtf8(entry.icon ? entry.icon : ""),
                   QString::fromUtf8(entry.shortcut ? entry.shortcut : ""));
    }
}

QAction* CMstMenu::Item(int id) const
{
    for (QAction* action : actions()) {
        if (IsOwnItem(action) && ItemId(action) == id)
            return action;
        if (const auto* submenu = qobject_cast<const CMstMenu*>(action->menu())) {
            if (QAction* found = submenu->Item(id))
                return found;
        }
    }
    return nullptr;
}

void CMstMenu::SetItemEnabled(int id, bool enabled)
{
    if (QAction* action = Item(id))
        action->setEnabled(enabled);
}

void CMstMenu::SetItemChecked(int id, bool checked)
{
    if (QAction* action = Item(id)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

int CMstMenu::ItemId(const QAction* action)
{
    return action ? action->property(kItemIdProperty).toInt() : 0;
}

bool CMstMenu::IsOwnItem(const QAction* action)
{
    return action && action->property(kItemIdProperty).isValid();
}

void CMstMenu::Track(const QPoint& globalPos)
{
    popup(globalPos);
}

int CMstMenu::TrackModal(const QPoint& globalPos)
{
    QAction* chosen = exec(globalPos);
    return IsOwnItem(chosen) ? ItemId(chosen) : 0;
}

QIcon CMstMenu::ThemeIcon(const QString& name)
{
    return skin::ThemeIcon(name);
}

// ---- measuring and drawing ----

QSize CMstMenu::ItemSize(const QStyleOptionMenuItem& item, const QSize& contents) const
{
    const QFontMetrics metrics(item.font);
    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        if (item.text.isEmpty())
            return QSize(contents.width(), kMenuMetrics.separatorHeight);
        QFont bold = item.font;
        bold.setBold(true);
        const int width = QFontMetrics(bold).horizontalAdvance(item.text);
        return QSize(MenuItemWidth(style_, width, 0), MenuItemHeight(metrics.height()));
    }
    return QSize(MenuItemWidth(style_, contents.width(), item.reservedShortcutWidth),
                 MenuItemHeight(metrics.height()));
}

QColor CMstMenu::ItemTextColour(const QStyleOptionMenuItem& item) const
{
    if (!(item.state & QStyle::State_Enabled))
        return greyText_;
    if (item.state & QStyle::State_Selected)
        return highlightText_;
    return text_;
}

void CMstMenu::DrawItem(QPainter& p, const QStyleOptionMenuItem& item) const
{
    p.save();
    const MenuItemGeometry geometry = LayOutMenuItem(style_, item.rect, item.reservedShortcutWidth);
    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        QStyleOptionMenuItem plain = item;
        plain.state &= ~QStyle::State_Selected;
        DrawItemBackground(p, plain, geometry);
        if (item.text.isEmpty())
            DrawSeparator(p, item, geometry);
        else
            DrawTitle(p, item);
        p.restore();
        return;
    }
    DrawItemBackground(p, item, geometry);
    const bool checked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
    const bool hasIcon = !item.icon.isNull();
    if (hasIcon || checked)
        DrawIconFrame(p, item, geometry);
    if (hasIcon)
        DrawIcon(p, item, geometry);
    else if (checked)
        DrawCheckMark(p, item, geometry);
    DrawItemText(p, item, geometry);
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
        // A chevron in the arrow area.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(ItemTextColour(item), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF c = QRectF(geometry.arrow).center();
        const QPointF points[] = {c + QPointF(-2, -4), c + QPointF(2, 0), c + QPointF(-2, 4)};
        p.drawPolyline(points, 3);
    }
    p.restore();
}

void CMstMenu::DrawItemBackground(QPainter& p, const QStyleOptionMenuItem& item,
                                  const MenuItemGeometry& geometry) const
{
    p.fillRect(item.rect, skin::kMenuBackground);
    if (!geometry.iconColumn.isEmpty())
        p.fillRect(geometry.iconColumn, skin::kMenuIconColumn);
    const bool selected = (item.state & QStyle::State_Selected) && (item.state & QStyle::State_Enabled);
    if (!selected)
        return;
    if (style_ == kMenuStyleIconColumn) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(highlight_);
        p.drawRoundedRect(QRectF(geometry.highlight), 3, 3);
        p.setRenderHint(QPainter::Antialiasing, false);
        return;
    }
    // Style 0: the highlight with a thin raised edge.
    const QRect r = geometry.highlight;
    p.fillRect(r, highlight_);
    p.setPen(highlight_.lighter(135));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(highlight_.darker(135));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void CMstMenu::DrawIconFrame(QPainter& p, const QStyleOptionMenuItem& item, const MenuItemGeometry& geometry) const
{
    const bool checked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
    const bool selected = (item.state & QStyle::State_Selected) && (item.state & QStyle::State_Enabled);
    const QRect frame = geometry.iconFrame;
    if (style_ == kMenuStyleFlat) {
        if (!checked)
            return;
        // A thin sunken edge around the mark.
        p.setPen(QColor(150, 150, 150));
        p.drawLine(frame.topLeft(), frame.topRight());
        p.drawLine(frame.topLeft(), frame.bottomLeft());
        p.setPen(Qt::white);
        p.drawLine(frame.bottomLeft(), frame.bottomRight());
        p.drawLine(frame.topRight(), frame.bottomRight());
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5);
    if (checked) {
        p.setPen(QPen(selected ? highlightText_ : highlight_, 1));
        p.setBrush(selected ? highlight_.lighter(120) : Mix(highlight_, Qt::white, 0.8));
        p.drawRoundedRect(box, 3, 3);
    } else if (selected) {
        // An icon of the selected item sits on a light tile, raised from the highlight.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawRoundedRect(box, 3, 3);
    }
    p.restore();
}

void CMstMenu::DrawIcon(QPainter& p, const QStyleOptionMenuItem& item, const MenuItemGeometry& geometry) const
{
    const bool enabled = item.state & QStyle::State_Enabled;
    item.icon.paint(&p, geometry.icon, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
}

void CMstMenu::DrawCheckMark(QPainter& p, const QStyleOptionMenuItem& item, const MenuItemGeometry& geometry) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const bool selected = (item.state & QStyle::State_Selected) && (item.state & QStyle::State_Enabled);
    QColor colour = ItemTextColour(item);
    if (style_ == kMenuStyleIconColumn && !selected && (item.state & QStyle::State_Enabled))
        colour = highlight_.darker(140);
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QRectF r = QRectF(geometry.icon).adjusted(2, 3, -2, -3);
    if (item.checkType == QStyleOptionMenuItem::Exclusive) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QRectF(geometry.icon).center(), 3.5, 3.5);
    } else {
        const QPointF points[] = {QPointF(r.left(), r.center().y()), QPointF(r.left() + r.width() * 0.38, r.bottom()),
                                  QPointF(r.right(), r.top())};
        p.drawPolyline(points, 3);
    }
    p.restore();
}

void CMstMenu::DrawItemText(QPainter& p, const QStyleOptionMenuItem& item, const MenuItemGeometry& geometry) const
{
    const MenuTextParts parts = SplitMenuText(item.text);
    const QColor colour = ItemTextColour(item);
    p.setFont(item.font);
    p.setPen(colour);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    p.drawText(geometry.text, flags | Qt::AlignLeft, parts.text);
    if (!parts.shortcut.isEmpty()) {
        // Shortcuts are quieter than the item text unless the item is selected or disabled.
        const bool plain = (item.state & QStyle::State_Enabled) && !(item.state & QStyle::State_Selected);
        p.setPen(plain ? Mix(colour, skin::kMenuBackground, 0.35) : colour);
        p.drawText(geometry.shortcut, Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, parts.shortcut);
    }
}

void CMstMenu::DrawTitle(QPainter& p, const QStyleOptionMenuItem& item) const
{
    QFont bold = item.font;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(text_);
    const QRect r = item.rect.adjusted(kMenuMetrics.textGap, 0, -kMenuMetrics.textGap, 0);
    p.drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, item.text);
    // A line under the title, from the end of the text to the item's right end.
    const int textEnd = r.left() + QFontMetrics(bold).horizontalAdvance(item.text) + kMenuMetrics.textGap;
    const int y = item.rect.center().y();
    if (textEnd < r.right()) {
        p.setPen(skin::kFrameColour);
        p.drawLine(textEnd, y, r.right(), y);
        p.setPen(skin::kEtchLight);
        p.drawLine(textEnd, y + 1, r.right(), y + 1);
    }
}

void CMstMenu::DrawSeparator(QPainter& p, const QStyleOptionMenuItem& item, const MenuItemGeometry& geometry) const
{
    const int left = (geometry.iconColumn.isEmpty() ? item.rect.left() : geometry.iconColumn.right() + 1) +
                     kMenuMetrics.separatorInset;
    const int right = item.rect.right() - kMenuMetrics.separatorInset;
    const int y = item.rect.top() + item.rect.height() / 2 - 1;
    p.setPen(skin::kFrameColour);
    p.drawLine(left, y, right, y);
    p.setPen(skin::kEtchLight);
    p.drawLine(left, y + 1, right, y + 1);
}

void CMstMenu::DrawSideBar(QPainter& p, const QRect& bar) const
{
    for (int step = 0; step < kSideBarSteps; ++step) {
        const QRect band = SideBarBand(bar, step);
        if (!band.isEmpty())
            p.fillRect(band, SideBarColour(step));
    }
    if (sideBarCaption_.isEmpty())
        return;
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(kSideBarFontPixels);
    const QFontMetrics metrics(font);
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setClipRect(bar);
    p.setFont(font);
    p.setPen(Qt::white);
    // Written upwards: the baseline runs from the bottom of the bar to its top, centred across.
    p.translate(bar.left() + (bar.width() + metrics.ascent() - metrics.descent()) / 2,
                bar.bottom() + 1 - kMenuMetrics.sideBarTextInset);
    p.rotate(-90);
    p.drawText(0, 0, sideBarCaption_);
    p.restore();
}

void CMstMenu::DrawPanel(QPainter& p, const QRect& rect) const
{
    p.fillRect(rect, skin::kMenuBackground);
    const int f = kMenuMetrics.panelFrame;
    const QRect bar = SideBarRect();
    if (style_ == kMenuStyleIconColumn) {
        const int left = f + (bar.isEmpty() ? 0 : bar.width());
        p.fillRect(QRect(left, f, kMenuMetrics.iconColumn, height() - 2 * f), skin::kMenuIconColumn);
    }
    if (!bar.isEmpty())
        DrawSideBar(p, bar);
}
