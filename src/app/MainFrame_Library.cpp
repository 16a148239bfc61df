// The main window's Library commands and the messages of the panels: the library tabs,
// the photo library's buttons, the brush tool switch, the text panel and the library
// selection that a drop onto the canvas uses.

#include "app/CommandIds.h"
#include "base/UserMessage.h"
#include "app/LanguageTable.h"
#include "app/MainFrame.h"
#include "canvas/CanvasWnd.h"
#include "library/PhotoLibraryPanel.h"
#include "ui/CVelComboBox.h"
#include "ui/PanelContainer.h"
#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinButton.h"

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

} // namespace

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
    const QString kept = frame::FitTextField(text);
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
    // Kept here until the canvas drops library entries itself; then handed to it.
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
