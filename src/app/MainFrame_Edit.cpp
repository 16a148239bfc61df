// The main window's Edit commands: undo and redo, delete, crop, z-order, zoom, the
// calendar and the effects, and the one place where commands are enabled and greyed.

#include "app/CommandIds.h"
#include "app/EditorApp.h"
#include "app/MainFrame.h"
#include "canvas/CanvasWnd.h"
#include "editing/ItemEditorCommands.h"
#include "canvas/EffectRunner.h"
#include "library/PhotoLibraryPanel.h"

#include "ui/CMstMenu.h"
#include "ui/CVelComboBox.h"

#include <QAbstractButton>
#include <QAction>

#include <algorithm>

void MainFrame::RegisterEditCommands()
{
    Register({cmd::kUndo, cmd::kUndoMenu}, [this] { Undo(); });
    Register({cmd::kRedo, cmd::kRedoMenu}, [this] { Redo(); });
    Register({cmd::kDelete, cmd::kDeleteMenu}, [this] { canvas->DeleteSelected(); });
    Register({cmd::kBringForward, cmd::kBringForwardMenu}, [this] { canvas->BringForward(); });
    Register({cmd::kSendBackward, cmd::kSendBackwardMenu}, [this] { canvas->SendBackward(); });
    Register({cmd::kBringToFront, cmd::kBringToFrontMenu}, [this] { canvas->BringToFront(); });
    Register({cmd::kSendToBack, cmd::kSendToBackMenu}, [this] { canvas->SendToBack(); });
    Register({cmd::kZoomIn}, [this] { ZoomIn(); });
    Register({cmd::kZoomOut}, [this] { ZoomOut(); });
    Register({cmd::kZoomBox}, [this] { ZoomBoxChosen(); });

    Register({cmd::kCrop, cmd::kCropMenu}, [this] { CropSelectedPhoto(*canvas, this); });
    Register({cmd::kAutoLayout}, [this] { AutoLayout(); });
    Register({cmd::kCalendar}, [this] {
        // The application object owns the calendar buffer; without one (tests) the buffer
        // lives for this command only.
        EditorApp* app = EditorApp::Current();
        std::unique_ptr<std::uint8_t[]> unowned;
        AddMonthCalendar(*canvas, this, app ? app->calendarBuffer : unowned);
    });

    // The whole-collage effects: composed, filtered (big collages on a worker thread with
    // a progress dialog) and replaced by one picture, one undo step.
    for (int effect : cmd::kEffectCommands)
        Register({effect}, [this, effect] { effectRunner->Run(effect); });
}

void MainFrame::Undo()
{
    canvas->Undo();
}

void MainFrame::Redo()
{
    canvas->Redo();
}

void MainFrame::ZoomIn()
{
    const int entry = frame::ZoomInEntry(zoomBox->GetCurSel());
    if (entry < 0)
        return;
    canvas->SetZoom(frame::kZoomFactors[static_cast<std::size_t>(entry)]);
    zoomBox->SetCurSel(entry);
}

void MainFrame::ZoomOut()
{
    const int entry = frame::ZoomOutEntry(zoomBox->GetCurSel());
    if (entry < 0)
        return;
    canvas->SetZoom(frame::kZoomFactors[static_cast<std::size_t>(entry)]);
    zoomBox->SetCurSel(entry);
}

void MainFrame::ZoomBoxChosen()
{
    const int entry = zoomBox->GetCurSel();
    if (entry >= 0 && entry < static_cast<int>(frame::kZoomFactors.size()))
        canvas->SetZoom(frame::kZoomFactors[static_cast<std::size_t>(entry)]);
}

bool MainFrame::IsCommandEnabled(int id) const
{
    const CollageModel& model = canvas->Model();
    const frame::EditStates states = frame::ComputeEditStates({
        .itemCount = model.ItemCount(),
        .selectedIndex = model.SelectedIndex(),
        .photoSelected = model.SelectedPhoto() != nullptr,
        .historyIndex = model.HistoryIndex(),
        .historyCount = model.HistoryLength(),
    });
    switch (id) {
    case cmd::kCrop:
    case cmd::kCropMenu:
        return states.crop;
    case cmd::kUndo:
    case cmd::kUndoMenu:
        return states.undo;
    case cmd::kRedo:
    case cmd::kRedoMenu:
        return states.redo;
    case cmd::kDelete:
    case cmd::kDeleteMenu:
        return states.remove;
    case cmd::kBringForward:
    case cmd::kBringForwardMenu:
    case cmd::kBringToFront:
    case cmd::kBringToFrontMenu:
        return states.toFront;
    case cmd::kSendBackward:
    case cmd::kSendBackwardMenu:
    case cmd::kSendToBack:
    case cmd::kSendToBackMenu:
        return states.toBack;
    case cmd::kAutoLayout:
        // Photos on the collage or selected in the library; which of them the command
        // takes depends on the menu (MainFrame_Layout.cpp), which tells when it has none.
        return std::find(model.ItemKinds().begin(), model.ItemKinds().end(), ItemKind::Photo) != model.ItemKinds().end()
            || (photoPanel != nullptr && !photoPanel->Library().SelectedPositions().empty());
    default:
        return true;
    }
}

namespace {

void EnableEntries(const QMenu& menu, const std::function<bool(int)>& enabled)
{
    for (QAction* action : menu.actions()) {
        if (action->menu())
            EnableEntries(*action->menu(), enabled);
        else if (const int id = CMstMenu::ItemId(action))
            action->setEnabled(enabled(id));
    }
}

} // namespace

void MainFrame::UpdateCommandStates()
{
    const auto enabled = [this](int id) { return IsCommandEnabled(id); };
    for (const auto& [id, button] : buttons)
        button->setEnabled(enabled(id));
    for (const auto& [id, menu] : menus)
        EnableEntries(*menu, enabled);
}
