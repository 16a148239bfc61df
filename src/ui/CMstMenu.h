#pragma once

// CMstMenu: the program's owner-drawn menu, a QMenu whose items are painted by the menu
// itself (through a style it owns). Every item carries its command identifier, its text
// (with an optional shortcut text after a tab) and an optional icon; triggering an enabled
// item emits command(id) from its menu and from every menu above it, so the owner connects
// the top menu once and routes the number through its OnCommand. Disabled items emit
// nothing. Actions added through plain QMenu calls are foreign: they are drawn the same way
// but carry no identifier and emit no command.
//
// Two looks (MenuLayout.h): style 0, flat items with thin raised or sunken edges, and style 2,
// items with a separate icon column. Popup menus in style 2 carry a side bar on the left: a
// gradient from 0,0,192 to black and the bar's caption in white bold "Arial", 16 pixels,
// written upwards. Colours: background 234,235,237 and frame from Skin.h; highlight,
// highlight text, text and grey text from the application palette when the menu is created.
//
// The drawing operations are virtual so that a menu can replace any of them. Menus are easy to
// build from tables:
//
//     static const MenuEntry kFileMenu[] = {
//         {10851, "Open Project", "document-open", "Ctrl+O"},
//         {kMenuSeparator},
//         {10902, "Save Collage", "document-save-as"},
//     };
//     menu->AppendItems(kFileMenu);
//     connect(menu, &CMstMenu::command, this, &MainFrame::OnCommand);
//     menu->Track(button->mapToGlobal(QPoint(0, button->height())));
//
// Icons come from the desktop's freedesktop icon theme by their standard names (the program
// selects "breeze"); a name the theme lacks gets a plain drawn glyph, never an empty space.

#include "ui/MenuLayout.h"

#include <QMenu>
#include <QStyleOptionMenuItem>

#include <span>

class QPainter;

// One row of a menu table: id 0 (kMenuSeparator) is a separator; icon is a theme icon name;
// shortcut is the text shown right-aligned. Texts are UTF-8.
struct MenuEntry {
    int id = 0;
    const char* text = nullptr;
    const char* icon = nullptr;
    const char* shortcut = nullptr;
};
inline constexpr int kMenuSeparator = 0;

class CMstMenu : public QMenu {
    Q_OBJECT
public:
    explicit CMstMenu(QWidget* parent = nullptr, int style = mstmenu::kMenuStyleIconColumn);
    ~CMstMenu() override;

    int MenuStyle() const { return style_; }
    void SetMenuStyle(int style);

    // The side bar of a style 2 popup: shown by default on menus made with no parent menu,
    // not on submenus. The caption may be empty (the gradient alone).
    void SetSideBar(bool shown, const QString& caption = {});
    bool SideBarShown() const;      // shown and style 2
    QString SideBarCaption() const { return sideBarCaption_; }
    QRect SideBarRect() const;      // empty when not shown

    // Building. Each returns the new action (owned by the menu).
    QAction* AppendItem(int id, const QString& text, const QIcon& icon = {}, const QString& shortcut = {});
    QAction* AppendItem(int id, const QString& text, const QString& iconName, const QString& shortcut = {});
    QAction* AppendSeparator();
    QAction* AppendTitle(const QString& text);
    CMstMenu* AppendSubmenu(const QString& text, const QIcon& icon = {});
    void AppendItems(std::span<const MenuEntry> entries);

    // Items by identifier, searched in submenus too; null when there is none.
    QAction* Item(int id) const;
    void SetItemEnabled(int id, bool enabled);
    void SetItemChecked(int id, bool checked); // makes the item checkable
    static int ItemId(const QAction* action);   // 0 for separators and foreign actions
    static bool IsOwnItem(const QAction* action);

    // Shows the menu with its top-left corner at a screen point and returns at once; the
    // chosen item arrives as command(id).
    void Track(const QPoint& globalPos);
    // The same, modal: returns the chosen identifier, 0 when the menu was closed without one.
    int TrackModal(const QPoint& globalPos);

    // A theme icon by its standard name, or a plain drawn glyph when the theme lacks it.
    static QIcon ThemeIcon(const QString& name);

    // Colours read from the application palette when the menu was made.
    QColor HighlightColour() const { return highlight_; }
    QColor HighlightTextColour() const { return highlightText_; }
    QColor TextColour() const { return text_; }
    QColor GreyTextColour() const { return greyText_; }

signals:
    void command(int id);

protected:
    // One item, by parts. geometry comes from mstmenu::LayOutMenuItem.
    virtual void DrawItemBackground(QPainter& p, const QStyleOptionMenuItem& item,
                                    const mstmenu::MenuItemGeometry& geometry) const;
    virtual void DrawIconFrame(QPainter& p, const QStyleOptionMenuItem& item,
                               const mstmenu::MenuItemGeometry& geometry) const;
    virtual void DrawIcon(QPainter& p, const QStyleOptionMenuItem& item,
                          const mstmenu::MenuItemGeometry& geometry) const;
    virtual void DrawCheckMark(QPainter& p, const QStyleOptionMenuItem& item,
                               const mstmenu::MenuItemGeometry& geometry) const;
    virtual void DrawItemText(QPainter& p, const QStyleOptionMenuItem& item,
                              const mstmenu::MenuItemGeometry& geometry) const;
    virtual void DrawTitle(QPainter& p, const QStyleOptionMenuItem& item) const;
    virtual void DrawSeparator(QPainter& p, const QStyleOptionMenuItem& item,
                               const mstmenu::MenuItemGeometry& geometry) const;
    virtual void DrawSideBar(QPainter& p, const QRect& bar) const;
    // The background of the whole popup: fill, icon column and side bar.
    virtual void DrawPanel(QPainter& p, const QRect& rect) const;

private:
    friend class MstMenuStyle;

    void DrawItem(QPainter& p, const QStyleOptionMenuItem& item) const;
    QSize ItemSize(const QStyleOptionMenuItem& item, const QSize& contents) const;
    QColor ItemTextColour(const QStyleOptionMenuItem& item) const;
    void UpdateMargins();

    int style_ = mstmenu::kMenuStyleIconColumn;
    bool sideBarShown_ = false;
    QString sideBarCaption_;
    QColor highlight_;
    QColor highlightText_;
    QColor text_;
    QColor greyText_;
};
