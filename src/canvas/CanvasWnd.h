#pragma once

// The canvas window: holds the collage (CollageModel), composes it into the view buffer
// (CanvasRenderer) and copies the visible block of the buffer to the screen. Every edit of
// the main window ends in one of the operations below, which forward to the model; the
// model asks for a redraw whenever it changed, and the window composes at once.
//
// Mouse and keys edit the collage (CanvasWnd_Mouse.cpp): a press selects the upper item
// under the cursor or grabs one of the twelve handles of the selected item, a drag moves,
// resizes about the centre or rotates it, and its release records one undo step; with the
// brush tool on, a press and every third move stamp the brush. Delete deletes the selected
// item. The arithmetic is gestures:: (CanvasGestures.h). Drags draw from the renderer's
// kept layers (BeginDrag .. EndDrag), so a frame costs two copies and one item.
//
// The window has its own two scroll bars (CanvasScrollBar, CanvasWnd_Scroll.cpp), hidden
// while there is nothing to scroll and in the preview; the mouse wheel scrolls by a page
// (Shift: sideways).
//
// Notifications to the main window are this window's signals (the model's are forwarded):
//
//   signal                 meaning
//   historyChanged         an undo step was recorded or the history moved, or a press on
//                          the canvas ended: refresh Undo/Redo, delete and z-order controls
//   itemAdded              an item was added or a decoration applied, or the user was asked
//                          to select a photo; the brush tool is off: refresh tool controls
//   effectApplied          an image effect was applied
//   textBoxRequested       a Text item was selected or added: put its text into the text
//                          box, select all of it, caret at the end, focus the box
//   leavePreviewRequested  a press or Escape in the preview
//   contextMenuRequested   show the canvas's context menu at this global position

#include "canvas/CanvasRenderer.h"
#include "canvas/CollageModel.h"

#include <QCursor>
#include <QWidget>

#include <cstdint>
#include <span>

class CanvasScrollBar;

class CanvasWnd : public QWidget {
    Q_OBJECT

public:
    explicit CanvasWnd(QWidget* parent = nullptr);
    ~CanvasWnd() override;

    CollageModel& Model() { return model_; }
    const CollageModel& Model() const { return model_; }
    CanvasRenderer& Renderer() { return renderer_; }
    const CanvasRenderer& Renderer() const { return renderer_; }

    // The folder of the library files the canvas draws from (default DataFolder()).
    void SetDataFolder(const QString& folder);

    // ---- the operations on the collage ----
    bool SetCanvasSize(std::int32_t width, std::int32_t height) { return model_.SetCanvasSize(width, height); }
    bool SetBackground(std::uint32_t colour, BackgroundPlacement placement, const QString& imagePath)
    {
        return model_.SetBackground(colour, placement, imagePath);
    }
    void ResetCanvas();
    bool AddPhoto(const QString& path, std::int32_t sourceWidth, std::int32_t sourceHeight, std::int32_t clientX,
                  std::int32_t clientY)
    {
        return model_.AddPhoto(path, sourceWidth, sourceHeight, clientX, clientY);
    }
    bool AddClipArt(std::int32_t entryIndex, std::int32_t clientX, std::int32_t clientY)
    {
        return model_.AddClipArt(entryIndex, clientX, clientY);
    }
    bool AddPictureItem(std::span<const std::uint8_t> argbPixels, std::int32_t width, std::int32_t height)
    {
        return model_.AddPictureItem(argbPixels, width, height);
    }
    bool AddBrushStamp(std::int32_t clientX, std::int32_t clientY) { return model_.AddBrushStamp(clientX, clientY); }
    void SetToolSettings(std::int32_t entryIndex, bool toolActive, float angle, std::int32_t opacity, std::int32_t size,
                         std::uint32_t colour)
    {
        model_.SetToolSettings(entryIndex, toolActive, angle, opacity, size, colour);
    }
    bool AddText() { return model_.AddText(); }
    bool UpdateSelectedText() { return model_.UpdateSelectedText(); }
    void ApplyTextSettings(const Text& settings) { model_.ApplyTextSettings(settings); }
    int SelectedIndex() const { return model_.SelectedIndex(); }
    Photo* SelectedPhoto() { return model_.SelectedPhoto(); }
    void DeleteSelected() { model_.DeleteSelected(); }
    void SetTuning(float scale, float offset, float saturation, float hue, float gamma, float rotation, bool reset)
    {
        model_.SetTuning(scale, offset, saturation, hue, gamma, rotation, reset);
    }
    bool SetCrop(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
    {
        return model_.SetCrop(left, top, right, bottom);
    }
    bool SetZoom(float zoom) { return model_.SetZoom(zoom); }
    void SetScroll(std::int32_t scrollX, std::int32_t scrollY);
    void BringForward() { model_.BringForward(); }
    void SendBackward() { model_.SendBackward(); }
    void BringToFront() { model_.BringToFront(); }
    void SendToBack() { model_.SendToBack(); }
    void Undo() { model_.Undo(); }
    void Redo() { model_.Redo(); }

    // ---- drawing ----
    // Composes the collage into the view buffer and repaints the window.
    void Redraw();
    void DropCaches() { model_.DropCaches(); }
    void SetPreviewMode(bool on);
    bool PreviewMode() const { return renderer_.PreviewMode(); }
    // The selected item is being dragged: frames come from the kept layers.
    void BeginDrag() { renderer_.BeginDrag(); }
    void EndDrag() { renderer_.EndDrag(); }

    // ---- scrolling ----
    // Applies a scroll-bar code (gestures::ScrollCode) to one axis, clamped to its range,
    // and shows the canvas there.
    void Scroll(Qt::Orientation orientation, int code, std::int32_t value = 0);
    CanvasScrollBar& VerticalBar() { return *vbar_; }
    CanvasScrollBar& HorizontalBar() { return *hbar_; }

    // ---- interaction state (read by tests) ----
    bool MoveDragging() const { return moveDrag_; }
    bool HandleDragging() const { return handleDrag_; }
    bool StampDragging() const { return stampDrag_; }
    int ActiveHandle() const { return activeHandle_; }
    std::int32_t StampCounter() const { return stampCounter_; }

    // ---- export ----
    // Composes the collage at zoom 1 into the export bitmap and redraws the view as it
    // was. False when the bitmap cannot be made (the collage is too large).
    bool ComposeFullSize();
    // ComposeFullSize, then writes the picture by its extension (ExportPicture.h). A
    // failure is told to the user; the result says whether the file was written.
    bool ExportPicture(const QString& path);

signals:
    void historyChanged();
    void itemAdded();
    void effectApplied();
    void textBoxRequested(const QString& text);
    void leavePreviewRequested();
    void contextMenuRequested(QPoint globalPosition);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // CanvasWnd_Mouse.cpp
    void Press(QPoint client);
    void Movement(QPoint client);
    void Release();
    int ItemAt(QPoint view) const;
    void RotateSelected(QPoint view);
    void ResizeSelected(QPoint view);
    void MoveSelected(QPoint client);
    void ShowCursor(const QCursor& cursor);
    QCursor HandleCursor(int handle) const;
    // CanvasWnd_Scroll.cpp
    void UpdateScrollBars(bool resized);

    CollageModel model_;
    CanvasRenderer renderer_;
    CanvasScrollBar* vbar_ = nullptr; // children of this window
    CanvasScrollBar* hbar_ = nullptr;
    QCursor stampCursor_;
    QCursor rotationCursor_;

    bool moveDrag_ = false;
    bool handleDrag_ = false;
    bool stampDrag_ = false;
    int activeHandle_ = 0;
    QPoint press_;                 // client position of the press
    std::int32_t stampCounter_ = 0; // moves while stamping, across drags
    int wheelRest_ = 0;             // wheel delta not yet turned into pages
    quint64 lastPressTime_ = 0;     // timestamp of the last left press handled
};
