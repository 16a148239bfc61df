// The main window's Library commands and the messages of the panels: the library tabs,
// the photo library's buttons, the brush tool switch, the text panel and the library
// selection that a drop onto the canvas uses.

#include "app/CommandIds.h"
#include "app/LanguageTable.h"
#include "app/MainFrame.h"
#include "base/DataFolder.h"
#include "base/UserMessage.h"
#include "canvas/CanvasWnd.h"
#include "canvas/LibraryReaders.h"
#include "editing/TextPanel.h"
#include "library/InstallJournal.h"
#include "library/LibraryFiles.h"
#include "library/LibraryPanel.h"
#include "library/PhotoLibraryPanel.h"
#include "library/ResourcePack.h"
#include "ui/CVelComboBox.h"
#include "ui/PanelContainer.h"
#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinButton.h"

#include <QFileDialog>

#include <limits>

namespace {

struct TabEntry {
    MainFrame::Tab tab;
    int button;     // the tab button's command
    int menuEntry;  // the Library menu's command
    int langText;   // the tab's caption from the language table, or -1
    const char* fixedText;
};

// Left to right.
constexpr TabEntry kTabs[] = {
    {MainFrame::Tab::Frame, cmd::kFrameTab, cmd::kFrameTabMenu, kLangFrameTab, nullptr},
    {MainFrame::Tab::Shape, cmd::kShapeTab, cmd::kShapeTabMenu, -1, "Shape"},
    {MainFrame::Tab::Mask, cmd::kMaskTab, cmd::kMaskTabMenu, kLangMaskTab, nullptr},
    {MainFrame::Tab::ClipArt, cmd::kClipArtTab, cmd::kClipArtTabMenu, kLangClipArtTab, nullptr},
    {MainFrame::Tab::Tuning, cmd::kTuningTab, cmd::kTuningTabMenu, -1, "Tuning"},
    {MainFrame::Tab::Text, cmd::kTextTab, cmd::kTextTabMenu, kLangTextTab, nullptr},
};
static_assert(std::size(kTabs) == frame::kTabCount);

struct PhotoButtonEntry {
    int command;
    const char* text;
};

constexpr PhotoButtonEntry kPhotoButtons[] = {
    {cmd::kImportButton, "Import"},
    {cmd::kRemoveButton, "Remove"},
};

// The chosen tab shows the pressed face at rest; the others the push face.
void SetTabLook(SkinButton& button, bool chosen)
{
    button.setChecked(chosen);
    QFont font = button.font();
    font.setBold(chosen);
    button.setFont(font);
    if (!chosen) {
        button.SetBitmaps({}, {}, {}, {});
        return;
    }
    const QPixmap held = skin::ButtonArt(skin::kStatePressed, button.height());
    button.SetBitmaps(held, held, held, skin::ButtonArt(skin::kStateDisabled, button.height()));
}

// The five library panels: their places, window identifiers, categories, files, buttons
// and the codes their Apply sends.
struct LibraryPanelEntry {
    int identifier;
    std::int32_t category;
    const char* file;
    const char* button; // nullptr: the brush panel
    int code;
    MainFrame::Tab tab; // unused for the brush panel
};

constexpr LibraryPanelEntry kLibraryPanels[] = {
    {0, 2, library::kClipArtsFile, "Add", 0, MainFrame::Tab::ClipArt},
    {1, 1, library::kPhotoMasksThumbFile, "Apply", 2, MainFrame::Tab::Mask},
    {2, 5, library::kShapeThumbFile, "Apply", 11, MainFrame::Tab::Shape},
    {3, 0, library::kPhotoFramesThumbFile, "Apply", 3, MainFrame::Tab::Frame},
    {5, 4, library::kBrushesFile, nullptr, 1, MainFrame::Tab::Frame},
};

// The codes of the panels' Apply.
enum LibraryCode : int {
    kAddClipArtCode = 0,
    kBrushCode = 1,
    kMaskCode = 2,
    kFrameCode = 3,
    kShapeCode = 11,
};

} // namespace

void MainFrame::CreateLibraryPanels()
{
    for (const LibraryPanelEntry& entry : kLibraryPanels) {
        library::LibraryPanel::Setup setup;
        setup.identifier = entry.identifier;
        setup.category = entry.category;
        setup.code = entry.code;
        setup.buttonCaption = entry.button;
        setup.keepPixels = entry.button == nullptr;
        setup.draggable = entry.button != nullptr;
        auto* panel = new library::LibraryPanel(setup); // the container becomes its parent
        panel->setObjectName(QString::fromLatin1(entry.file));
        PanelContainer& place = entry.button ? LibraryPanelPlace(entry.tab) : BrushPanelPlace();
        place.SetContent(panel);
        libraryPanelWidgets.push_back(panel);
        connect(panel, &library::LibraryPanel::applyRequested, this, &MainFrame::OnLibraryApply);
        if (setup.draggable) {
            connect(panel, &library::LibraryPanel::pressed, this, &MainFrame::OnLibrarySelection);
            connect(panel, &library::LibraryPanel::released, this, &MainFrame::OnLibraryReleased);
        }
    }
}

library::LibraryPanel* MainFrame::LibraryPanelOf(int identifier) const
{
    for (library::LibraryPanel* panel : libraryPanelWidgets) {
        if (panel && panel->Identifier() == identifier)
            return panel;
    }
    return nullptr;
}

void MainFrame::UseLibraryFolder(const QString& folder)
{
    libraryFolder = folder;
    canvas->SetDataFolder(folder);
    canvas->Model().SetFrameOpeningReader(LibraryFrameOpeningReader(folder));
    canvas->Model().SetShapeSizeReader(LibraryShapeSizeReader(folder));
    // An install that was stopped half-way is finished (or undone) before anything reads
    // the library files.
    if (const library::RecoveryResult recovered = library::RecoverUnfinishedInstall(folder);
        recovered.outcome == library::RecoveryOutcome::Failed)
        ShowUserMessage(recovered.message);
    // A new user's first start: the starter packs fill the library files that are missing.
    library::InstallStarterPacks(folder);
    for (const LibraryPanelEntry& entry : kLibraryPanels)
        ReloadLibraryPanel(QString::fromLatin1(entry.file));
}

void MainFrame::ReloadLibraryPanel(const QString& fileName)
{
    for (library::LibraryPanel* panel : libraryPanelWidgets) {
        if (!panel || panel->objectName() != fileName)
            continue;
        panel->ReloadFromFile(libraryFolder + fileName);
        if (panel->Category() == static_cast<std::int32_t>(library::LibraryCategory::Brushes)) {
            ShowBrushAngles();
            OnBrushEntryChanged(panel->SelectedIndex());
        }
    }
}

void MainFrame::OnLibraryApply(int code, std::int32_t entry)
{
    switch (code) {
    case kAddClipArtCode: {
        const QRect display = canvas->Model().DisplayRect();
        canvas->AddClipArt(entry, display.width() / 5, display.height() / 5);
        break;
    }
    case kBrushCode:
        if (library::LibraryPanel* brushes = LibraryPanelOf(kBrushPanelIdentifier))
            OnBrushEntryChanged(brushes->SelectedIndex());
        break;
    case kMaskCode:
        canvas->Model().ApplyMask(entry);
        break;
    case kShapeCode:
        if (entry >= 0 && entry <= std::numeric_limits<std::int32_t>::max() - CollageModel::kShapeNumberBase)
            canvas->Model().ApplyMask(entry + CollageModel::kShapeNumberBase);
        break;
    case kFrameCode:
        canvas->Model().ApplyFrame(entry);
        break;
    default:
        break;
    }
    UpdateCommandStates();
}

void MainFrame::OnLibraryReleased(const QPoint& globalPos)
{
    const QPoint at = canvas->mapFromGlobal(globalPos);
    if (librarySelection.empty() || !canvas->isVisible() || !canvas->rect().contains(at))
        return;
    canvas->Model().DropLibrarySelection(libraryCategory, librarySelection.front(), at.x(), at.y());
    UpdateCommandStates();
}

void MainFrame::InstallPack()
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromLatin1(library::kPackDialogFilter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const library::InstallResult result =
        library::InstallResourcePack(dialog.selectedFiles().constFirst(), libraryFolder);
    if (!result.message.isEmpty())
        ShowUserMessage(result.message);
    if (result.status != library::InstallStatus::Installed)
        return;
    if (const char* file = library::PanelFileOfCategory(result.category))
        ReloadLibraryPanel(QString::fromLatin1(file));
}

void MainFrame::RegisterLibraryCommands()
{
    for (const TabEntry& entry : kTabs) {
        auto* button = new SkinButton(entry.button, this); // owned by this window
        button->SetCaption(entry.fixedText ? QString::fromLatin1(entry.fixedText) : LangText(entry.langText));
        button->setCheckable(true);
        connect(button, &SkinAbstractButton::command, this, &MainFrame::OnCommand);
        buttons[entry.button] = button;
        const Tab tab = entry.tab;
        Register({entry.button, entry.menuEntry}, [this, tab] { SwitchTab(tab); });
    }
    for (const PhotoButtonEntry& entry : kPhotoButtons) {
        auto* button = new SkinButton(entry.command, this); // owned by this window
        button->SetCaption(QString::fromLatin1(entry.text));
        connect(button, &SkinAbstractButton::command, this, &MainFrame::OnCommand);
        buttons[entry.command] = button;
    }
    Register({cmd::kBrushSwitch}, [this] { SwitchBrushTool(); });

    Register({cmd::kInstallPack}, [this] { InstallPack(); });

    // The photo library (its panel is made with the canvas, in WirePanels).
    Register({cmd::kImportPhotos, cmd::kImportPhotosContext, cmd::kImportButton}, [this] {
        if (photoPanel != nullptr)
            photoPanel->Import();
    });
    Register({cmd::kRemovePhotosContext, cmd::kRemoveButton}, [this] {
        if (photoPanel != nullptr)
            photoPanel->Remove();
    });
    Register({cmd::kAddToCanvas}, [this] {
        if (photoPanel != nullptr)
            photoPanel->AddToCanvas();
    });
}

void MainFrame::CreatePhotoLibraryPanel()
{
    photoPanel = new library::PhotoLibraryPanel({*canvas, photoLibrary}); // owned by its place
    photoPanel->SetLibraryFile(libraryFilePath);
    photoPanel->Load();
    photoLibrary->SetContent(photoPanel);
    connect(photoPanel, &library::PhotoLibraryPanel::contextMenuRequested, this,
            [this](QPoint globalPosition) { OnContextMenu(globalPosition, true); });
    connect(photoPanel, &library::PhotoLibraryPanel::selectionStateChanged, this, &MainFrame::UpdateCommandStates);
    // The list is saved when the window closes.
    connect(this, &MainFrame::aboutToClose, photoPanel, [this] {
        QString error;
        if (!photoPanel->Save(&error))
            ShowUserMessage(QStringLiteral("The photo library could not be saved:\n%1").arg(error));
    });
}

void MainFrame::LayOutLibrary(int w, int h)
{
    for (int i = 0; i < frame::kTabCount; ++i) {
        auto* button = static_cast<SkinButton*>(buttons[kTabs[i].button]);
        button->setGeometry(frame::TabRect(i));
        SetTabLook(*button, kTabs[i].tab == currentTab); // the bitmaps are made at the button's height
    }
    buttons[cmd::kImportButton]->setGeometry(frame::kImportButtonRect.At(w, h));
    buttons[cmd::kRemoveButton]->setGeometry(frame::kRemoveButtonRect.At(w, h));
}

void MainFrame::SwitchTab(Tab tab)
{
    currentTab = tab;
    for (const TabEntry& entry : kTabs) {
        const bool chosen = entry.tab == tab;
        libraryPanels[static_cast<std::size_t>(entry.tab)]->setVisible(chosen && !inPreview);
        SetTabLook(*static_cast<SkinButton*>(buttons[entry.button]), chosen);
    }
    canvas->update();
}

void MainFrame::SwitchBrushTool()
{
    toolActive = toolActive ? 0 : 1;
    SetBrushSwitchLook();
    OnPropertyBarChanged();
}

// ---- messages of the panels -----------------------------------------------------------

void MainFrame::OnTextPanelSettings(const Text& settings)
{
    textSettings = settings;
    canvas->ApplyTextSettings(settings);
}

void MainFrame::OnTextBoxChanged(const QString& text)
{
    // The text field holds 1000 bytes with its terminator.
    const QString kept = textpanel::FitTextField(text);
    textSettings.text.Set(kept);
    canvas->Model().SetCurrentText(kept);
    canvas->UpdateSelectedText();
}

void MainFrame::OnAddText(int stylePreset)
{
    textSettings.style = stylePreset;
    canvas->Model().SetCurrentTextSettings(textSettings);
    canvas->AddText();
}

void MainFrame::OnLibrarySelection(std::int32_t category, const std::vector<std::int32_t>& entries)
{
    // What an entry released over the canvas drops (OnLibraryReleased).
    libraryCategory = category;
    librarySelection = entries;
}

void MainFrame::OnBrushToolOff()
{
    toolActive = 0;
    SetBrushSwitchLook();
    UpdateCommandStates();
}

void MainFrame::OnRefresh()
{
    UpdateCommandStates();
}

void MainFrame::OnLeavePreview()
{
    LeavePreview();
}
