// Gallery sections of the menu, combo box, list box, panel slider and colour picker.

#include "Sections.h"

#include "Gallery.h"

#include "editing/PanelSlider.h"
#include "ui/CMstListBox.h"
#include "ui/CMstMenu.h"
#include "ui/CVelColourPicker.h"
#include "ui/CVelComboBox.h"
#include "ui/ColourTable.h"
#include "ui/InlinePalette.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

namespace {

const MenuEntry kFileMenu[] = {
    {10850, "New Project", "document-new", "Ctrl+N"},
    {10851, "Open Project", "document-open", "Ctrl+O"},
    {10852, "Save Project As...", "document-save-as"},
    {kMenuSeparator},
    {10901, "Preview", "document-preview"},
    {10902, "Save Collage", "document-export"},
    {kMenuSeparator},
    {10903, "Exit", "application-exit", "Alt+F4"},
};

// A menu as it looks when open, shown as a picture on the page: popups cannot stay open
// beside each other.
QLabel* MenuPicture(int style, bool sideBar)
{
    CMstMenu menu(nullptr, style);
    menu.SetSideBar(sideBar, QStringLiteral("Montara"));
    menu.AppendItems(kFileMenu);
    menu.SetItemEnabled(10901, false);
    menu.setActiveAction(menu.actions().at(1));
    menu.adjustSize();
    auto* label = new QLabel;
    label->setPixmap(menu.grab());
    return label;
}

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button)
{
    QMouseEvent event(type, at, w->mapToGlobal(at), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

} // namespace

void AddMenuListSection(Gallery& gallery)
{
    GallerySection* section = gallery.AddSection(QStringLiteral("Menus, combo boxes and lists"));
    section->SetColumns(5);
    section->AddSample(MenuPicture(mstmenu::kMenuStyleIconColumn, true), QStringLiteral("menu, style 2"));
    section->AddSample(MenuPicture(mstmenu::kMenuStyleFlat, false), QStringLiteral("menu, style 0"));

    const char* const zoom[] = {"25%", "50%", "75%", "100%", "125%", "150%", "175%", "200%"};
    auto* combo = new CVelComboBox;
    for (const char* text : zoom)
        combo->AddItem(QString::fromLatin1(text));
    combo->SetCurSel(2);
    combo->setFixedWidth(90);
    section->AddSample(combo, QStringLiteral("combo box"));
    auto* disabled = new CVelComboBox;
    disabled->AddItem(QStringLiteral("100%"));
    disabled->SetCurSel(0);
    disabled->setFixedWidth(90);
    disabled->setEnabled(false);
    section->AddSample(disabled, QStringLiteral("disabled"));

    auto* list = new CMstListBox;
    for (int i = 0; i < 40; ++i)
        list->AddString(QStringLiteral("/home/anna/Pictures/Holiday %1/IMG_%2 at the harbour.jpg").arg(2019 + i % 5).arg(4100 + i * 7));
    list->setFixedSize(300, 150);
    section->AddSample(list, QStringLiteral("list, scrolled"));
    gallery.AfterShow([list] {
        list->SetCurSel(6);
        list->SetFirstVisibleLine(4);
        list->SetHorizontalOffset(60);
    });
}

void AddSliderPickerSection(Gallery& gallery)
{
    GallerySection* section = gallery.AddSection(QStringLiteral("Panel sliders and colour pickers"));
    section->SetColumns(6);
    const char* const captions[] = {"minimum", "middle", "maximum", "hover", "dragging", "disabled"};
    const int positions[] = {20, 210, 400, 150, 300, 120};
    PanelSlider* sliders[6] = {};
    for (int i = 0; i < 6; ++i) {
        sliders[i] = new PanelSlider(10002 + i);
        sliders[i]->SetRange(20, 400);
        sliders[i]->SetPosition(positions[i]);
        sliders[i]->setFixedSize(130, 13);
        section->AddSample(sliders[i], QString::fromLatin1(captions[i]));
    }
    sliders[5]->setEnabled(false);
    gallery.AfterShow([hover = sliders[3], drag = sliders[4]] {
        SendMouse(hover, QEvent::MouseMove, hover->ThumbRect().center(), Qt::NoButton);
        SendMouse(drag, QEvent::MouseButtonPress, drag->ThumbRect().center(), Qt::LeftButton);
    });

    const char* const pickerCaptions[] = {"colour picker", "automatic", "mode 1", "disabled"};
    CVelColourPicker* pickers[4] = {};
    for (int i = 0; i < 4; ++i) {
        pickers[i] = new CVelColourPicker(1200 + i);
        pickers[i]->setFixedSize(120, 22);
        section->AddSample(pickers[i], QString::fromLatin1(pickerCaptions[i]));
    }
    pickers[0]->SetColour(colours::kNamedColours[9].colour);
    pickers[1]->SetColour(colours::kAutomaticColour);
    pickers[2]->SetColourMode(1);
    pickers[2]->SetBackgroundColour(0xFFFFFF);
    pickers[2]->SetColour(colours::Rgb(60, 179, 113));
    pickers[3]->SetColour(colours::kNamedColours[13].colour);
    pickers[3]->setEnabled(false);

    auto* palette = new InlinePalette;
    palette->setFixedSize(palette->sizeHint());
    palette->SetColour(colours::Rgb(51, 102, 204));
    section->AddSample(palette, QStringLiteral("inline palette"));
}
