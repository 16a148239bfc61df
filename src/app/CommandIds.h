#pragma once

// Every command number of the main window in one place. The numbers are the ids of
// buttons, menu entries and shortcuts and are routed through MainFrame::OnCommand; they
// are an interface (tests and the window's tables use them), so none may change. Where
// a command has a tool-bar button and a menu entry, both numbers reach one operation.
// kAllCommands lists each number once; a test checks that every one is unique, has a
// handler and can be reached from a menu, a button or a key.

#include "editing/Effects.h"

#include <array>

namespace cmd {

// Caption buttons, right to left.
inline constexpr int kClose = 10010;
inline constexpr int kMinimize = 10011;
inline constexpr int kMaximize = 10012;
// The window menu's About entry (right button on the caption band).
inline constexpr int kSystemAbout = 16;

// Menu-bar buttons, and the accelerators that open the same menus.
inline constexpr int kFileMenuButton = 11000;
inline constexpr int kLibraryMenuButton = 11002;
inline constexpr int kEditMenuButton = 11003;
inline constexpr int kHelpMenuButton = 11005;
inline constexpr int kOpenFileMenu = 11007;    // Ctrl+F
inline constexpr int kOpenEditMenu = 11008;    // Ctrl+E
inline constexpr int kOpenLibraryMenu = 11009; // Ctrl+N
inline constexpr int kOpenHelpMenu = 11011;    // Ctrl+H

// Tool bar (first number) and menus (second number).
inline constexpr int kNewProject = 10551;
inline constexpr int kNewProjectMenu = 10850;
inline constexpr int kOpenProject = 10552;
inline constexpr int kOpenProjectMenu = 10851;
inline constexpr int kSaveProjectAs = 10553;
inline constexpr int kSaveProjectAsMenu = 10852;
inline constexpr int kSetting = 10558;
inline constexpr int kSettingMenu = 10853;
inline constexpr int kPreview = 10556;
inline constexpr int kPreviewMenu = 10901;
inline constexpr int kSaveCollage = 10557;
inline constexpr int kSaveCollageMenu = 10902;
inline constexpr int kUndo = 10554;
inline constexpr int kUndoMenu = 10934;
inline constexpr int kRedo = 10555;
inline constexpr int kRedoMenu = 10935;
inline constexpr int kDelete = 10494;
inline constexpr int kDeleteMenu = 10854;
inline constexpr int kCrop = 10495;
inline constexpr int kCropMenu = 10855;
inline constexpr int kBringForward = 10490;
inline constexpr int kBringForwardMenu = 10856;
inline constexpr int kSendBackward = 10491;
inline constexpr int kSendBackwardMenu = 10857;
inline constexpr int kBringToFront = 10492;
inline constexpr int kBringToFrontMenu = 10858;
inline constexpr int kSendToBack = 10493;
inline constexpr int kSendToBackMenu = 10859;
inline constexpr int kZoomIn = 10496;
inline constexpr int kZoomOut = 10497;
inline constexpr int kZoomBox = 10498;

inline constexpr int kExit = 10903;

// Photo library: File menu entry, context-menu entry, button.
inline constexpr int kImportPhotos = 10900;
inline constexpr int kImportPhotosContext = 10483;
inline constexpr int kImportButton = 10601;
inline constexpr int kRemovePhotosContext = 10482;
inline constexpr int kRemoveButton = 10602;
inline constexpr int kAddToCanvas = 10481;

inline constexpr int kInstallPack = 10904;
inline constexpr int kBatchConvert = 11996;
inline constexpr int kCalendar = 10998;
inline constexpr int kAutoLayout = 10960;
inline constexpr int kWallpaperCentered = 10950;
inline constexpr int kWallpaperTiled = 10951;
inline constexpr int kWallpaperStretched = 10952;
inline constexpr int kRemoveWallpaper = 10953;
inline constexpr int kBrushSwitch = 10015;

// Library tabs: Library menu entry and tab button.
inline constexpr int kFrameTabMenu = 10910;
inline constexpr int kMaskTabMenu = 10911;
inline constexpr int kClipArtTabMenu = 10912;
inline constexpr int kShapeTabMenu = 10913;
inline constexpr int kTuningTabMenu = 10914;
inline constexpr int kTextTabMenu = 10916;
inline constexpr int kFrameTab = 10700;
inline constexpr int kMaskTab = 10701;
inline constexpr int kClipArtTab = 10702;
inline constexpr int kTuningTab = 10703;
inline constexpr int kTextTab = 10705;
inline constexpr int kShapeTab = 10706;

inline constexpr int kHelpContent = 10930;
inline constexpr int kAbout = 10931;

// The effects, in the order of the Effects submenu.
inline constexpr std::array<int, 13> kEffectCommands = {
    kEffectErode,   kEffectDilate,    kEffectNoise,     kEffectJitter,    kEffectMedian,
    kEffectContour, kEffectEmboss,    kEffectEdge,      kEffectSharpen,   kEffectGaussian5,
    kEffectGaussian3, kEffectBlur,    kEffectSoften,
};

inline constexpr auto kAllCommands = std::to_array<int>({
    kClose, kMinimize, kMaximize, kSystemAbout,
    kFileMenuButton, kLibraryMenuButton, kEditMenuButton, kHelpMenuButton,
    kOpenFileMenu, kOpenEditMenu, kOpenLibraryMenu, kOpenHelpMenu,
    kNewProject, kNewProjectMenu, kOpenProject, kOpenProjectMenu, kSaveProjectAs, kSaveProjectAsMenu,
    kSetting, kSettingMenu, kPreview, kPreviewMenu, kSaveCollage, kSaveCollageMenu,
    kUndo, kUndoMenu, kRedo, kRedoMenu, kDelete, kDeleteMenu, kCrop, kCropMenu,
    kBringForward, kBringForwardMenu, kSendBackward, kSendBackwardMenu,
    kBringToFront, kBringToFrontMenu, kSendToBack, kSendToBackMenu,
    kZoomIn, kZoomOut, kZoomBox, kExit,
    kImportPhotos, kImportPhotosContext, kImportButton, kRemovePhotosContext, kRemoveButton, kAddToCanvas,
    kInstallPack, kBatchConvert, kCalendar, kAutoLayout,
    kWallpaperCentered, kWallpaperTiled, kWallpaperStretched, kRemoveWallpaper, kBrushSwitch,
    kFrameTabMenu, kMaskTabMenu, kClipArtTabMenu, kShapeTabMenu, kTuningTabMenu, kTextTabMenu,
    kFrameTab, kMaskTab, kClipArtTab, kTuningTab, kTextTab, kShapeTab,
    kHelpContent, kAbout,
    kEffectErode, kEffectDilate, kEffectNoise, kEffectJitter, kEffectMedian, kEffectContour,
    kEffectEmboss, kEffectEdge, kEffectSharpen, kEffectGaussian5, kEffectGaussian3, kEffectBlur, kEffectSoften,
});

} // namespace cmd
