#pragma once

// The canvas window: holds the collage (CollageModel), composes it into the view buffer
// (CanvasRenderer) and copies the visible block of the buffer to the screen. Every edit of
// the main window ends in one of the operations below, which forward to the model; the
// model asks for a redraw whenever it changed, and the window composes at once.
//
// Notifications to the main window are the model's signals (Model()); see CollageModel.h.
// Scroll bars, mouse and keyboard editing and the preview come with the main window.

#include "canvas/CanvasRenderer.h"
#include "canvas/CollageModel.h"

#include <QWidget>

#include <cstdint>
#include <span>

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

    // ---- export ----
    // Composes the collage at zoom 1 into the export bitmap and redraws the view as it
    // was. False when the bitmap cannot be made (the collage is too large).
    bool ComposeFullSize();
    // ComposeFullSize, then writes the picture by its extension (ExportPicture.h). A
    // failure is told to the user; the result says whether the file was written.
    bool ExportPicture(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CollageModel model_;
    CanvasRenderer renderer_;
};
