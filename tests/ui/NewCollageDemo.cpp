// Shows the collage dialog over a grey window, to look at it under Xvfb:
//   new_collage_demo            "Create New Collage" with the defaults
//   new_collage_demo settings   "Collage Setting" with a filled-in collage
//   new_collage_demo busy       the busy window of long exports

#include "ui/dialogs/BusyDialog.h"
#include "ui/dialogs/NewCollageDialog.h"

#include "base/UserMessage.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetMessageHandler([](MessageKind, const QString& text) {
        QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Montara"), text);
    });
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("busy")) {
        BusyDialog busy(QStringLiteral("Saving the collage as a picture..."));
        busy.show();
        return app.exec();
    }
    newcollage::Values values;
    if (mode == QLatin1String("settings")) {
        values.caption = QStringLiteral("Collage Setting");
        values.width = 1600;
        values.height = 1200;
        values.colour = 0x00C08040;
        values.imagePath = QStringLiteral("/home/user/Pictures/holidays/beach at sunset.jpg");
        values.placement = 1;
    }
    NewCollageDialog dialog(values);
    QObject::connect(&dialog, &QDialog::finished, [&dialog](int result) {
        const newcollage::Values& v = dialog.Result();
        std::printf("%s %d x %d colour %06x placement %d path \"%s\"\n", result == QDialog::Accepted ? "OK" : "Cancel",
                    v.width, v.height, v.colour, v.placement, qPrintable(v.imagePath));
        QApplication::quit();
    });
    dialog.show();
    return app.exec();
}
