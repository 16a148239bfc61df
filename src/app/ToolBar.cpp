// The main window's tool bar: 16 image buttons with their tooltips and icons, and the
// zoom box, built from tables; the layout puts them at their places (MainFrameRules.h).

#include "app/CommandIds.h"
#include "app/MainFrame.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QIcon>
#include <QToolButton>

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
        auto* button = new QToolButton(this); // owned by this window
        button->setObjectName(QString::number(entry.command));
        button->setToolTip(QString::fromLatin1(entry.tooltip));
        button->setIcon(QIcon::fromTheme(QString::fromLatin1(entry.icon)));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setEnabled(entry.initiallyEnabled);
        const int command = entry.command;
        connect(button, &QAbstractButton::clicked, this, [this, command] { OnCommand(command); });
        buttons[command] = button;
    }

    zoomBox = new QComboBox(this); // owned by this window
    zoomBox->setObjectName(QString::number(cmd::kZoomBox));
    zoomBox->setFocusPolicy(Qt::NoFocus);
    for (const char* text : frame::kZoomTexts)
        zoomBox->addItem(QString::fromLatin1(text));
    zoomBox->setCurrentIndex(frame::kInitialZoomEntry);
    // The drop-down list closed on an entry.
    connect(zoomBox, &QComboBox::activated, this, [this] { OnCommand(cmd::kZoomBox); });
}

void MainFrame::LayOutToolBar(int w, int h)
{
    for (int i = 0; i < frame::kToolButtonCount; ++i)
        buttons[kToolBar[i].command]->setGeometry(frame::ToolButtonRect(i, w, h));
    zoomBox->setGeometry(frame::kZoomBoxRect.At(w, h));
}
