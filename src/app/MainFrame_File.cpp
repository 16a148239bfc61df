// The main window's File commands: projects, pictures out, wallpaper, the photo library
// entries of the File menu, resource packs and the batch converter, and closing.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "canvas/CanvasWnd.h"
#include "base/UserMessage.h"
#include "persist/ProjectFile.h"
#include "ui/dialogs/BatchConvertDialog.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

void MainFrame::RegisterFileCommands()
{
    Register({cmd::kSaveProjectAs, cmd::kSaveProjectAsMenu}, [this] { SaveProjectAs(); });
    Register({cmd::kPreview, cmd::kPreviewMenu}, [this] { EnterPreview(); });
    Register({cmd::kBatchConvert}, [this] {
        BatchConvertDialog dialog(this);
        dialog.exec();
    });

    // Operations that come with later work; until then these numbers do nothing:
    //  - new project, open project, collage settings (10551 10850, 10552 10851,
    //    10558 10853); save the collage as a picture (10557 10902);
    //    wallpaper centred, tiled, stretched and removed (10950 10951 10952 10953): the
    //    project commands, export and wallpaper;
    //  - import into the photo library (10900 10483 10601), remove from it (10482 10602),
    //    add the selected library photo to the canvas (10481): the photo library;
    //  - install a resource pack (10904): the resource packs.
    RegisterPending({cmd::kNewProject, cmd::kNewProjectMenu, cmd::kOpenProject, cmd::kOpenProjectMenu, cmd::kSetting,
                     cmd::kSettingMenu, cmd::kSaveCollage, cmd::kSaveCollageMenu,
                     cmd::kWallpaperCentered, cmd::kWallpaperTiled, cmd::kWallpaperStretched, cmd::kRemoveWallpaper});
    RegisterPending({cmd::kImportPhotos, cmd::kImportPhotosContext, cmd::kImportButton, cmd::kRemovePhotosContext,
                     cmd::kRemoveButton, cmd::kAddToCanvas});
    RegisterPending({cmd::kInstallPack});
}

bool MainFrame::SaveProjectAs()
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("(*.vmz)"));
    dialog.setDefaultSuffix(QStringLiteral("vmz"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(QStringLiteral("untitled"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const project::SaveResult result = project::SaveProjectFile(canvas->Model(), dialog.selectedFiles().constFirst());
    if (!result.ok)
        ShowUserMessage(result.problem);
    return result.ok;
}

bool MainFrame::ConfirmClose()
{
    // Closing would lose unsaved work: ask first. Yes saves (a cancelled or failed save
    // keeps the window open), No closes, Cancel keeps the window open.
    if (!canvas->Model().Modified())
        return true;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Montara"),
                    QStringLiteral("Project has been modified, Do you want to save it?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return SaveProjectAs();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}
