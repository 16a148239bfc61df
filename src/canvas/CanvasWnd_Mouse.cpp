// The canvas window's mouse and keys: press, movement and release as the collage editor
// defines them, the cursors, Delete, Escape in the preview and the context menu.

#include "canvas/CanvasGestures.h"
#include "canvas/CanvasWnd.h"
#include "canvas/ItemPictures.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

namespace {

QPoint ClientPoint(const QMouseEvent* event)
{
    const QPointF p = event->position();
    return QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

// Hit tests use the centre of the pixel under the mouse, so a box (x, y, w, h) holds the
// pixels x .. x + w - 1 whatever its edges do.
QPointF PixelCentre(QPoint view)
{
    return QPointF(view.x() + 0.5, view.y() + 0.5);
}

} // namespace

void CanvasWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    lastPressTime_ = event->timestamp();
    Press(ClientPoint(event));
}

void CanvasWnd::mouseMoveEvent(QMouseEvent* event)
{
    Movement(ClientPoint(event));
}

void CanvasWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    Release();
}

void CanvasWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other; it is handled once
    // whether or not a press event came with it.
    if (event->button() == Qt::LeftButton && event->timestamp() == lastPressTime_)
        return;
    mousePressEvent(event);
}

int CanvasWnd::ItemAt(QPoint view) const
{
    const QPointF at = PixelCentre(view);
    for (int i = model_.ItemCount() - 1; i >= 0; --i) {
        const ItemCache* cache = model_.FindCache(i);
        if (cache && cache->hasScreenRegion && cache->screenRegion.contains(at))
            return i;
    }
    return -1;
}

void CanvasWnd::Press(QPoint client)
{
    // A drag whose release never came (the mouse was taken away) ends here first.
    if (moveDrag_ || handleDrag_ || stampDrag_)
        Release();
    setFocus(Qt::MouseFocusReason);
    if (renderer_.PreviewMode()) {
        emit leavePreviewRequested();
        return;
    }
    const QPoint view = model_.ClientToView(client.x(), client.y());

    if (model_.ToolSettings().toolActive) {
        // With the brush tool on a press only stamps (when a brush is chosen).
        if (model_.ToolSettings().entryIndex >= 0) {
            stampDrag_ = true;
            ShowCursor(stampCursor_);
            model_.AddBrushStamp(client.x(), client.y());
            model_.SetModified(true);
        }
    } else if (const int handle = renderer_.HandleAt(PixelCentre(view)); handle >= 0) {
        activeHandle_ = handle;
        handleDrag_ = true;
        press_ = client;
        // The layers below and above the item are made now, not at the first move.
        renderer_.BeginDrag();
        Redraw();
    } else if (const int hit = ItemAt(view); hit >= 0) {
        model_.SelectOnly(hit);
        moveDrag_ = true;
        press_ = client;
        CanvasItem& item = model_.ItemAt(hit);
        const DrawFields f = DrawFieldsOf(item);
        SetDragStart(item, f.left, f.top);
        renderer_.BeginDrag();
        Redraw();
        if (const Text* text = std::get_if<Text>(&item))
            emit textBoxRequested(text->text.Value());
    } else {
        model_.ClearSelection();
        Redraw();
    }
    model_.NotifyEditState();
}

void CanvasWnd::Movement(QPoint client)
{
    if (renderer_.PreviewMode())
        return;
    const QPoint view = model_.ClientToView(client.x(), client.y());

    if (stampDrag_) {
        stampCounter_ = gestures::NextStampCounter(stampCounter_);
        if (gestures::StampsAt(stampCounter_))
            model_.AddBrushStamp(client.x(), client.y());
    }

    // The cursor: the stamp while the brush tool is on, the grabbed handle's while a
    // handle is dragged, a handle's over a handle, the move cross over the selected item
    // and while moving, else the arrow.
    QCursor cursor(Qt::ArrowCursor);
    if (model_.ToolSettings().toolActive) {
        cursor = stampCursor_;
    } else if (handleDrag_) {
        cursor = HandleCursor(activeHandle_);
    } else if (const int handle = renderer_.HandleAt(PixelCentre(view)); handle >= 0) {
        cursor = HandleCursor(handle);
    } else if (moveDrag_) {
        cursor = QCursor(Qt::SizeAllCursor);
    } else if (const int selected = model_.SelectedIndex(); selected >= 0) {
        const ItemCache* cache = model_.FindCache(selected);
        if (cache && cache->hasScreenRegion && cache->screenRegion.contains(PixelCentre(view)))
            cursor = QCursor(Qt::SizeAllCursor);
    }
    ShowCursor(cursor);

    if (handleDrag_) {
        if (activeHandle_ >= gestures::kFirstRotationHandle)
            RotateSelected(view);
        else
            ResizeSelected(view);
    } else if (moveDrag_) {
        MoveSelected(client);
    }
}

void CanvasWnd::RotateSelected(QPoint view)
{
    const int selected = model_.SelectedIndex();
    if (selected < 0)
        return;
    CanvasItem& item = model_.ItemAt(selected);
    const std::optional<float> angle = gestures::RotationAngle(DrawFieldsOf(item), model_.Zoom(), activeHandle_, view);
    if (!angle)
        return;
    SetAngle(item, *angle);
    Redraw();
}

void CanvasWnd::ResizeSelected(QPoint view)
{
    const int selected = model_.SelectedIndex();
    if (selected < 0)
        return;
    CanvasItem& item = model_.ItemAt(selected);
    const DrawFields before = DrawFieldsOf(item);
    const std::optional<gestures::ResizeResult> result = gestures::Resize(before, model_.Zoom(), activeHandle_, view);
    if (!result)
        return;
    SetDrawScale(item, result->scale);
    SetPosition(item, result->posX, result->posY);
    // A photo's pictures are made at its display size: only a new size drops them, and
    // only this item's picture is made again.
    if (model_.KindAt(selected) == ItemKind::Photo
        && render::DisplaySize(before, model_.Zoom()) != render::DisplaySize(DrawFieldsOf(item), model_.Zoom()))
        model_.DropPhotoImages(selected);
    Redraw();
}

void CanvasWnd::MoveSelected(QPoint client)
{
    const int selected = model_.SelectedIndex();
    if (selected < 0)
        return;
    CanvasItem& item = model_.ItemAt(selected);
    const QPoint at = gestures::MovedPosition(DragStartOf(item), model_.Zoom(), press_, client);
    SetPosition(item, at.x(), at.y());
    Redraw();
}

void CanvasWnd::Release()
{
    if (stampDrag_) {
        stampDrag_ = false;
        model_.RecordStep();
    }
    if (moveDrag_) {
        model_.RecordStep();
        model_.SetModified(true);
        moveDrag_ = false;
        renderer_.EndDrag();
        Redraw();
    }
    if (handleDrag_) {
        handleDrag_ = false;
        const int selected = model_.SelectedIndex();
        if (selected >= 0 && model_.KindAt(selected) == ItemKind::Photo)
            model_.DropPhotoImages(selected);
        model_.RecordStep();
        model_.SetModified(true);
        renderer_.EndDrag();
        Redraw();
    }
}

void CanvasWnd::ShowCursor(const QCursor& cursor)
{
    const QCursor now = this->cursor();
    const bool same = now.shape() == cursor.shape()
        && (cursor.shape() != Qt::BitmapCursor || now.pixmap().cacheKey() == cursor.pixmap().cacheKey());
    if (same)
        return;
    setCursor(cursor);
}

QCursor CanvasWnd::HandleCursor(int handle) const
{
    if (handle < 0 || handle >= gestures::kHandleCount)
        return QCursor(Qt::ArrowCursor);
    switch (gestures::kHandleSpecs[std::size_t(handle)].cursor) {
    case gestures::HandleCursor::SizeNwse:
        return QCursor(Qt::SizeFDiagCursor);
    case gestures::HandleCursor::SizeWe:
        return QCursor(Qt::SizeHorCursor);
    case gestures::HandleCursor::SizeNesw:
        return QCursor(Qt::SizeBDiagCursor);
    case gestures::HandleCursor::SizeNs:
        return QCursor(Qt::SizeVerCursor);
    case gestures::HandleCursor::Rotate:
        break;
    }
    return rotationCursor_;
}

bool CanvasWnd::event(QEvent* event)
{
    // Delete and Escape belong to the canvas while it has the focus, before any shortcut.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier
            && (key->key() == Qt::Key_Delete || (key->key() == Qt::Key_Escape && renderer_.PreviewMode()))) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void CanvasWnd::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        if (!moveDrag_ && !handleDrag_) // the dragged item stays until the drag ends
            DeleteSelected();
        return;
    }
    if (event->key() == Qt::Key_Escape && renderer_.PreviewMode()) {
        emit leavePreviewRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CanvasWnd::contextMenuEvent(QContextMenuEvent* event)
{
    emit contextMenuRequested(event->globalPos());
    event->accept();
}
