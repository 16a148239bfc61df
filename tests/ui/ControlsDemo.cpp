// A window with the owner-drawn menu, combo box and list box, for looking at them under a
// real X server (tests/ui/controls_screenshot.sh). Not part of the program.
//
//   ui_controls_demo menu     the style 2 menu with its side bar and an open submenu
//   ui_controls_demo flat     the style 0 menu
//   ui_controls_demo combo    the zoom box with its list open
//   ui_controls_demo list     the list box scrolled both ways, a line selected
//   ui_controls_demo          the window alone

#include "ui/CMstListBox.h"
#include "ui/CMstMenu.h"
#include "ui/CVelComboBox.h"
#include "ui/skin/Skin.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const MenuEntry kFileMenu[] = {
    {10850, "New Collage...", "document-new", "Ctrl+N"},
    {10851, "Open Project", "document-open", "Ctrl+O"},
    {10852, "Save Project As...", "document-save-as", "Ctrl+Shift+S"},
    {kMenuSeparator},
    {10900, "Import Photo to Library", "document-import"},
    {10901, "Preview", "document-preview", "F5"},
    {10902, "Save Collage", "document-export", "Ctrl+E"},
    {kMenuSeparator},
    {10010, "Exit", "application-exit", "Alt+F4"},
};

const MenuEntry kEditMenu[] = {
    {10870, "Undo", "edit-undo", "Ctrl+Z"},
    {10871, "Redo", "edit-redo", "Ctrl+Y"},
    {kMenuSeparator},
    {10872, "Crop Photo", "transform-crop"},
    {10873, "Delete", "edit-delete", "Del"},
};

const char* const kZoomTexts[] = {"25%", "50%", "75%", "100%", "150%", "200%", "300%", "400%"};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QIcon::setThemeName(QStringLiteral("breeze"));
    const QString mode = argc > 1 ? QString::fromUtf8(argv[1]) : QString();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Controls"));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, skin::kDialogBackground);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(20, 20, 20, 20);

    auto* zoom = new CVelComboBox(&window);
    for (const char* text : kZoomTexts)
        zoom->AddItem(QString::fromUtf8(text));
    zoom->SetCurSel(3);
    zoom->setFixedWidth(90);
    auto* disabled = new CVelComboBox(&window);
    disabled->AddItem(QStringLiteral("100%"));
    disabled->SetCurSel(0);
    disabled->setFixedWidth(90);
    disabled->setEnabled(false);
    auto* status = new QLabel(QStringLiteral("Ready"), &window);
    layout->addWidget(zoom);
    layout->addWidget(disabled);
    layout->addWidget(status);
    auto* files = new CMstListBox(&window);
    for (int i = 0; i < 60; ++i) {
        files->AddString(QStringLiteral("/home/anna/Pictures/Holiday %1/IMG_%2 - the beach at sunset, the harbour and the old town.jpg")
                             .arg(2019 + i % 5)
                             .arg(4100 + i * 7));
    }
    files->setFixedSize(360, 220);
    layout->addWidget(files);
    layout->addStretch();

    CMstMenu menu(&window, mode == QLatin1String("flat") ? mstmenu::kMenuStyleFlat : mstmenu::kMenuStyleIconColumn);
    menu.SetSideBar(true, QStringLiteral("Montara"));
    menu.AppendItems(kFileMenu);
    menu.SetItemEnabled(10901, false);
    CMstMenu* edit = menu.AppendSubmenu(QStringLiteral("Edit"), CMstMenu::ThemeIcon(QStringLiteral("document-edit")));
    edit->AppendItems(kEditMenu);
    edit->AppendSeparator();
    edit->AppendItem(10874, QStringLiteral("Show Grid"));
    edit->SetItemChecked(10874, true);
    edit->AppendItem(10875, QStringLiteral("Snap to Grid"), CMstMenu::ThemeIcon(QStringLiteral("snap-bounding-box")));
    edit->SetItemChecked(10875, true);
    edit->SetItemEnabled(10871, false);
    QObject::connect(&menu, &CMstMenu::command, status,
                     [status](int id) { status->setText(QStringLiteral("Command %1").arg(id)); });
    QObject::connect(zoom, &CVelComboBox::notify, status, [status, zoom](int code) {
        status->setText(QStringLiteral("Zoom box %1: %2").arg(code).arg(zoom->Text()));
    });

    window.resize(560, 460);
    window.move(40, 40);
    window.show();
    QTimer::singleShot(300, &window, [&] {
        if (mode == QLatin1String("menu") || mode == QLatin1String("flat")) {
            menu.Track(window.mapToGlobal(QPoint(140, 30)));
            QTimer::singleShot(200, &menu, [&] {
                menu.setActiveAction(menu.actions()[1]);
                QAction* editAction = edit->menuAction();
                menu.setActiveAction(editAction);
                QTimer::singleShot(100, edit, [edit] { edit->setActiveAction(edit->actions()[3]); });
            });
        } else if (mode == QLatin1String("list")) {
            files->SetCurSel(14);
            files->SetFirstVisibleLine(9);
            files->SetHorizontalOffset(120);
        } else if (mode == QLatin1String("combo")) {
            zoom->setFocus();
            zoom->ShowDropDown(true);
            zoom->SetListLine(zoom->GetCurSel() + 1);
        }
    });
    return app.exec();
}
