#pragma once

// The commands that handle the collage as a whole, for the main window: a new collage, open
// and save a project, the collage settings, save the collage as a picture, and the desktop
// wallpaper. Each runs on the interface thread and acts on the canvas it was given.
//
//   NewProject       asks to save a modified collage ("Project has been modified, Do you
//                    want to save it?"; Yes saves, whatever the outcome, No goes on), then
//                    the collage dialog with its defaults; OK empties the canvas and gives it
//                    the chosen size and background.
//   OpenProject      the same question ("Current project has been modified, ..."), then the
//                    open dialog ("collage files (*.vmz)"). A file that cannot be read, holds
//                    values the program refuses or ends early is told to the user, and the
//                    current collage stays unless the user chooses to open the items of a
//                    file that ends early. Photos the opened collage names but that no longer
//                    exist are counted; the user may name a folder to look for them in.
//   SaveProjectAs    the save dialog ("(*.vmz)", initial name "untitled", suffix "vmz",
//                    overwrite confirmed); a failed save tells why and leaves the collage
//                    modified.
//   CollageSettings  the collage dialog with the caption "Collage Setting" and the canvas's
//                    values; OK sets size and background and keeps every item.
//   ExportPicture    the picture save dialog (initial name "*.jpg"), then composes the
//                    collage at full size and writes it by its extension. The composition
//                    runs on a copy of the collage off the interface thread: the window keeps
//                    painting, shows the wait cursor on canvases of more than 1024 x 768
//                    pixels and a busy window when the work takes longer than half a second.
//                    A failure is told to the user. The view (zoom, scroll) is not touched.
//   SetWallpaper     writes "Montara Wallpaper.bmp" into the data folder the same way and
//                    makes it the running desktop's wallpaper (placement 0 centred, 1 tiled,
//                    2 stretched); RemoveWallpaper clears it. A desktop that cannot be set is
//                    told to the user, naming the written file.
//
// Dialogs and questions go through Hooks, so tests answer them without a person; the
// defaults show the real dialogs. Messages go through ShowUserMessage.

#include "ui/dialogs/FileChooser.h"

#include <QObject>
#include <QString>

#include <functional>

class CanvasWnd;
class NewCollageDialog;
class QWidget;

namespace projectcmd {

// Canvases larger than this (1024 x 768) get the wait cursor while the picture is made.
inline constexpr qint64 kWaitCursorPixels = 786432;
// Work that runs longer than this shows the busy window.
inline constexpr int kBusyDelayMs = 500;

QString ProjectOpenFilter();  // "collage files (*.vmz)"
QString ProjectSaveFilter();  // "(*.vmz)"
QString ExportFilter();       // "(*.jpg);;(*.jpeg);;..." as the save dialog lists them
inline constexpr const char* kProjectSuffix = "vmz";
inline constexpr const char* kInitialProjectName = "untitled";
inline constexpr const char* kInitialPictureName = "*.jpg";

} // namespace projectcmd

class ProjectCommands : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        dialogs::FileChooser chooseFile = &dialogs::ChooseFile;
        dialogs::FolderChooser chooseFolder = &dialogs::ChooseFolder;
        dialogs::YesNoQuestion ask = &dialogs::AskYesNo;
        // Shows the collage dialog; true for OK. The default runs it modally.
        std::function<bool(NewCollageDialog& dialog)> runDialog;
    };

    // `parent` owns this object and parents the dialogs; `canvas` outlives it.
    ProjectCommands(QWidget* parent, CanvasWnd& canvas);
    ~ProjectCommands() override;

    // Empty functions stand for the real dialogs.
    void SetHooks(Hooks hooks);

    void NewProject();
    void OpenProject();
    // True when the project was written.
    bool SaveProjectAs();
    void CollageSettings();
    // True when a picture file was written.
    bool ExportPicture();
    // True when the file was written and the desktop took it.
    bool SetWallpaper(int placement);
    bool RemoveWallpaper();

    // OpenProject after the dialog: true when the collage now shows the file.
    bool OpenProjectFile(const QString& path);
    // Composes the collage at full size and writes it to `path` (extension rule of the
    // export writer); tells the user what went wrong. True when written.
    bool WritePicture(const QString& path);
    // Photos of the collage that no longer exist: asks whether to look for them in a
    // folder and relinks what is found there. Returns the number of photos relinked.
    int OfferRelink();

signals:
    // The collage was replaced, resized or relinked: the main window refreshes its buttons.
    void collageChanged();

private:
    bool RunDialog(NewCollageDialog& dialog);

    QWidget* parent_;
    CanvasWnd& canvas_;
    Hooks hooks_;
};
