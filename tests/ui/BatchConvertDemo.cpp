// The "Batch Convert" dialog filled with pictures, for looking at it under a real X server.
// Not part of the program.
//
//   batch_convert_demo OUTPUT_FOLDER [--convert [--quit]] PICTURE...
//
// Lists the pictures, chooses the output folder (as "Browse..." would; "-" keeps the default
// folder and the real folder chooser) and, with --convert,
// starts converting them to PNG with a pause of 700 ms after each file, so that the progress
// bar can be seen moving; with --quit the window closes when that run has ended.

#include "editing/BatchConvertJob.h"
#include "editing/CxImage.h"
#include "ui/CMstListBox.h"
#include "ui/dialogs/BatchConvertDialog.h"
#include "ui/dialogs/BatchConvertLayout.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    StartImageLibrary();
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty())
        return 2;
    const QString output = arguments.takeFirst();
    const bool convert = arguments.removeAll(QStringLiteral("--convert")) > 0;
    const bool quit = arguments.removeAll(QStringLiteral("--quit")) > 0;

    int status = 0;
    {
        BatchConvertDialog dialog;
        if (output != QLatin1String("-")) {
            dialog.SetFolderChooser([output](QWidget*, const QString&) { return output; });
            dialog.OnCommand(batchconvert::kBrowseCommand);
        }
        dialog.AddFiles(arguments);
        dialog.FormatList()->SetCurSel(3); // PNG
        dialog.Job().SetPauseAfterFile(700);
        if (quit)
            QObject::connect(&dialog.Job(), &BatchConvertJob::finished, &dialog, &QDialog::accept);
        if (convert)
            QTimer::singleShot(300, &dialog, [&dialog] { dialog.OnCommand(batchconvert::kConvertCommand); });
        status = dialog.exec() == QDialog::Accepted ? 0 : 1;
    }
    StopImageLibrary();
    return status;
}
