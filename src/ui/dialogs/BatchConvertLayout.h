#pragma once

// The "Batch Convert" dialog without widgets: where each control and drawn label stands
// (window pixels, the caption bar included), the progress bar's fill, the texts, and the
// file filter of "Add Picture File" (turned into a Qt filter by QtFileFilter, which this
// header brings in). The dialog and its tests read the same tables.

#include "base/FileFilter.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

namespace batchconvert {

// Command numbers of the controls.
inline constexpr int kAddFileCommand = 10750;
inline constexpr int kConvertCommand = 10751;
inline constexpr int kBrowseCommand = 10752;

// Rectangles from the top-left corner to the bottom-right one (exclusive).
constexpr QRect Box(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

inline constexpr QSize kDialogSize{560, 375};
inline constexpr QRect kPictureLabel = Box(20, 35, 200, 50);
inline constexpr QRect kPictureList = Box(20, 50, 405, 310);
inline constexpr QRect kFormatLabel = Box(410, 35, 540, 50);
inline constexpr QRect kFormatList = Box(410, 50, 540, 310);
inline constexpr QRect kAddFileButton = Box(20, 320, 140, 340);
inline constexpr QRect kConvertButton = Box(145, 320, 265, 340);
inline constexpr QRect kPathLabel = Box(280, 323, 310, 340);
inline constexpr QRect kFolderBox = Box(310, 320, 470, 340);
inline constexpr int kFolderTextInset = 2;
inline constexpr QRect kBrowseButton = Box(470, 320, 540, 340);
inline constexpr QRect kProgressBar = Box(20, 345, 540, 355);
inline constexpr int kProgressLength = 520; // the fill's length for a finished list
// The window region's corners are quarters of a 16 x 16 ellipse: a radius of 8.
inline constexpr int kCornerEllipse = 16;

// The background is 230 grey (skin::kStatusBackground); the folder box and the progress bar
// use the frame colour (skin::kFrameColour).

// Texts.
inline constexpr char kCaption[] = "Batch Convert";
inline constexpr char kPictureLabelText[] = "Picture Files";
inline constexpr char kFormatLabelText[] = "Output Format";
inline constexpr char kPathLabelText[] = "Path";
inline constexpr char kAddFileText[] = "Add Picture File";
inline constexpr char kConvertText[] = "Convert";
inline constexpr char kBrowseText[] = "Browse...";
inline constexpr char kFolderCaption[] = "Select Output Directory";
inline constexpr char kFolderPrompt[] = "Output Directory";
inline constexpr char kConfirmTitle[] = "Confirm";
inline constexpr char kConfirmText[] = "Are you sure to stop converting?";
// The default output folder: these two levels under the documents folder.
inline constexpr char kProductFolder[] = "Montara";
inline constexpr char kConvertFolder[] = "Convert";

// The filter of "Add Picture File" in the "name|patterns|...||" form of a file-open dialog.
inline constexpr char kPictureFilter[] =
    "(all picture files)|*.jpg;*.jpeg;*.gif;*.bmp;*.png;*.pnm;*.tga;*.tif;*.tiff;*.pcx;*.wmf;*.emf|(*.jpg)|*.jpg|"
    "(*.jpeg)|*.jpeg|(*.gif)|*.gif|(*.bmp)|*.bmp|(*.png)|*.png|(*.pnm)|*.pnm|(*.tga)|*.tga|(*.tif)|*.tif|"
    "(*.tiff)|*.tiff|(*.pcx)|*.pcx|(*.wmf)|*.wmf|(*.emf)|*.emf||";

// Pixels of the progress bar filled after `done` of `files` files: done x 520 / files,
// in whole pixels; nothing for an empty list, never more than the bar.
constexpr int ProgressFill(int done, int files)
{
    if (files <= 0 || done <= 0)
        return 0;
    if (done >= files)
        return kProgressLength;
    return int(static_cast<long long>(done) * kProgressLength / files);
}

// The documents folder followed by "Montara/Convert/".
QString DefaultOutputFolder();

} // namespace batchconvert
