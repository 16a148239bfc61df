// The main window's tool bar: 16 image buttons with their tooltips and icons, and the
// zoom box, built from tables; the layout puts them at their places (MainFrameRules.h).

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "ui/CVelComboBox.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/ThemeIcon.h"

#include <QLineEdit>

namespace {

struct ToolEntry {
    int command;
    const char* tooltip;
    const char* icon;
    bool initiallyEnabled;
};

// Left to right.
constexpr ToolEntry kToolBar[] = {
    {cmd::kNewProject, "New Collage Project", "document-new", true},
    {cmd::kOpenProject, "Open Project", "document-open", true},
    {cmd::kSaveProjectAs, "Save Project As...", "document-save-as", true},
    {cmd::kSetting, "Setting", "configure", true},
    {cmd::kPreview, "Preview", "document-preview", true},
    {cmd::kSaveCollage, "Save Collage", "document-export", true},
    {cmd::kUndo, "Undo", "edit-undo", false},
    {cmd::kRedo, "Redo", "edit-redo", false},
    {cmd::kDelete, "Delete", "edit-delete", false},
    {cmd::kCrop, "Crop", "transform-crop", false},
    {cmd::kBringForward, "Move to Front", "object-order-raise", false},
    {cmd::kSendBackward, "Move to Back", "object-order-lower", false},
    {cmd::kBringToFront, "Move to Front of all Layers", "object-order-front", false},
    {cmd::kSendToBack, "Move to Back of all Layers", "object-order-back", false},
    {cmd::kZoomIn, "Zoom In", "zoom-in", true},
    {cmd::kZoomOut, "Zoom Out", "zoom-out", true},
};
static_assert(std::size(kToolBar) == frame::kToolButtonCount);

} // namespace

void MainFrame::CreateToolBar()
{
    for (const ToolEntry& entry : kToolBar) {
        auto* button = new SkinButton(entry.command, this); // owned by this window
        button->SetArtStyle(skin::ButtonArtStyle::kTool);
        button->SetIcons(skin::ThemeIcon(QString::fromLatin1(entry.icon)));
        button->setToolTip(QString::fromLatin1(entry.tooltip));
        button->setEnabled(entry.initiallyEnabled);
        connect(button, &SkinAbstractButton::command, this, &MainFrame::OnCommand);
        buttons[entry.command] = button;
    }

    // A drop-down list: the entries are chosen, never typed.
    zoomBox = new CVelComboBox(this, 0); // owned by this window
    zoomBox->setObjectName(QString::number(cmd::kZoomBox));
    zoomBox->Edit()->setReadOnly(true);
    zoomBox->Edit()->setAttribute(Qt::WA_TransparentForMouseEvents); // a press anywhere opens the list
    for (const char* text : frame::kZoomTexts)
        zoomBox->AddItem(QString::fromLatin1(text));
    zoomBox->SetCurSel(frame::kInitialZoomEntry);
    // The drop-down list closed on an entry.
    connect(zoomBox, &CVelComboBox::selectionChosen, this, [this] { OnCommand(cmd::kZoomBox); });
}

void MainFrame::LayOutToolBar(int w, int h)
{
    for (int i = 0; i < frame::kToolButtonCount; ++i)
        buttons[kToolBar[i].command]->setGeometry(frame::ToolButtonRect(i, w, h));
    zoomBox->setGeometry(frame::kZoomBoxRect.At(w, h));
}
