#pragma once

// The two item-editor commands the main window routes to the canvas:
//
// CropSelectedPhoto - the first selected photo in the crop dialog; on "Crop" its rectangle in
//   photo pixels goes to the canvas's SetCrop. With no photo selected: "Please select a photo
//   on the canvas." A photo file that cannot be read is told to the user and nothing changes.
//
// AddMonthCalendar - the calendar dialog; on OK the 260 x 260 capture is written into the
//   calendar buffer (allocated on first use; the caller owns it) and added to the collage as a
//   picture item, centred in the part of the canvas the window shows.

#include <QPoint>
#include <QSize>

#include <cstdint>
#include <memory>

class CanvasWnd;
class CollageModel;
class QWidget;

void CropSelectedPhoto(CanvasWnd& canvas, QWidget* parent);
void AddMonthCalendar(CanvasWnd& canvas, QWidget* parent, std::unique_ptr<std::uint8_t[]>& buffer);

// The centre, in canvas pixels, of the part of the canvas a client area of this size shows at
// the model's zoom and scroll position (the whole canvas's centre when none of it shows).
QPoint VisibleCanvasCentre(const CollageModel& model, QSize clientSize);
