// The main window's File commands: projects, pictures out, wallpaper, the photo library
// entries of the File menu, resource packs and the batch converter, and closing.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/ProjectCommands.h"
#include "canvas/CanvasWnd.h"
#include "ui/dialogs/BatchConvertDialog.h"

#include <QMessageBox>

void MainFrame::RegisterFileCommands()
{
    // New, open, save as, settings, save as picture and wallpaper (ProjectCommands.h).
    auto* projects = new ProjectCommands(this, *canvas); // owned by this window
    connect(projects, &ProjectCommands::collageChanged, this, &MainFrame::UpdateCommandStates);
    Register({cmd::kNewProject, cmd::kNewProjectMenu}, [projects] { projects->NewProject(); });
    Register({cmd::kOpenProject, cmd::kOpenProjectMenu}, [projects] { projects->OpenProject(); });
    Register({cmd::kSaveProjectAs, cmd::kSaveProjectAsMenu}, [this] { SaveProjectAs(); });
    Register({cmd::kSetting, cmd::kSettingMenu}, [projects] { projects->CollageSettings(); });
    Register({cmd::kSaveCollage, cmd::kSaveCollageMenu}, [projects] { projects->ExportPicture(); });
    Register({cmd::kWallpaperCentered}, [projects] { projects->SetWallpaper(0); });
    Register({cmd::kWallpaperTiled}, [projects] { projects->SetWallpaper(1); });
    Register({cmd::kWallpaperStretched}, [projects] { projects->SetWallpaper(2); });
    Register({cmd::kRemoveWallpaper}, [projects] { projects->RemoveWallpaper(); });
    Register({cmd::kPreview, cmd::kPreviewMenu}, [this] { EnterPreview(); });
    Register({cmd::kBatchConvert}, [this] {
        BatchConvertDialog dialog(this);
        dialog.exec();
    });
}

bool MainFrame::SaveProjectAs()
{
    return findChild<ProjectCommands*>(QString(), Qt::FindDirectChildrenOnly)->SaveProjectAs();
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
