// The main window's Auto Layout command (10960): from the photo library's context menu it
// lays out the library's selected photos in the order they were selected (files that are
// gone are left out); from the canvas's context menu it re-arranges the photos on the
// collage, other items staying where they are. From the Edit menu (or a key) it works on
// the collage's photos when it has any, else on the library's selection. The dialog
// collects the choices; the layout, its frames and its canvas size are one undo step.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "base/UserMessage.h"
#include "canvas/AutoLayoutChoices.h"
#include "canvas/CanvasWnd.h"
#include "library/PhotoGrid.h"
#include "library/PhotoLibraryPanel.h"
#include "ui/dialogs/AutoLayoutDialog.h"

#include <QFileInfo>

#include <algorithm>

namespace {

constexpr char kNoLibraryPhotos[] = "Please select the photos to lay out in the photo library.";
constexpr char kNoCanvasPhotos[] = "There are no photos on the collage to arrange.";
constexpr char kLayoutFailed[] = "The photos could not be laid out on this canvas.";

bool HasPhoto(const CollageModel& model)
{
    const auto& kinds = model.ItemKinds();
    return std::find(kinds.begin(), kinds.end(), ItemKind::Photo) != kinds.end();
}

// The library's selected photos in selection order, as layout sources; gone files left out.
std::vector<autolayout::PhotoSource> LibraryPhotos(library::PhotoLibraryPanel* panel)
{
    std::vector<autolayout::PhotoSource> photos;
    if (!panel)
        return photos;
    for (int position : panel->Grid().SelectedPositionsInOrder()) {
        const library::PhotoRecord& record = panel->Library().Entry(position).record;
        const QString path = record.Path();
        if (record.width > 0 && record.height > 0 && QFileInfo(path).isFile())
            photos.push_back({-1, path, QSize(record.width, record.height)});
    }
    return photos;
}

} // namespace

bool MainFrame::LayoutFromLibrary() const
{
    if (commandMenu == MenuId::PhotoContext)
        return true;
    if (commandMenu == MenuId::CanvasContext)
        return false;
    return !HasPhoto(canvas->Model());
}

void MainFrame::AutoLayout()
{
    CollageModel& model = canvas->Model();
    const bool fromLibrary = LayoutFromLibrary();
    const std::vector<autolayout::PhotoSource> photos =
        fromLibrary ? LibraryPhotos(photoPanel) : autolayout::PhotosOnCanvas(model);
    if (photos.empty()) {
        ShowUserMessage(QString::fromLatin1(fromLibrary ? kNoLibraryPhotos : kNoCanvasPhotos));
        return;
    }
    AutoLayoutDialog dialog(model, photos, libraryFolder, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!autolayout::ApplyChoices(model, dialog.OrderedPhotos(), dialog.CurrentChoices()))
        ShowUserMessage(QString::fromLatin1(kLayoutFailed));
}
