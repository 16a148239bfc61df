#include "editing/ItemEditorCommands.h"

#include "base/UserMessage.h"
#include "canvas/CanvasScrollBar.h"
#include "canvas/CanvasWnd.h"
#include "editing/CalendarDialog.h"
#include "editing/CalendarSheet.h"
#include "editing/CropDialog.h"

#include <QGuiApplication>

#include <cmath>

void CropSelectedPhoto(CanvasWnd& canvas, QWidget* parent)
{
    const Photo* photo = canvas.SelectedPhoto();
    if (!photo) {
        ShowUserMessage(QStringLiteral("Please select a photo on the canvas."));
        return;
    }
    const QString path = photo->path.Value();
    CropDialog dialog(parent);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool loaded = dialog.LoadPhoto(path);
    QGuiApplication::restoreOverrideCursor();
    if (!loaded) {
        ShowUserMessage(QStringLiteral("The photo \"%1\" cannot be read.").arg(path));
        return;
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<crop::Rect> result = dialog.Result();
    if (result && result->Width() > 0 && result->Height() > 0)
        canvas.SetCrop(result->left, result->top, result->right, result->bottom);
}

QPoint VisibleCanvasCentre(const CollageModel& model, QSize clientSize)
{
    const QRect display = model.DisplayRect();
    QRect shown = display.intersected(QRect(QPoint(model.ScrollX(), model.ScrollY()), clientSize));
    if (shown.isEmpty())
        shown = display;
    const float zoom = model.Zoom();
    const float x = (static_cast<float>(shown.left()) + static_cast<float>(shown.width()) / 2.0f) / zoom;
    const float y = (static_cast<float>(shown.top()) + static_cast<float>(shown.height()) / 2.0f) / zoom;
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

void AddMonthCalendar(CanvasWnd& canvas, QWidget* parent, std::unique_ptr<std::uint8_t[]>& buffer)
{
    if (!buffer)
        buffer = std::make_unique<std::uint8_t[]>(calendar::kCaptureBytes);
    const std::span<std::uint8_t> bytes(buffer.get(), calendar::kCaptureBytes);
    CalendarDialog dialog(bytes, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    CollageModel& model = canvas.Model();
    QSize client = canvas.size(); // less the scroll bars that show
    if (canvas.VerticalBar().isVisible())
        client.rwidth() -= canvas.VerticalBar().width();
    if (canvas.HorizontalBar().isVisible())
        client.rheight() -= canvas.HorizontalBar().height();
    const QPoint centre = VisibleCanvasCentre(model, client);
    if (!canvas.AddPictureItem(bytes, calendar::kCaptureSize, calendar::kCaptureSize))
        return;
    // The new item is the last one; stand it with its centre on the visible centre.
    CanvasItem& item = model.ItemAt(model.ItemCount() - 1);
    if (auto* clipArt = std::get_if<ClipArt>(&item)) {
        clipArt->posX = centre.x() - calendar::kCaptureSize / 2;
        clipArt->posY = centre.y() - calendar::kCaptureSize / 2;
        canvas.Redraw();
    }
}
