#pragma once

// Composition of the collage: the view buffer that the canvas window copies from, the
// background, every item through its transform and colour matrix, the selection handles,
// the screen hit regions, and the full-size composition for export. Headless: the canvas
// window, montara-tool, tests and benchmarks drive it the same way.
//
// Item pictures are kept per item at display size (CollageModel::CacheOf) and rebuilt
// whenever they are missing or no longer match their record, so a redraw that only
// moves or rotates items decodes nothing.
//
// While the selected item is dragged (BeginDrag .. EndDrag) the items below it and the
// items above it stay composed in two layers, and a frame costs a copy of the lower
// layer, the one item and a blend of the upper layer. Every Redraw with a selected item
// composes the same way (the items above it are laid over it as one layer), so a frame
// is pixel for pixel what a full Redraw gives.

#include "canvas/ExportPicture.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTransform>

#include <array>
#include <cstdint>

class CollageModel;
class QPainter;
namespace render {
struct PhotoBuildInfo;
}

class CanvasRenderer {
public:
    // The grey outside the canvas.
    static constexpr QRgb kOutsideGrey = 0xFFDDDDDD;
    // Handle colours (ARGB) and the size of a handle box.
    static constexpr QRgb kHandleBoxColour = 0xFF96C8FF;
    static constexpr QRgb kHandleEllipseColour = 0xFF00FF00;
    static constexpr int kHandleSize = 8;  // as gestures::kHandleSize
    static constexpr int kHandleCount = 12; // as gestures::kHandleCount
    // The largest view buffer made, in pixels.
    static constexpr std::int64_t kMaxViewPixels = std::int64_t(1) << 28;

    explicit CanvasRenderer(CollageModel& model);
    ~CanvasRenderer();
    CanvasRenderer(const CanvasRenderer&) = delete;
    CanvasRenderer& operator=(const CanvasRenderer&) = delete;

    // The folder of the library files (frames, masks, shapes, clip-art, brushes), ending
    // in "/". Until set, DataFolder().
    void SetDataFolder(const QString& folder);
    QString LibraryFolder() const;

    // ---- the view buffer ----
    // The window's client size; the view buffer is max(canvas x zoom, client) per side.
    void SetClientSize(QSize size);
    QSize ClientSize() const { return client_; }
    // The size the view buffer must have now (truncated), and whether it has it.
    QSize NeededViewSize() const;
    // Makes the view buffer the needed size (kept when it already is). False when it
    // cannot be had (larger than kMaxViewPixels or out of memory): Redraw then does
    // nothing.
    bool RebuildViewBuffer();
    const QImage& ViewBuffer() const { return view_; }
    // Scroll ranges computed by the last Redraw (width: horizontal, height: vertical).
    QSize ScrollRanges() const { return scrollRanges_; }

    // ---- composition ----
    // Composes the collage into the view buffer (rebuilt first when its size is no longer
    // right). Does nothing while there is no view buffer.
    void Redraw();
    bool PaintingNow() const { return paintingNow_; }

    void SetPreviewMode(bool on) { previewMode_ = on; }
    bool PreviewMode() const { return previewMode_; }
    bool ExportMode() const { return exportMode_; }

    // Keeps the layers below and above the selected item between redraws until EndDrag
    // (and frees them then). Harmless without a selection.
    void BeginDrag();
    void EndDrag();
    bool Dragging() const { return dragging_; }

    // ---- selection, set by the last Redraw ----
    // True when the last Redraw drew handles (a selected item, not in preview or export).
    bool HasSelectionFrame() const { return hasSelectionFrame_; }
    // The handle boxes in the selected item's unrotated local frame, numbered as the
    // interaction numbers them, and the transform to view coordinates.
    const std::array<QRect, kHandleCount>& HandleRects() const { return handleRects_; }
    const QTransform& SelectionTransform() const { return selectionTransform_; }
    // The first handle whose box, mapped by the selection transform, holds the view
    // point; -1 for none.
    int HandleAt(QPointF viewPoint) const;

    // ---- background ----
    // Loads the background picture named by the model (none when the path is empty or
    // names no readable file). Composition also reloads it when the path changed.
    void ReloadBackground();
    const QImage& BackgroundPicture() const { return background_; }

    // ---- export ----
    // Composes the collage at zoom 1, without handles, into the export bitmap
    // (canvasWidth x canvasHeight, 24-bit, bottom-up), decoding each photo at the size it
    // has there and keeping none of those pictures. The view, its caches, the zoom and
    // the scroll position are left as they were. False when the bitmap cannot be made.
    bool ComposeFullSize();
    ExportBitmap& Export() { return export_; }
    const ExportBitmap& Export() const { return export_; }

    // ---- counters for tests and benchmarks ----
    struct Counters {
        int photoDecodes = 0;  // photo pictures decoded
        std::int64_t decodedPixels = 0; // pixels those decodes produced (reduced decodes count less)
        int fullComposes = 0;  // Redraws that drew every item
        int dragFrames = 0;    // Redraws served from the drag layers
    };
    const Counters& Stats() const { return stats_; }
    void ResetStats() { stats_ = Counters{}; }

private:
    struct Pass; // one composition: target, zoom, mode

    void Compose(QImage& target, float zoom, bool exportMode);
    void ComposeView(int selected);
    void DrawFrame(int selected);
    void DrawBase(QPainter& painter, const Pass& pass);
    void DrawItems(QPainter& painter, const Pass& pass, int from, int to);
    void DrawItem(QPainter& painter, const Pass& pass, int index);
    void DrawSelectedAndAbove(int selected);
    void DrawHandles(QPainter& painter, const QTransform& transform, QSizeF size);
    void FillOutside(QPainter& painter, const Pass& pass);
    void UpdateScreenRegion(int index, float zoom);
    void BuildAboveLayer(int selected);
    QByteArray SceneSignature(int selected) const;
    void FreeLayers();
    void CountDecode(const render::PhotoBuildInfo& info);
    void EnsureBackground();

    CollageModel& model_;
    QString dataFolder_;
    bool dataFolderSet_ = false;
    QSize client_{0, 0};
    QImage view_;
    QSize scrollRanges_{0, 0};
    bool paintingNow_ = false;
    bool previewMode_ = false;
    bool exportMode_ = false;

    bool hasSelectionFrame_ = false;
    std::array<QRect, kHandleCount> handleRects_{};
    QTransform selectionTransform_;

    // Drag layers.
    bool dragging_ = false;
    bool layersValid_ = false;
    QImage below_;      // view after the background and the items below the selected one
    QImage above_;      // the items above it, on transparent; null when there are none
    QByteArray layersSignature_;

    // Background picture and its copy scaled for the view.
    QImage background_;
    QByteArray backgroundLoadedFrom_;
    bool backgroundLoaded_ = false;
    QImage backgroundScaled_; // Center and Stretch at the view's size

    ExportBitmap export_;
    Counters stats_;
};
