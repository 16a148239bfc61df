// Not a test: opens the crop dialog or the calendar dialog to look at under a real display.
//   editing_dialogs_demo crop PHOTO [PRESET_ID]
//   editing_dialogs_demo calendar [YEAR MONTH]
//   editing_dialogs_demo canvas PHOTO   a canvas with the photo; the crop command, then the
//                                       calendar command, then the canvas stays open
// The dialog stays open until it is closed.

#include "canvas/CanvasWnd.h"
#include "editing/CalendarDialog.h"
#include "editing/CalendarView.h"
#include "editing/CropDialog.h"
#include "editing/CropView.h"
#include "editing/CxImage.h"
#include "editing/ItemEditorCommands.h"
#include "editing/PictureFiles.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QApplication>

#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    StartImageLibrary();
    const QStringList args = QCoreApplication::arguments();
    int status = 2;
    if (args.size() >= 3 && args[1] == QLatin1String("crop")) {
        CropDialog dialog;
        if (!dialog.LoadPhoto(args[2])) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(args[2]));
            return 1;
        }
        dialog.show();
        if (args.size() >= 4) {
            const int id = args[3].toInt();
            if (SkinCheckButton* button = dialog.PresetButton(id)) {
                button->click();
                emit button->command(id);
            }
        }
        status = dialog.exec();
        if (const auto r = dialog.Result())
            std::printf("crop %d %d %d %d\n", r->left, r->top, r->right, r->bottom);
    } else if (args.size() >= 2 && args[1] == QLatin1String("calendar")) {
        std::vector<std::uint8_t> buffer(calendar::kCaptureBytes);
        CalendarDialog dialog(buffer);
        if (args.size() >= 4)
            dialog.View()->SetMonth({args[2].toInt(), args[3].toInt()});
        status = dialog.exec();
    } else if (args.size() >= 3 && args[1] == QLatin1String("canvas")) {
        CanvasWnd canvas;
        canvas.resize(900, 650);
        canvas.show();
        int width = 0;
        int height = 0;
        if (!PictureSize(args[2], width, height) || !canvas.AddPhoto(args[2], width, height, 40, 40))
            return 1;
        CropSelectedPhoto(canvas, &canvas);
        std::unique_ptr<std::uint8_t[]> buffer;
        AddMonthCalendar(canvas, &canvas, buffer);
        canvas.Model().ClearSelection();
        canvas.Redraw();
        status = app.exec();
    } else {
        std::fprintf(stderr, "usage: %s crop PHOTO [PRESET_ID] | calendar [YEAR MONTH]\n", argv[0]);
    }
    StopImageLibrary();
    return status == QDialog::Accepted ? 0 : status;
}
