// The main window's menus: the menu-bar buttons, the four drop-down menus, the two
// context menus and the window menu, built from {id, text, icon} tables. An entry that
// has a tool-bar twin takes its enabling from the same rule (UpdateCommandStates).

#include "app/CommandIds.h"
#include "app/LanguageTable.h"
#include "app/MainFrame.h"
#include "ui/CMstMenu.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QAbstractButton>
#include <QAction>

#include <span>

namespace {

// Entries that open a submenu: the submenu's table is found by the entry's number
// (SubmenuEntries); these numbers are never commands.
constexpr int kWallpaperSubmenu = -1;
constexpr int kEffectsSubmenu = -2;

constexpr MenuEntry kSeparator{kMenuSeparator};

constexpr MenuEntry kWallpaperMenu[] = {
    {cmd::kWallpaperCentered, "Centered", "format-justify-center"},
    {cmd::kWallpaperTiled, "Tiled", "view-list-icons"},
    {cmd::kWallpaperStretched, "Stretched", "transform-scale"},
    kSeparator,
    {cmd::kRemoveWallpaper, "Remove Wallpaper", "edit-delete"},
};

constexpr MenuEntry kFileMenu[] = {
    {cmd::kNewProjectMenu, "New Project", "document-new"},
    {cmd::kOpenProjectMenu, "Open Project", "document-open"},
    {cmd::kSaveProjectAsMenu, "Save Project As...", "document-save-as"},
    kSeparator,
    {cmd::kImportPhotos, "Import Photo to Library", "document-import"},
    {cmd::kInstallPack, "Install Resource Pack...", "archive-insert"},
    {cmd::kBatchConvert, "Batch Convert...", "document-replace"},
    kSeparator,
    {cmd::kPreviewMenu, "Preview", "document-preview"},
    kSeparator,
    {cmd::kSaveCollageMenu, "Save Collage", "document-export"},
    {kWallpaperSubmenu, "Set as Wallpaper", "games-config-background"},
    kSeparator,
    {cmd::kExit, "Exit", "application-exit"},
};

constexpr MenuEntry kEffectsMenu[] = {
    {kEffectErode, "Erode", "view-filter"},     {kEffectDilate, "Dilate", "view-filter"},
    {kEffectNoise, "Noise", "view-filter"},     {kEffectJitter, "Jitter", "view-filter"},
    {kEffectMedian, "Median", "view-filter"},   {kEffectContour, "Contour", "view-filter"},
    {kEffectEmboss, "Emboss", "view-filter"},   {kEffectEdge, "Edge", "view-filter"},
    {kEffectSharpen, "Sharpen", "view-filter"}, {kEffectGaussian5, "Soft Blur", "view-filter"},
    {kEffectGaussian3, "Smooth", "view-filter"}, {kEffectBlur, "Blur", "view-filter"},
    {kEffectSoften, "Soften", "view-filter"},
};

constexpr MenuEntry kEditMenu[] = {
    kSeparator,
    {cmd::kUndoMenu, "Undo (Ctrl+Z)", "edit-undo"},
    {cmd::kRedoMenu, "Redo (Ctrl+Y)", "edit-redo"},
    kSeparator,
    {cmd::kSettingMenu, "Setting", "configure"},
    kSeparator,
    {cmd::kDeleteMenu, "Delete", "edit-delete"},
    {cmd::kCropMenu, "Crop Photo", "transform-crop"},
    kSeparator,
    {cmd::kBringForwardMenu, "Move to Front", "object-order-raise"},
    {cmd::kSendBackwardMenu, "Move to Back", "object-order-lower"},
    {cmd::kBringToFrontMenu, "Move to Front of all Layers", "object-order-front"},
    {cmd::kSendToBackMenu, "Move to Back of all Layers", "object-order-back"},
    kSeparator,
    {cmd::kCalendar, "Add Calendar...", "view-calendar"},
    {cmd::kAutoLayout, "Auto Layout...", "view-grid"},
    {kEffectsSubmenu, "Effects", "color-management"},
};

constexpr MenuEntry kLibraryMenu[] = {
    {cmd::kFrameTabMenu, "Frame", "draw-rectangle"},
    {cmd::kShapeTabMenu, "Shape", "draw-polygon-star"},
    {cmd::kMaskTabMenu, "Mask", "draw-ellipse"},
    {cmd::kClipArtTabMenu, "Clipart", "insert-image"},
    {cmd::kTuningTabMenu, "Tuning", "color-management"},
    {cmd::kTextTabMenu, "Text", "draw-text"},
};

constexpr MenuEntry kHelpMenu[] = {
    {cmd::kHelpContent, "Online Help Content", "help-contents"},
    {cmd::kAbout, "About", "help-about"},
};

constexpr MenuEntry kCanvasContextMenu[] = {
    {cmd::kNewProjectMenu, "New Project", "document-new"},
    {cmd::kOpenProjectMenu, "Open Project", "document-open"},
    {cmd::kSaveProjectAsMenu, "Save Project As...", "document-save-as"},
    kSeparator,
    {cmd::kSettingMenu, "Setting", "configure"},
    {cmd::kAutoLayout, "Auto Layout...", "view-grid"},
    kSeparator,
    {cmd::kPreviewMenu, "Preview", "document-preview"},
    kSeparator,
    {cmd::kSaveCollageMenu, "Save Collage", "document-export"},
    kSeparator,
    {cmd::kUndoMenu, "Undo (Ctrl+Z)", "edit-undo"},
    {cmd::kRedoMenu, "Redo (Ctrl+Y)", "edit-redo"},
    kSeparator,
    {cmd::kDeleteMenu, "Delete", "edit-delete"},
    {cmd::kCropMenu, "Crop Photo", "transform-crop"},
    kSeparator,
    {cmd::kBringForwardMenu, "Move to Front", "object-order-raise"},
    {cmd::kSendBackwardMenu, "Move to Back", "object-order-lower"},
    {cmd::kBringToFrontMenu, "Move to Front of all Layers", "object-order-front"},
    {cmd::kSendToBackMenu, "Move to Back of all Layers", "object-order-back"},
};

constexpr MenuEntry kPhotoContextMenu[] = {
    {cmd::kAddToCanvas, "Add to Canvas", "list-add"},
    {cmd::kAutoLayout, "Auto Layout...", "view-grid"},
    {cmd::kImportPhotosContext, "Import Photo to Library", "document-import"},
    {cmd::kRemovePhotosContext, "Remove", "list-remove"},
};

constexpr MenuEntry kWindowMenu[] = {
    {cmd::kMaximize, "Maximize / Restore", "window-maximize"},
    {cmd::kMinimize, "Minimize", "window-minimize"},
    kSeparator,
    {cmd::kSystemAbout, "About", "help-about"},
    kSeparator,
    {cmd::kClose, "Close", "window-close"},
};

struct MenuTable {
    MainFrame::MenuId menu;
    std::span<const MenuEntry> entries;
};

constexpr MenuTable kMenus[] = {
    {MainFrame::MenuId::File, kFileMenu},
    {MainFrame::MenuId::Edit, kEditMenu},
    {MainFrame::MenuId::Library, kLibraryMenu},
    {MainFrame::MenuId::Help, kHelpMenu},
    {MainFrame::MenuId::CanvasContext, kCanvasContextMenu},
    {MainFrame::MenuId::PhotoContext, kPhotoContextMenu},
    {MainFrame::MenuId::Window, kWindowMenu},
};

struct MenuBarButton {
    int command;  // the button
    int opener;   // the accelerator's command
    int langText; // title
    MainFrame::MenuId menu;
};

// Left to right.
constexpr MenuBarButton kMenuBar[] = {
    {cmd::kFileMenuButton, cmd::kOpenFileMenu, kLangFileMenu, MainFrame::MenuId::File},
    {cmd::kEditMenuButton, cmd::kOpenEditMenu, kLangEditMenu, MainFrame::MenuId::Edit},
    {cmd::kLibraryMenuButton, cmd::kOpenLibraryMenu, kLangLibraryMenu, MainFrame::MenuId::Library},
    {cmd::kHelpMenuButton, cmd::kOpenHelpMenu, kLangHelpMenu, MainFrame::MenuId::Help},
};

std::span<const MenuEntry> SubmenuEntries(int id)
{
    switch (id) {
    case kWallpaperSubmenu:
        return kWallpaperMenu;
    case kEffectsSubmenu:
        return kEffectsMenu;
    default:
        return {};
    }
}

void Fill(CMstMenu& menu, std::span<const MenuEntry> entries)
{
    for (const MenuEntry& entry : entries) {
        if (entry.id == kMenuSeparator) {
            menu.AppendSeparator();
        } else if (entry.id < 0) {
            CMstMenu* sub = menu.AppendSubmenu(QString::fromLatin1(entry.text),
                                               CMstMenu::ThemeIcon(QString::fromLatin1(entry.icon))); // owned by menu
            Fill(*sub, SubmenuEntries(entry.id));
        } else {
            menu.AppendItem(entry.id, QString::fromLatin1(entry.text), QString::fromLatin1(entry.icon));
        }
    }
}

} // namespace

void MainFrame::CreateMenuBar()
{
    for (const MenuBarButton& entry : kMenuBar) {
        auto* button = new SkinLabelButton(entry.command, this); // owned by this window
        button->SetCaption(QStringLiteral("&") + LangText(entry.langText));
        connect(button, &SkinAbstractButton::command, this, &MainFrame::OnCommand);
        buttons[entry.command] = button;
        const MenuId menu = entry.menu;
        const int command = entry.command;
        Register({entry.command, entry.opener}, [this, menu, command] { OpenMenuUnderButton(menu, command); });
    }
}

void MainFrame::LayOutMenuBar()
{
    int before = 0;
    for (int i = 0; i < static_cast<int>(std::size(kMenuBar)); ++i) {
        QAbstractButton* button = buttons[kMenuBar[i].command];
        const QRect place = frame::MenuButtonRect(i, before, button->sizeHint().width());
        button->setGeometry(place);
        before += place.width();
    }
}

void MainFrame::CreateMenus()
{
    for (const MenuTable& table : kMenus) {
        auto* menu = new CMstMenu(this); // owned by this window
        menu->setObjectName(QStringLiteral("menu%1").arg(static_cast<int>(table.menu)));
        menu->SetSideBar(true, QStringLiteral("Montara"));
        Fill(*menu, table.entries);
        // The menu a command came from decides what some commands work on (Auto Layout:
        // the library's selection from the photo library's menu).
        const MenuId id = table.menu;
        connect(menu, &CMstMenu::command, this, [this, id](int command) {
            commandMenu = id;
            OnCommand(command);
            commandMenu.reset();
        });
        connect(menu, &QMenu::aboutToShow, this, &MainFrame::UpdateCommandStates);
        menus[static_cast<int>(table.menu)] = menu;
    }
}

CMstMenu* MainFrame::Menu(MenuId menu) const
{
    const auto found = menus.find(static_cast<int>(menu));
    return found == menus.end() ? nullptr : found->second;
}

QAction* MainFrame::MenuAction(MenuId menu, int id) const
{
    const CMstMenu* m = Menu(menu);
    return m ? m->Item(id) : nullptr;
}

void MainFrame::ShowMenu(MenuId menu, const QPoint& globalPos)
{
    CMstMenu* m = Menu(menu);
    if (!m)
        return;
    if (openMenu && openMenu != m)
        openMenu->close();
    UpdateCommandStates();
    openMenu = m;
    m->Track(globalPos);
}

void MainFrame::OpenMenuUnderButton(MenuId menu, int buttonId)
{
    // Only while the button is visible (not in the preview, not minimised).
    const QAbstractButton* button = CommandButton(buttonId);
    if (!button || !button->isVisible())
        return;
    ShowMenu(menu, button->mapToGlobal(QPoint(0, button->height())));
}

void MainFrame::OnContextMenu(const QPoint& globalPos, bool photoLibrary)
{
    // Nothing is offered over the preview; a left press or Escape ends it first.
    if (inPreview)
        return;
    ShowMenu(photoLibrary ? MenuId::PhotoContext : MenuId::CanvasContext, globalPos);
}
