#include "Sections.h"

#include "Gallery.h"

#include "ui/AboutBox.h"
#include "ui/ShortcutText.h"
#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinButton.h"
#include "ui/skin/SkinDialog.h"
#include "ui/skin/SkinFlatButtons.h"
#include "ui/skin/ThemeIcon.h"

#include <QButtonGroup>
#include <QPainter>

#include <iterator>
#include <string_view>

namespace {

// Probe points inside the plain face of a 20-pixel push button, left of a centred caption.
constexpr QPoint kFacePoint{14, 10};

SkinButton* PushButton(const QString& caption, QSize size)
{
    auto* button = new SkinButton(0, nullptr);
    button->SetCaption(caption);
    button->setFixedSize(size);
    return button;
}

// A dialog of the program shown inside the gallery page instead of as a window of its own.
template <typename Dialog>
Dialog* Embedded(Dialog* dialog, QSize size)
{
    dialog->setWindowFlags(Qt::Widget);
    dialog->setFixedSize(size);
    return dialog;
}

// The new-collage dialog's look: drawn labels, placement check buttons, OK and Cancel.
class SampleDialog : public SkinDialog {
public:
    explicit SampleDialog(skin::SideForm form)
        : SkinDialog(nullptr, form)
    {
    }

protected:
    void PaintContent(QPainter& p) override
    {
        p.setPen(skin::kText);
        p.drawText(QRect(16, 38, 84, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Width"));
        p.drawText(QRect(16, 72, 84, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Height"));
        p.setPen(skin::kFrameColour);
        p.setBrush(Qt::white);
        p.drawRect(QRect(70, 39, 60, 18));
        p.drawRect(QRect(70, 73, 60, 18));
        p.setPen(skin::kText);
        p.drawText(QRect(74, 39, 52, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("1024"));
        p.drawText(QRect(74, 73, 52, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("768"));
    }
};

} // namespace

void AddPushButtonSection(Gallery& gallery)
{
    GallerySection* section = gallery.AddSection(QStringLiteral("Push buttons (SkinButton)"));
    const QSize ok(65, 20);

    SkinButton* normal = PushButton(QStringLiteral("OK"), ok);
    section->AddSample(normal, QStringLiteral("normal"));
    gallery.AddProbe(normal, kFacePoint, skin::kButtonFace, QStringLiteral("button-normal-face"));

    SkinButton* hover = PushButton(QStringLiteral("OK"), ok);
    section->AddSample(hover, QStringLiteral("hover"));
    gallery.AfterShow([hover] { ForceHover(hover); });
    gallery.AddProbe(hover, kFacePoint, skin::kButtonHoverFace, QStringLiteral("button-hover-face"));
    gallery.AddProbe(hover, QPoint(32, 0), skin::kAccent, QStringLiteral("button-hover-edge"));

    SkinButton* pressed = PushButton(QStringLiteral("OK"), ok);
    section->AddSample(pressed, QStringLiteral("pressed"));
    gallery.AfterShow([pressed] { pressed->setDown(true); });
    gallery.AddProbe(pressed, kFacePoint, skin::kAccentTint, QStringLiteral("button-pressed-face"));

    SkinButton* disabled = PushButton(QStringLiteral("OK"), ok);
    disabled->setEnabled(false);
    section->AddSample(disabled, QStringLiteral("disabled"));
    gallery.AddProbe(disabled, kFacePoint, skin::kButtonDisabledFace, QStringLiteral("button-disabled-face"));

    section->AddSample(PushButton(QStringLiteral("Add Picture File"), QSize(120, 20)), QStringLiteral("120 wide"));
    section->AddSample(PushButton(QStringLiteral("Convert all pictures"), QSize(180, 24)),
                       QStringLiteral("180 x 24 (middle repeats)"));

    SkinButton* caps = PushButton(QString(), QSize(24, 20));
    section->AddSample(caps, QStringLiteral("24: caps only"));
    gallery.AddProbe(caps, QPoint(12, 10), skin::kButtonFace, QStringLiteral("caps-only-right-cap"));
    section->AddSample(PushButton(QString(), QSize(16, 20)), QStringLiteral("16: caps only"));

    SkinButton* offset = PushButton(QStringLiteral("Offset"), QSize(90, 20));
    offset->SetTextOffset(QPoint(10, 0));
    section->AddSample(offset, QStringLiteral("text offset 10,0"));

    SkinButton* coloured = PushButton(QStringLiteral("Apply"), ok);
    coloured->SetTextColour(skin::kAccentDark);
    section->AddSample(coloured, QStringLiteral("text colour"));
}

void AddSmallButtonSection(Gallery& gallery)
{
    GallerySection* section = gallery.AddSection(QStringLiteral("Check-style, flat label and close buttons"));
    section->SetColumns(7);

    auto* group = new QButtonGroup(section);
    group->setExclusive(true);
    const char* placements[] = {"Center", "Tile", "Stretch"};
    SkinCheckButton* first = nullptr;
    for (int i = 0; i < 3; ++i) {
        auto* check = new SkinCheckButton(10471 + i, nullptr);
        check->SetCaption(QString::fromLatin1(placements[i]));
        check->setFixedSize(75, 20);
        group->addButton(check, check->Id());
        section->AddSample(check, i == 0 ? QStringLiteral("checked") : QStringLiteral("unchecked"));
        if (i == 0)
            first = check;
    }
    first->setChecked(true);
    gallery.AddProbe(first, QPoint(3, 5), skin::kAccent, QStringLiteral("check-checked-box"));
    auto* off = new SkinCheckButton(0, nullptr);
    off->SetCaption(QStringLiteral("Disabled"));
    off->setFixedSize(80, 20);
    off->setChecked(true);
    off->setEnabled(false);
    section->AddSample(off, QStringLiteral("disabled"));

    const QSize labelSize(70, 22);
    const auto label = [&](const QString& caption, const QString& note) {
        auto* button = new SkinLabelButton(0, nullptr);
        button->SetCaption(caption);
        button->setFixedSize(labelSize);
        section->AddSample(button, note);
        return button;
    };
    label(QStringLiteral("File"), QStringLiteral("label"));
    SkinLabelButton* hover = label(QStringLiteral("Edit"), QStringLiteral("label hover"));
    gallery.AfterShow([hover] { ForceHover(hover); });
    gallery.AddProbe(hover, QPoint(0, 0), Qt::black, QStringLiteral("label-hover-frame"));
    gallery.AddProbe(hover, QPoint(labelSize.width() - 4, 11), Qt::white, QStringLiteral("label-hover-face"));
    SkinLabelButton* pressed = label(QStringLiteral("Library"), QStringLiteral("label pressed"));
    gallery.AfterShow([pressed] { pressed->setDown(true); });
    label(QStringLiteral("Help"), QStringLiteral("embossed"))->SetEmboss(true);
    label(QStringLiteral("Tools"), QStringLiteral("label disabled"))->setEnabled(false);

    const QPixmap closeNormal = skin::Art(skin::kBmpCloseNormal);
    const auto close = [&](const QString& note) {
        auto* button = new SkinButton(skin::kCloseCommand, nullptr);
        button->SetThreePiece(false);
        button->SetBitmaps(closeNormal, skin::Art(skin::kBmpCloseHover), skin::Art(skin::kBmpClosePressed),
                           closeNormal);
        button->setFixedSize(skin::kCloseWidth, skin::kCloseHeight);
        section->AddSample(button, note);
        return button;
    };
    SkinButton* closeNormalButton = close(QStringLiteral("close 136"));
    gallery.AddProbe(closeNormalButton, QPoint(2, 2), skin::kCaptionBar, QStringLiteral("close-normal"));
    SkinButton* closeHover = close(QStringLiteral("close 217"));
    gallery.AfterShow([closeHover] { ForceHover(closeHover); });
    gallery.AddProbe(closeHover, QPoint(4, 8), skin::kCloseHover, QStringLiteral("close-hover"));
    SkinButton* closePressed = close(QStringLiteral("close 218"));
    gallery.AfterShow([closePressed] { closePressed->setDown(true); });
}

void AddIconSection(Gallery& gallery)
{
    GallerySection* section = gallery.AddSection(
        QStringLiteral("Icons: theme icons on tool-style buttons (top), drawn fallback glyphs (bottom)"));
    const char* names[] = {"document-new", "document-open", "document-save-as", "configure", "document-preview",
                           "edit-undo", "edit-redo", "edit-delete", "transform-crop", "zoom-in", "zoom-out"};
    section->SetColumns(int(std::size(names)));
    const auto iconButton = [](const QIcon& icon) {
        auto* button = new SkinButton(0, nullptr);
        button->SetIcons(icon);
        button->setFixedSize(30, 24);
        return button;
    };
    int index = 0;
    for (const char* name : names) {
        QString label = QString::fromLatin1(name);
        for (const char* prefix : {"document-", "edit-", "transform-"})
            if (label.startsWith(QLatin1String(prefix)))
                label.remove(0, int(qstrlen(prefix)));
        SkinButton* tool = iconButton(skin::ThemeIcon(QString::fromLatin1(name)));
        tool->SetArtStyle(skin::ButtonArtStyle::kTool);
        if (index == 1) {
            gallery.AfterShow([tool] { ForceHover(tool); });
            label += QStringLiteral(" (hover)");
        } else if (index == 2) {
            gallery.AfterShow([tool] { tool->setDown(true); });
            label += QStringLiteral(" (pressed)");
        } else if (index == 0) {
            gallery.AddProbe(tool, QPoint(3, 12), skin::kDialogBackground, QStringLiteral("tool-normal-no-face"));
        }
        if (std::string_view(name) == "edit-delete")
            tool->setEnabled(false);
        section->AddSample(tool, label);
        ++index;
    }
    for (const char* name : names) {
        SkinButton* button = iconButton(skin::GlyphIcon(QString::fromLatin1(name)));
        if (std::string_view(name) == "edit-redo")
            button->setEnabled(false);
        section->AddSample(button, std::string_view(name) == "edit-redo" ? QStringLiteral("disabled")
                                                                           : QStringLiteral("glyph"));
    }
}

void AddDialogSection(Gallery& gallery)
{
    GallerySection* section = gallery.AddSection(QStringLiteral("Skinned dialogs (SkinDialog) and the About box"));
    section->SetColumns(3);

    auto* collage = Embedded(new SampleDialog(skin::SideForm::kStretch), QSize(340, 190));
    collage->setWindowTitle(QStringLiteral("Create New Collage"));
    auto* group = new QButtonGroup(collage);
    const char* placements[] = {"Center", "Tile", "Stretch"};
    for (int i = 0; i < 3; ++i) {
        auto* check = new SkinCheckButton(QRect(16 + 80 * i, 110, 75, 20), collage, 10471 + i);
        check->SetCaption(QString::fromLatin1(placements[i]));
        check->setChecked(i == 1);
        group->addButton(check);
    }
    new SkinButton(QRect(340 - 75 - 65 - 10, 190 - 30, 65, 20), collage, 1);
    collage->findChild<SkinButton*>(QStringLiteral("1"))->SetCaption(QStringLiteral("OK"));
    (new SkinButton(QRect(340 - 75, 190 - 30, 65, 20), collage, 2))->SetCaption(QStringLiteral("Cancel"));
    section->AddSample(collage, QStringLiteral("stretched sides, 221 grey"));
    gallery.AddProbe(collage, QPoint(250, 20), skin::kCaptionBar, QStringLiteral("dialog-caption-bar"));
    gallery.AddProbe(collage, QPoint(0, 100), skin::kWindowOutline, QStringLiteral("dialog-left-outline"));
    gallery.AddProbe(collage, QPoint(300, 60), skin::kDialogBackground, QStringLiteral("dialog-body"));
    gallery.AddProbe(collage, QPoint(170, 189), skin::kWindowOutline, QStringLiteral("dialog-bottom-outline"));

    auto* batch = Embedded(new SkinDialog(nullptr, skin::SideForm::kThreePiece), QSize(340, 190));
    batch->setWindowTitle(QStringLiteral("Batch Convert"));
    batch->SetBackground(skin::kStatusBackground);
    batch->SetCornerRadius(16);
    (new SkinButton(QRect(20, 130, 120, 20), batch, 10750))->SetCaption(QStringLiteral("Add Picture File"));
    (new SkinButton(QRect(145, 130, 120, 20), batch, 10751))->SetCaption(QStringLiteral("Convert"));
    auto* disabledConvert = batch->findChild<SkinButton*>(QStringLiteral("10751"));
    disabledConvert->setEnabled(false);
    section->AddSample(batch, QStringLiteral("three-piece sides, 230 grey, rounded"));
    gallery.AddProbe(batch, QPoint(170, 100), skin::kStatusBackground, QStringLiteral("batch-body"));

    auto* about = Embedded(new AboutBox(nullptr), QSize(300, 160));
    section->AddSample(about, QStringLiteral("About box"));

    // The shortcut texts a menu shows, as a reminder of the rule.
    auto* keys = new SkinLabelButton(0, nullptr);
    keys->SetCaption(ShortcutText(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S) + QStringLiteral("   ")
                     + ShortcutText(Qt::AltModifier | Qt::ControlModifier | Qt::Key_Z));
    keys->setFixedSize(200, 22);
    section->AddSample(keys, QStringLiteral("shortcut texts"));
}
