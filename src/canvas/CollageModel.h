#pragma once

// The collage: canvas settings, the item records in z-order with their kinds, their hit
// regions and caches, the picture buffers of buffer-made items, the current text and
// brush tool settings, the view state and the undo history. Headless: montara-tool,
// tests and benchmarks use it without a display; the canvas window (CanvasWnd) wraps
// one model, draws it and turns mouse, keyboard and commands into its operations.
//
// Notifications to the main window are signals:
//
//   signal             meaning
//   historyChanged     an undo step was recorded, the history moved or was emptied, or a
//                      press on the canvas ended: refresh Undo/Redo, delete, z-order
//   itemAdded          an item was added or a decoration applied, or the user was asked
//                      to select a photo; the brush tool is off now: refresh tool controls
//   effectApplied      an image effect was applied to the collage
//   redrawRequested    the collage changed and must be composed again
//   backgroundChanged  the background settings changed: reload the background picture
//   focusRequested     the canvas takes the keyboard focus
//   textBoxRequested   put this text into the main window's text box and focus it
//
// Leaving the preview and the context-menu request are the window's own signals.
// Their message numbers are internal; no user and no file sees them.

#include "canvas/ItemRecords.h"

#include <QImage>
#include <QObject>
#include <QPainterPath>
#include <QPoint>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

// Objects that exist only while the program runs, kept for one item (the record's cache
// slots stay 0). Whoever draws fills them; the model frees them with the item and drops
// them where an operation says so.
struct ItemCache {
    bool hasScreenRegion = false;
    QPainterPath screenRegion; // hit region in view coordinates, rebuilt by every redraw
    QImage displayImage;       // Photo: cropped, scaled (and masked) picture
    QImage frameImage;         // Photo: frame picture scaled to the item
    QImage picture;            // ClipArt, BrushStamp: picture at its natural size

    // What the pictures above were built from (the drawing code's own keys): a picture
    // whose key no longer matches its record is rebuilt. An empty key = never built.
    QByteArray displayKey;
    QByteArray frameKey;
    QByteArray pictureKey;
    // The item's picture as drawn: through its colour matrix and gamma, premultiplied.
    QImage drawnImage;
    QByteArray drawnKey;
};

// An owned 32-bit picture (blue, green, red, alpha per pixel, top row first) that
// ClipArt items with fromMemory = 1 name by index.
struct PictureBuffer {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 4 bytes
};

struct BrushToolSettings {
    std::int32_t entryIndex = -1; // brush library entry; < 0 = none chosen
    bool toolActive = false;
    float angle = 0.0f;
    std::int32_t opacity = 255; // 0..255
    std::int32_t size = 50;     // stamp width in canvas pixels
    std::uint32_t colour = 0;   // COLORREF
};

enum class BackgroundPlacement : std::int32_t { Center = 0, Tile = 1, Stretch = 2 };

class CollageModel : public QObject {
    Q_OBJECT

public:
    // Largest canvas side accepted from the size operation and from a project file.
    static constexpr std::int32_t kMaxCanvasSide = 32768;
    // Default bound of the memory held by undo snapshots (see SetHistoryBudget).
    static constexpr std::size_t kDefaultHistoryBudget = std::size_t(256) << 20;

    // Seams filled by later parts. Without them the operations that need them fail and
    // change nothing.
    //  - measures text as the text renderer draws it; an invalid QSize (negative) = failure
    using TextMeasurer = std::function<QSize(const LogFont& font, const QString& text)>;
    //  - size of a library entry's picture (clip-art library, brush library as loaded by
    //    the brush panel); an empty size = the entry cannot be read
    using EntrySizeReader = std::function<QSize(std::int32_t entryIndex)>;
    //  - the photo opening of a frame library entry as fractions (left, top, right,
    //    bottom), already usable (finite, inside 0..1, not empty); nothing = unreadable
    struct FrameOpening {
        float left = 0.0f;
        float top = 0.0f;
        float right = 1.0f;
        float bottom = 1.0f;
    };
    using FrameOpeningReader = std::function<std::optional<FrameOpening>(std::int32_t entryIndex)>;

    explicit CollageModel(QObject* parent = nullptr);
    ~CollageModel() override;

    void SetTextMeasurer(TextMeasurer measurer);
    void SetClipArtSizeReader(EntrySizeReader reader);
    void SetBrushSizeReader(EntrySizeReader reader);
    void SetFrameOpeningReader(FrameOpeningReader reader);
    //  - stored width and height of a shape library entry; empty = unreadable
    void SetShapeSizeReader(EntrySizeReader reader);

    // ---- canvas settings ----
    std::int32_t CanvasWidth() const { return canvasWidth_; }
    std::int32_t CanvasHeight() const { return canvasHeight_; }
    std::uint32_t BackgroundColor() const { return backgroundColor_; }
    std::int32_t BackgroundPlacementValue() const { return backgroundPlacement_; } // as stored, may be out of 0..2
    QString BackgroundImagePath() const { return QString::fromUtf8(backgroundImagePath_); }
    const QByteArray& BackgroundImagePathBytes() const { return backgroundImagePath_; } // as stored, < 261 bytes
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // Rounds both down to multiples of 4 and redraws. A side that is not positive after
    // rounding or exceeds kMaxCanvasSide is refused (false, nothing changes).
    bool SetCanvasSize(std::int32_t width, std::int32_t height);
    // Stores the three values and asks for the background to be reloaded. A path that does
    // not fit the 260-byte field with its terminator is refused with a message (false).
    bool SetBackground(std::uint32_t colour, BackgroundPlacement placement, const QString& imagePath);
    // Empties the history, frees every item, its caches and all regions. Picture buffers,
    // settings and the view stay.
    void ResetCanvas();

    // Stores the header fields as a project file holds them: no rounding, no reload. Used by
    // the project loader, which checks them first.
    void StoreLoadedSize(std::int32_t width, std::int32_t height);
    void StoreLoadedBackground(const QByteArray& pathBytes, std::uint32_t colour, std::int32_t placement);
    // Ends a project load: a complete one clears modified. Either way the items now held
    // become the state Undo returns to from the first step, the background is reloaded
    // and the collage redrawn, so the window shows what the model holds.
    void FinishLoad(bool complete);

    // ---- view: zoom and scroll, client coordinates ----
    float Zoom() const { return zoom_; }
    std::int32_t ScrollX() const { return scrollX_; }
    std::int32_t ScrollY() const { return scrollY_; }
    // Sets both scroll offsets to 0, stores the zoom, drops every photo's cached images and
    // redraws. A zoom that is not a positive finite number is refused.
    bool SetZoom(float zoom);
    void SetScroll(std::int32_t scrollX, std::int32_t scrollY);
    // Canvas position of a client point: trunc((client + scroll) / zoom) per axis.
    QPoint ClientToCanvas(std::int32_t clientX, std::int32_t clientY) const;
    // View position of a client point: client + scroll.
    QPoint ClientToView(std::int32_t clientX, std::int32_t clientY) const;
    // Where the canvas lies in the view: (0, 0, trunc(canvasWidth x zoom), trunc(canvasHeight x zoom)).
    QRect DisplayRect() const;
    // Scroll ranges for a client area: max(0, trunc(side x zoom - client side + 17)) per axis
    // (width = horizontal range, height = vertical range).
    QSize ScrollRanges(QSize clientSize) const;

    // ---- items ----
    int ItemCount() const { return static_cast<int>(items_.size()); }
    const CanvasItem& ItemAt(int index) const { return *items_[static_cast<std::size_t>(index)]; }
    // For interaction (moving, resizing, rotating): changes only the record.
    CanvasItem& ItemAt(int index) { return *items_[static_cast<std::size_t>(index)]; }
    ItemKind KindAt(int index) const { return itemKinds_[static_cast<std::size_t>(index)]; }
    const std::vector<ItemKind>& ItemKinds() const { return itemKinds_; }

    // Index of the first selected item, or -1.
    int SelectedIndex() const;
    // The first selected Photo, or nullptr.
    Photo* SelectedPhoto();
    const Photo* SelectedPhoto() const;
    void ClearSelection();
    void SelectOnly(int index); // clears every other item's selection

    // Appends a record read from a project file: cache table empty, a new region made from
    // its size, its regionIndex set to that region. No step, no notification.
    void AppendLoadedItem(CanvasItem item);

    // ---- the operations on items ----
    // The record AddPhoto makes for a photo, at canvas point (0, 0), not yet on the canvas;
    // nothing when a side is not positive or the path does not fit its field (reported).
    std::optional<Photo> NewPhotoRecord(const QString& path, std::int32_t sourceWidth, std::int32_t sourceHeight) const;
    bool AddPhoto(const QString& path, std::int32_t sourceWidth, std::int32_t sourceHeight,
                  std::int32_t clientX, std::int32_t clientY);
    bool AddClipArt(std::int32_t entryIndex, std::int32_t clientX, std::int32_t clientY);
    // Copies width x height x 4 bytes of argbPixels into a new picture buffer and adds a
    // ClipArt item showing it at (0, 0). No undo step.
    bool AddPictureItem(std::span<const std::uint8_t> argbPixels, std::int32_t width, std::int32_t height);
    // The result of an image effect: every item is replaced by one selected ClipArt item
    // showing a new picture buffer of width x height x 4 bytes at (0, 0), the collage is
    // redrawn and effectApplied sent. One undo step is recorded after the replacement;
    // when the items held before it are not the state Undo returns to (items added without
    // a step, such as a calendar), a step of them is recorded first, so that Undo always
    // brings them back. Picture buffers stay in their list.
    bool ReplaceItemsByPicture(std::span<const std::uint8_t> argbPixels, std::int32_t width, std::int32_t height);
    // The same, taking the pixels over instead of copying them (exactly width x height x 4 bytes).
    bool ReplaceItemsByPicture(std::vector<std::uint8_t>&& argbPixels, std::int32_t width, std::int32_t height);
    // A brush stamp at a client point from the tool settings. No step, no notification.
    bool AddBrushStamp(std::int32_t clientX, std::int32_t clientY);
    void SetToolSettings(std::int32_t entryIndex, bool toolActive, float angle, std::int32_t opacity,
                         std::int32_t size, std::uint32_t colour);
    const BrushToolSettings& ToolSettings() const { return tool_; }

    // Current text settings: one Text record, all zero at start.
    const Text& CurrentTextSettings() const { return textSettings_; }
    void SetCurrentTextSettings(const Text& settings) { textSettings_ = settings; }
    bool SetCurrentText(const QString& text); // false when it does not fit the 1000-byte field
    bool AddText();
    bool UpdateSelectedText();
    void ApplyTextSettings(const Text& settings);

    // ---- decorations of the first selected photo (a photo has a frame or a mask, not both) ----
    // Entry numbers of ApplyMask from kShapeNumberBase on are shapes (entry = number - base).
    static constexpr std::int32_t kShapeNumberBase = 5000;
    // Frame entry n: frameIndex n + 1, the opening stored, the mask removed, the base size
    // the source size divided by the opening's size (saturating), the crop kept. False
    // when the opening cannot be read (nothing changes) or no photo is selected (the user
    // is asked to select one).
    bool ApplyFrame(std::int32_t entry);
    // The opening of frame entry n through the installed reader; nothing without a reader,
    // for a negative entry or when the entry cannot be read.
    std::optional<FrameOpening> ReadFrameOpening(std::int32_t entry) const;
    // Photo mask number n (< kShapeNumberBase) or shape number: maskIndex number + 1, the
    // frame removed; a shape also crops the source centrally to its aspect ratio. False,
    // with nothing changed, for a negative number, a shape whose size cannot be read or a
    // photo without a source size; no photo selected: as ApplyFrame.
    bool ApplyMask(std::int32_t number);
    // A library entry released over the canvas at a client point: frames (category 0)
    // ApplyFrame, masks (1) ApplyMask(entry), shapes (5) ApplyMask(entry + 5000), clip-art
    // (2) AddClipArt at the point; other categories do nothing (false).
    bool DropLibrarySelection(std::int32_t category, std::int32_t entry, std::int32_t clientX, std::int32_t clientY);

    void DeleteSelected();
    // The tuning order of the panel; stored into the record's fields of the same names.
    void SetTuning(float scale, float offset, float saturation, float hue, float gamma, float rotation, bool reset);
    bool SetCrop(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

    // Z-order of the selected item. Each records a step; none sets modified.
    void BringForward();
    void SendBackward();
    void BringToFront();
    void SendToBack();

    // ---- undo and redo ----
    // The history holds the state after each step. The state before the first step is the
    // base: the loaded collage after a project load (FinishLoad), an empty one after
    // ResetCanvas. Undo of the first step returns to it; it is never a step itself, so
    // CanUndo stays HistoryIndex() >= 0.
    void RecordStep();
    // Records a step that also changed the canvas size (from `sizeBefore` to the current
    // size): undoing it puts the size back, redoing it sets it again. Other steps never
    // touch the canvas size, which is a collage setting.
    void RecordCanvasStep(QSize sizeBefore);
    void Undo();
    void Redo();
    void ClearHistory();
    bool CanUndo() const;
    bool CanRedo() const;
    int HistoryIndex() const { return historyIndex_; }
    int HistoryLength() const { return static_cast<int>(history_.size()); }
    // Snapshots beyond this many bytes are dropped from the oldest end; the oldest kept
    // snapshot then becomes the first state Undo can return to. At least the current
    // snapshot is always kept.
    void SetHistoryBudget(std::size_t bytes);
    std::size_t HistoryBytes() const { return historyBytes_; }
    bool HistoryTrimmed() const { return historyTrimmed_; }

    // ---- notifications for code that edits records directly (interaction, decorations) ----
    void RequestRedraw() { emit redrawRequested(); }
    // Switches the brush tool off and emits itemAdded (an item added, a decoration
    // applied, or the user asked to select a photo).
    void NotifyItemAdded();
    // Emits historyChanged without a step (the end of a press on the canvas).
    void NotifyEditState() { emit historyChanged(); }

    // ---- regions, caches, picture buffers ----
    int RegionCount() const { return static_cast<int>(regions_.size()); }
    // The region at an index; an empty path for an index that has none.
    const QPainterPath& RegionAt(std::int32_t index) const;
    // Rebuilds the region of an item in place from its record (the rectangle of
    // LocalRegionRect); nothing when its index names no region.
    void RebuildRegion(int itemIndex);

    ItemCache& CacheOf(int itemIndex);
    const ItemCache* FindCache(int itemIndex) const;
    void DropPhotoImages(int itemIndex); // display and frame image of one item
    void DropCaches();                   // display and frame images of every photo

    int PictureBufferCount() const { return static_cast<int>(pictureBuffers_.size()); }
    // nullptr for an index outside the list (a loaded item may name any index).
    const PictureBuffer* PictureBufferAt(std::int32_t index) const;
    // Adds a picture buffer read from a project file; returns its index in the list.
    std::int32_t AppendPictureBuffer(PictureBuffer buffer);

signals:
    void historyChanged();
    void itemAdded();
    void effectApplied();
    void redrawRequested();
    void backgroundChanged();
    void focusRequested();
    void textBoxRequested(const QString& text);

private:
    struct Snapshot {
        std::vector<std::uint8_t> bytes; // kind + record per item, cache slots 0
        QSize canvasBefore;              // valid for a step that changed the canvas size
        QSize canvasAfter;
        std::size_t Cost() const { return bytes.capacity() + sizeof(Snapshot); }
    };

    Snapshot TakeSnapshot() const;
    bool ItemsMatchCurrentStep() const; // the items are the snapshot at historyIndex_
    void Append(CanvasItem item);       // new region, cache-free, on top
    std::int32_t NewRegion(const QRect& rect);
    void FreeAllItems();
    void RemoveAt(int index);
    void Restore(const Snapshot& snapshot);
    void RestoreCanvasSize(QSize size);
    void TrimHistory();
    int FirstSelectedOf(ItemKind kind) const;
    std::int32_t CreationOrder() const { return ItemCount() - 1; }
    void ReportPathTooLong(const QString& path) const;
    void AskForPhoto();
    void FinishDecoration(int index);

    std::int32_t canvasWidth_ = 1024;
    std::int32_t canvasHeight_ = 768;
    std::uint32_t backgroundColor_ = 0xFFFFFF;
    QByteArray backgroundImagePath_;
    std::int32_t backgroundPlacement_ = 0;
    float zoom_ = 0.75f;
    std::int32_t scrollX_ = 0;
    std::int32_t scrollY_ = 0;
    bool modified_ = false;

    std::vector<std::unique_ptr<CanvasItem>> items_;
    std::vector<ItemKind> itemKinds_;
    std::vector<QPainterPath> regions_;
    std::unordered_map<const CanvasItem*, ItemCache> caches_;
    std::vector<PictureBuffer> pictureBuffers_;

    Text textSettings_;
    BrushToolSettings tool_;

    std::vector<Snapshot> history_;
    Snapshot base_; // the state before the first step
    int historyIndex_ = -1;
    std::size_t historyBytes_ = 0;
    std::size_t historyBudget_ = kDefaultHistoryBudget;
    bool historyTrimmed_ = false;

    TextMeasurer measureText_;
    EntrySizeReader clipArtSize_;
    EntrySizeReader brushSize_;
    FrameOpeningReader frameOpening_;
    EntrySizeReader shapeSize_;
};
