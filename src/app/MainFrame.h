#pragma once

// The program's only top-level window: a frameless dialog that draws its own caption,
// menu bar, tool bar, library tabs and property bar, hosts the canvas, the photo library
// column and the library panels, and turns every command number into an operation.
//
// Commands: every number of CommandIds.h goes through OnCommand, one routing table that
// the area files fill (MainFrame_File/Edit/Library/Help.cpp); menus, buttons, keys and
// tests all enter there. UpdateCommandStates() is the one place that enables and greys
// commands; the canvas's history and item signals, menus about to open and every command
// call it.
//
// Panels: each place of the layout holds a PanelContainer; a panel built later goes into
// its container (PanelContainer::SetContent) and is connected in WirePanels(). The
// messages the panels send are the public slots below.
//
// Layout: the rectangles are those of MainFrameRules.h, applied on every resize; the
// caption band, the bar backgrounds and the labels are composed into the back buffer
// after each layout change and copied by paintEvent.
//
// Preview: EnterPreview puts the canvas over the whole client area and hides every other
// control; the collage is zoomed to fit (frame::PreviewZoom), shows no handles and ignores
// mouse moves. A left press on it or Escape leaves the preview (LeavePreview): the zoom
// comes back from the zoom box and the controls and the layout are restored.

#include "app/MainFrameRules.h"
#include "canvas/ItemRecords.h"
#include "ui/CMstMenu.h"

#include <QDialog>
#include <QPixmap>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace library {
class PhotoLibraryPanel;
}

class CanvasWnd;
class EffectRunner;
class CVelColourPicker;
class CVelComboBox;
class PanelContainer;
class PanelSlider;
class QAbstractButton;
class QAction;
class SkinButton;
namespace library {
class LibraryPanel;
}

class MainFrame : public QDialog {
    Q_OBJECT
public:
    // The drop-down menus of the menu bar, the two context menus and the window menu.
    enum class MenuId : int { File, Edit, Library, Help, CanvasContext, PhotoContext, Window };
    // The panels of the library strip, in the order of their tab buttons.
    enum class Tab : int { Frame, Shape, Mask, ClipArt, Tuning, Text };

    explicit MainFrame(QWidget* parent = nullptr);
    ~MainFrame() override;

    // The one routing table for every command number. False when the number has no
    // handler (nothing happens).
    bool OnCommand(int id);
    bool HasCommand(int id) const { return commands.contains(id); }

    // The enable rules: whether the command's buttons and menu entries are enabled now.
    bool IsCommandEnabled(int id) const;
    // Applies the rules to every tool-bar button and menu entry.
    void UpdateCommandStates();

    // ---- parts, for panels of later work and for tests ----
    CanvasWnd& Canvas() { return *canvas; }
    // The button with this command number (caption, menu bar, tool bar, tabs, photo
    // library, brush switch), or null.
    QAbstractButton* CommandButton(int id) const;
    CMstMenu* Menu(MenuId menu) const;
    // The entry with this command number in a menu or one of its submenus, or null.
    QAction* MenuAction(MenuId menu, int id) const;
    // The menu shown last (a drop-down or context menu), or null.
    CMstMenu* OpenMenu() const { return openMenu; }
    CVelComboBox& ZoomBox() { return *zoomBox; }
    // The property bar's sliders: 0 Size, 1 Opacity, 2 Angle.
    PanelSlider& Slider(int row) { return *sliders.at(static_cast<std::size_t>(row)); }
    CVelColourPicker& ColourPicker() { return *colourPicker; }
    PanelContainer& LibraryPanelPlace(Tab tab) { return *libraryPanels.at(static_cast<std::size_t>(tab)); }
    PanelContainer& PhotoLibraryPlace() { return *photoLibrary; }
    // The photo library column's panel (made in WirePanels, with the canvas).
    library::PhotoLibraryPanel* PhotoPanel() const { return photoPanel; }
    PanelContainer& BrushPanelPlace() { return *brushPanel; }
    Tab CurrentTab() const { return currentTab; }
    bool ToolActive() const { return toolActive != 0; }
    const Text& TextSettings() const { return textSettings; }
    // The text panel's text box: Return reaches it, and the canvas writes into it.
    void SetTextEditBox(QWidget* box);
    QWidget* TextEditBox() const { return textEditBox; }

    // The full-window preview of the collage.
    void EnterPreview();
    void LeavePreview();
    bool InPreview() const { return inPreview; }

    // The text drawn in the caption band: language text 23, empty without a table.
    QString CaptionText() const { return captionText; }
    // The window's background as composed last (caption, bars, labels).
    const QPixmap& BackBuffer() const { return backBuffer; }

    // Where the program's user guide is, or an empty string when it is not installed.
    static QString HelpPagePath();

    // The library panel with a window identifier (0 clip-art, 1 masks, 2 shapes, 3 frames,
    // 5 brushes); nullptr for any other.
    library::LibraryPanel* LibraryPanelOf(int identifier) const;
    static constexpr int kBrushPanelIdentifier = 5;
    // The folder of the library files (ending in "/"): the starter packs are installed into
    // it when its library files are missing, the panels load from it and the canvas reads
    // its decorations from it. Start-up uses DataFolder().
    void UseLibraryFolder(const QString& folder);
    QString LibraryFolder() const { return libraryFolder; }

public slots:
    // Text panel: apply its 1140-byte settings record to the canvas.
    void OnTextPanelSettings(const Text& settings);
    // Text box: its text changed.
    void OnTextBoxChanged(const QString& text);
    // Text panel's Add button: a text item of the chosen style preset.
    void OnAddText(int stylePreset);
    // A library panel was pressed: its category and selected entries (entry numbers of
    // their own category; the drop adds the shape base) are what an entry released over
    // the canvas drops.
    void OnLibrarySelection(std::int32_t category, const std::vector<std::int32_t>& entries);
    // Property bar: any slider or the colour moved.
    void OnPropertyBarChanged();
    // The brush panel's selected entry changed (-1 = none): the Angle slider shows that
    // brush's angle (0 until one is chosen for it).
    void OnBrushEntryChanged(std::int32_t entry);
    // Canvas: the brush tool was switched off by an added item or decoration.
    void OnBrushToolOff();
    // Canvas: history or selection changed.
    void OnRefresh();
    // Canvas or photo library: the context menu at a screen position.
    void OnContextMenu(const QPoint& globalPos, bool photoLibrary);
    // Canvas: the preview ends (a press or Escape in it).
    void OnLeavePreview();

signals:
    // Every command that reaches OnCommand, before it is handled.
    void commandReceived(int id);
    void windowShown();
    // The window is closing (after the question about unsaved work): the photo library
    // saves its list.
    void aboutToClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    using Handler = std::function<void()>;
    void Register(std::initializer_list<int> ids, Handler handler);
    // Commands of areas whose operations come with later work: registered, doing nothing.
    void RegisterPending(std::initializer_list<int> ids);

    // Construction, in the order of the start-up.
    void CreateCaptionButtons();
    void PlaceOnScreen();
    void CreatePanels();
    void CreateCanvas();
    void CreatePropertyBar();    // PropertyBar.cpp
    void CreateToolBar();        // ToolBar.cpp
    void CreateMenuBar();        // MainMenus.cpp
    void CreateMenus();          // MainMenus.cpp
    void WirePanels();
    void CreatePhotoLibraryPanel(); // MainFrame_Library.cpp

    // Routing per area.
    void RegisterWindowCommands();
    void RegisterFileCommands();    // MainFrame_File.cpp
    void RegisterEditCommands();    // MainFrame_Edit.cpp
    void RegisterLibraryCommands(); // MainFrame_Library.cpp
    void RegisterHelpCommands();    // MainFrame_Help.cpp

    // Window.
    void LayOut();
    void LayOutPropertyBar(int w, int h); // PropertyBar.cpp
    void LayOutToolBar(int w, int h);     // ToolBar.cpp
    void LayOutMenuBar();                 // MainMenus.cpp
    void LayOutLibrary(int w, int h);     // MainFrame_Library.cpp
    void ComposeBackBuffer();
    void PaintPropertyBarLabels(class QPainter& painter) const; // PropertyBar.cpp
    void PaintPropertyBarValues(class QPainter& painter) const; // PropertyBar.cpp
    void ToggleMaximize();
    void ShowMinimizedFromCaption();
    void SetCaptionButtonLooks();
    // Keys and presses while the preview is shown; true when the event is used up.
    bool FilterPreviewEvent(QObject* watched, QEvent* event);

    // File.
    bool ConfirmClose();
    bool SaveProjectAs();

    // Edit.
    void AutoLayout(); // MainFrame_Layout.cpp
    bool LayoutFromLibrary() const;
    void Undo();
    void Redo();
    void ZoomIn();
    void ZoomOut();
    void ZoomBoxChosen();

    // Library.
    void SwitchTab(Tab tab);
    void SwitchBrushTool();
    void SetBrushSwitchLook();
    void CreateLibraryPanels();
    // A panel's Apply (its code and entry), a drag released at a screen point, command 10904.
    void OnLibraryApply(int code, std::int32_t entry);
    void OnLibraryReleased(const QPoint& globalPos);
    void InstallPack();
    void ReloadLibraryPanel(const QString& fileName);
    // The brush panel draws every brush at its angle in brushAngles.
    void ShowBrushAngles();

    // Help.
    void OpenHelpPage();
    void ShowAbout();

    // Menus.
    void ShowMenu(MenuId menu, const QPoint& globalPos);
    void OpenMenuUnderButton(MenuId menu, int buttonId);

    std::unordered_map<int, Handler> commands;
    std::unordered_map<int, QAbstractButton*> buttons; // children of this window
    std::unordered_map<int, CMstMenu*> menus;           // children of this window, by MenuId
    QPointer<CMstMenu> openMenu;
    std::optional<MenuId> commandMenu; // the menu whose entry sent the command being run

    CanvasWnd* canvas = nullptr; // child, created at start-up
    std::int32_t maximized = 0;
    std::int32_t toolActive = 0;
    QString libraryFilePath;
    QPixmap backBuffer;
    CVelComboBox* zoomBox = nullptr;
    std::array<PanelSlider*, 3> sliders{}; // Size, Opacity, Angle
    CVelColourPicker* colourPicker = nullptr;
    SkinButton* brushSwitch = nullptr;
    std::unordered_map<std::int32_t, std::int32_t> brushAngles; // per brush entry
    std::int32_t brushEntry = -1;

    PanelContainer* photoLibrary = nullptr;
    library::PhotoLibraryPanel* photoPanel = nullptr; // inside photoLibrary
    std::array<PanelContainer*, frame::kTabCount> libraryPanels{};
    PanelContainer* brushPanel = nullptr;
    std::vector<QPointer<library::LibraryPanel>> libraryPanelWidgets; // children of the containers
    QString libraryFolder;
    Tab currentTab = Tab::Frame;

    Text textSettings;
    QPointer<QWidget> textEditBox;
    std::unique_ptr<EffectRunner> effectRunner; // the effects 11980 - 11994, with their progress
    std::int32_t libraryCategory = 0;
    std::vector<std::int32_t> librarySelection;

    bool inPreview = false;
    std::vector<QPointer<QWidget>> hiddenForPreview; // shown again when the preview ends

    bool shownOnce = false;
    bool closing = false;
    QString captionText;
};
