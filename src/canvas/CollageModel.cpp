#include "canvas/CollageModel.h"

#include "base/LittleEndian.h"
#include "base/UserMessage.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const QPainterPath kNoRegion;

bool Finite(float v)
{
    return std::isfinite(v);
}

// The first position of an item placed at a client point, as the photo and clip-art
// operations compute it.
float ClientToCanvasF(std::int32_t client, std::int32_t scroll, float zoom)
{
    return static_cast<float>(static_cast<std::int64_t>(client) + scroll) / zoom;
}

// A selected, unscaled clip-art item at the canvas origin drawing picture buffer `index`.
ClipArt MemoryPictureRecord(std::int32_t index, std::int32_t width, std::int32_t height)
{
    ClipArt r;
    r.sourceIndex = index;
    r.sourceWidth = width;
    r.sourceHeight = height;
    r.opacity = 1.0f;
    r.selected = 1;
    r.fromMemory = 1;
    r.scale = 1.0f;
    r.hitScale = 1.0f;
    r.posX = 0;
    r.posY = 0;
    r.tuning = Tuning::Created();
    return r;
}

} // namespace

CollageModel::CollageModel(QObject* parent)
    : QObject(parent)
{
}

CollageModel::~CollageModel() = default;

void CollageModel::SetTextMeasurer(TextMeasurer measurer)
{
    measureText_ = std::move(measurer);
}

void CollageModel::SetClipArtSizeReader(EntrySizeReader reader)
{
    clipArtSize_ = std::move(reader);
}

void CollageModel::SetBrushSizeReader(EntrySizeReader reader)
{
    brushSize_ = std::move(reader);
}

// ---- canvas settings ----

bool CollageModel::SetCanvasSize(std::int32_t width, std::int32_t height)
{
    const std::int32_t w = width / 4 * 4;
    const std::int32_t h = height / 4 * 4;
    if (w <= 0 || h <= 0 || w > kMaxCanvasSide || h > kMaxCanvasSide)
        return false;
    canvasWidth_ = w;
    canvasHeight_ = h;
    emit redrawRequested();
    return true;
}

bool CollageModel::SetBackground(std::uint32_t colour, BackgroundPlacement placement, const QString& imagePath)
{
    const QByteArray bytes = imagePath.toUtf8();
    if (bytes.size() >= kPathFieldSize || bytes.contains('\0')) {
        ReportPathTooLong(imagePath);
        return false;
    }
    backgroundColor_ = colour;
    backgroundPlacement_ = static_cast<std::int32_t>(placement);
    backgroundImagePath_ = bytes;
    emit backgroundChanged();
    emit redrawRequested();
    return true;
}

void CollageModel::ResetCanvas()
{
    ClearHistory();
    FreeAllItems();
    regions_.clear();
    base_ = Snapshot{};
}

void CollageModel::StoreLoadedSize(std::int32_t width, std::int32_t height)
{
    canvasWidth_ = width;
    canvasHeight_ = height;
}

void CollageModel::StoreLoadedBackground(const QByteArray& pathBytes, std::uint32_t colour, std::int32_t placement)
{
    backgroundImagePath_ = pathBytes.left(kPathFieldSize);
    backgroundColor_ = colour;
    backgroundPlacement_ = placement;
}

void CollageModel::FinishLoad(bool complete)
{
    if (complete)
        modified_ = false;
    // Undo of the first edit after a load returns to the loaded collage, not to an empty
    // one (which a save would then write over the project).
    base_ = TakeSnapshot();
    emit backgroundChanged();
    emit redrawRequested();
}

// ---- view ----

bool CollageModel::SetZoom(float zoom)
{
    if (!Finite(zoom) || zoom <= 0.0f)
        return false;
    scrollX_ = 0;
    scrollY_ = 0;
    zoom_ = zoom;
    DropCaches();
    emit redrawRequested();
    return true;
}

void CollageModel::SetScroll(std::int32_t scrollX, std::int32_t scrollY)
{
    scrollX_ = scrollX;
    scrollY_ = scrollY;
}

QPoint CollageModel::ClientToCanvas(std::int32_t clientX, std::int32_t clientY) const
{
    return QPoint(TruncToInt(ClientToCanvasF(clientX, scrollX_, zoom_)), TruncToInt(ClientToCanvasF(clientY, scrollY_, zoom_)));
}

QPoint CollageModel::ClientToView(std::int32_t clientX, std::int32_t clientY) const
{
    return QPoint(TruncToInt(static_cast<double>(clientX) + scrollX_), TruncToInt(static_cast<double>(clientY) + scrollY_));
}

QRect CollageModel::DisplayRect() const
{
    return QRect(0, 0, TruncToInt(static_cast<float>(canvasWidth_) * zoom_), TruncToInt(static_cast<float>(canvasHeight_) * zoom_));
}

QSize CollageModel::ScrollRanges(QSize clientSize) const
{
    const auto range = [this](std::int32_t side, int client) {
        return std::max(0, TruncToInt(static_cast<float>(side) * zoom_ - static_cast<float>(client) + 17.0f));
    };
    return QSize(range(canvasWidth_, clientSize.width()), range(canvasHeight_, clientSize.height()));
}

// ---- items ----

int CollageModel::SelectedIndex() const
{
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (IsSelected(*items_[i]))
            return static_cast<int>(i);
    }
    return -1;
}

int CollageModel::FirstSelectedOf(ItemKind kind) const
{
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (itemKinds_[i] == kind && IsSelected(*items_[i]))
            return static_cast<int>(i);
    }
    return -1;
}

Photo* CollageModel::SelectedPhoto()
{
    const int i = FirstSelectedOf(ItemKind::Photo);
    return i < 0 ? nullptr : &std::get<Photo>(ItemAt(i));
}

const Photo* CollageModel::SelectedPhoto() const
{
    const int i = FirstSelectedOf(ItemKind::Photo);
    return i < 0 ? nullptr : &std::get<Photo>(ItemAt(i));
}

void CollageModel::ClearSelection()
{
    for (auto& item : items_)
        SetSelected(*item, false);
}

void CollageModel::SelectOnly(int index)
{
    ClearSelection();
    if (index >= 0 && index < ItemCount())
        SetSelected(ItemAt(index), true);
}

std::int32_t CollageModel::NewRegion(const QRect& rect)
{
    QPainterPath path;
    if (!rect.isEmpty())
        path.addRect(QRectF(rect));
    regions_.push_back(std::move(path));
    return static_cast<std::int32_t>(regions_.size() - 1);
}

void CollageModel::Append(CanvasItem item)
{
    SetRegionIndex(item, NewRegion(LocalRegionRect(item)));
    itemKinds_.push_back(KindOf(item));
    items_.push_back(std::make_unique<CanvasItem>(std::move(item)));
}

void CollageModel::AppendLoadedItem(CanvasItem item)
{
    Append(std::move(item));
}

void CollageModel::FreeAllItems()
{
    caches_.clear();
    items_.clear();
    itemKinds_.clear();
}

void CollageModel::RemoveAt(int index)
{
    const auto at = static_cast<std::ptrdiff_t>(index);
    caches_.erase(items_[static_cast<std::size_t>(index)].get());
    items_.erase(items_.begin() + at);
    itemKinds_.erase(itemKinds_.begin() + at);
}

void CollageModel::ReportPathTooLong(const QString& path) const
{
    ShowUserMessage(QStringLiteral("The path is too long to be kept in the collage (at most %1 bytes):\n%2")
                        .arg(kPathFieldSize - 1)
                        .arg(path));
}

std::optional<Photo> CollageModel::NewPhotoRecord(const QString& path, std::int32_t sourceWidth,
                                                 std::int32_t sourceHeight) const
{
    if (sourceWidth <= 0 || sourceHeight <= 0)
        return std::nullopt;
    Photo r;
    if (!r.path.Set(path)) {
        ReportPathTooLong(path);
        return std::nullopt;
    }
    r.creationOrder = CreationOrder();
    r.opacity = 1.0f;
    r.frameIndex = 0;
    r.frameLeft = 0.05f;
    r.frameTop = 0.05f;
    r.frameRight = 0.95f;
    r.frameBottom = 0.95f;
    r.cropLeft = 0;
    r.cropTop = 0;
    r.cropRight = sourceWidth;
    r.cropBottom = sourceHeight;
    r.maskIndex = 0;
    r.selected = 1;
    r.angle = 0.0f;
    r.sourceWidth = sourceWidth;
    r.sourceHeight = sourceHeight;
    r.baseWidth = sourceWidth;
    r.baseHeight = sourceHeight;
    const std::int64_t sides = std::int64_t(canvasWidth_) + canvasHeight_;
    const std::int64_t source = 3 * std::int64_t(sourceWidth) + 3 * std::int64_t(sourceHeight);
    r.drawScale = static_cast<float>(sides) / static_cast<float>(source);
    r.hitScale = r.drawScale;
    r.posX = 0;
    r.posY = 0;
    r.dragX = 0;
    r.dragY = 0;
    r.tuning = Tuning::Created();
    return r;
}

bool CollageModel::AddPhoto(const QString& path, std::int32_t sourceWidth, std::int32_t sourceHeight,
                            std::int32_t clientX, std::int32_t clientY)
{
    std::optional<Photo> made = NewPhotoRecord(path, sourceWidth, sourceHeight);
    if (!made)
        return false;
    Photo& r = *made;
    const QPoint at = ClientToCanvas(clientX, clientY);
    r.posX = at.x();
    r.posY = at.y();

    ClearSelection();
    Append(std::move(r));
    RecordStep();
    emit redrawRequested();
    modified_ = true;
    NotifyItemAdded();
    emit focusRequested();
    return true;
}

bool CollageModel::AddClipArt(std::int32_t entryIndex, std::int32_t clientX, std::int32_t clientY)
{
    if (!clipArtSize_)
        return false;
    const QSize size = clipArtSize_(entryIndex);
    if (size.isEmpty())
        return false;
    ClipArt r;
    r.reserved = 0;
    r.angle = 0.0f;
    r.sourceIndex = entryIndex;
    r.sourceWidth = size.width();
    r.sourceHeight = size.height();
    r.opacity = 1.0f;
    r.selected = 1;
    r.fromMemory = 0;
    r.scale = 1.0f;
    r.hitScale = 1.0f;
    const QPoint at = ClientToCanvas(clientX, clientY);
    r.posX = at.x();
    r.posY = at.y();
    r.tuning = Tuning::Created();

    ClearSelection();
    Append(std::move(r));
    RecordStep();
    emit redrawRequested();
    modified_ = true;
    NotifyItemAdded();
    return true;
}

bool CollageModel::AddPictureItem(std::span<const std::uint8_t> argbPixels, std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0 || width > kMaxCanvasSide || height > kMaxCanvasSide)
        return false;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    if (argbPixels.size() < bytes)
        return false;
    PictureBuffer buffer;
    buffer.width = width;
    buffer.height = height;
    buffer.pixels.assign(argbPixels.begin(), argbPixels.begin() + static_cast<std::ptrdiff_t>(bytes));
    pictureBuffers_.push_back(std::move(buffer));

    ClearSelection();
    Append(MemoryPictureRecord(std::int32_t(pictureBuffers_.size() - 1), width, height));
    emit redrawRequested();
    modified_ = true;
    NotifyItemAdded();
    return true;
}

bool CollageModel::ReplaceItemsByPicture(std::span<const std::uint8_t> argbPixels, std::int32_t width,
                                         std::int32_t height)
{
    if (width <= 0 || height <= 0 || width > kMaxCanvasSide || height > kMaxCanvasSide)
        return false;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    if (argbPixels.size() < bytes)
        return false;
    return ReplaceItemsByPicture(std::vector<std::uint8_t>(argbPixels.begin(), argbPixels.begin() + static_cast<std::ptrdiff_t>(bytes)),
                                 width, height);
}

bool CollageModel::ReplaceItemsByPicture(std::vector<std::uint8_t>&& argbPixels, std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0 || width > kMaxCanvasSide || height > kMaxCanvasSide)
        return false;
    if (argbPixels.size() != std::size_t(width) * std::size_t(height) * 4)
        return false;
    if (!ItemsMatchCurrentStep())
        RecordStep();
    PictureBuffer buffer;
    buffer.width = width;
    buffer.height = height;
    buffer.pixels = std::move(argbPixels);
    pictureBuffers_.push_back(std::move(buffer));

    // The regions list keeps its length: the records in the history name regions by index.
    FreeAllItems();
    Append(MemoryPictureRecord(std::int32_t(pictureBuffers_.size() - 1), width, height));
    RecordStep();
    modified_ = true;
    emit redrawRequested();
    emit effectApplied();
    return true;
}

bool CollageModel::ItemsMatchCurrentStep() const
{
    const Snapshot& current = historyIndex_ >= 0 ? history_[static_cast<std::size_t>(historyIndex_)] : base_;
    return TakeSnapshot().bytes == current.bytes;
}

bool CollageModel::AddBrushStamp(std::int32_t clientX, std::int32_t clientY)
{
    if (!brushSize_ || tool_.entryIndex < 0)
        return false;
    const QSize size = brushSize_(tool_.entryIndex);
    if (size.isEmpty())
        return false;
    BrushStamp r;
    r.reserved = 0;
    r.angle = tool_.angle;
    r.sourceIndex = tool_.entryIndex;
    r.sourceWidth = size.width();
    r.sourceHeight = size.height();
    r.opacity = static_cast<float>(tool_.opacity) / 255.0f;
    r.selected = 0;
    r.scale = static_cast<float>(tool_.size) / static_cast<float>(r.sourceWidth);
    r.hitScale = r.scale;
    r.posX = TruncToInt(ClientToCanvasF(clientX, scrollX_, zoom_) - static_cast<float>(r.sourceWidth) * r.scale / 2.0f);
    r.posY = TruncToInt(ClientToCanvasF(clientY, scrollY_, zoom_) - static_cast<float>(r.sourceHeight) * r.scale / 2.0f);
    r.tintColor = tool_.colour;
    r.tuning = Tuning::Created();

    ClearSelection();
    Append(std::move(r));
    emit redrawRequested();
    return true;
}

void CollageModel::SetToolSettings(std::int32_t entryIndex, bool toolActive, float angle, std::int32_t opacity,
                                   std::int32_t size, std::uint32_t colour)
{
    tool_.entryIndex = entryIndex;
    tool_.toolActive = toolActive;
    tool_.angle = Finite(angle) ? angle : 0.0f;
    tool_.opacity = opacity;
    tool_.size = size;
    tool_.colour = colour;
}

void CollageModel::NotifyItemAdded()
{
    // The notification tells the main window that the brush tool is off; the canvas
    // switches it off too, so the next press selects instead of stamping.
    tool_.toolActive = false;
    emit itemAdded();
}

bool CollageModel::SetCurrentText(const QString& text)
{
    return textSettings_.text.Set(text);
}

bool CollageModel::AddText()
{
    if (!measureText_)
        return false;
    Text r; // every field 0
    r.font.lfHeight = textSettings_.font.lfHeight;
    r.font.lfFaceName = textSettings_.font.lfFaceName;
    r.text = textSettings_.text;
    r.style = textSettings_.style;
    r.colour1 = textSettings_.colour1;
    r.colour2 = textSettings_.colour2;
    r.transparency = Finite(textSettings_.transparency) ? textSettings_.transparency : 0.0f;
    const QSize box = measureText_(r.font, r.text.Value());
    if (box.width() < 0 || box.height() < 0)
        return false;
    r.creationOrder = CreationOrder();
    r.angle = 0.0f;
    r.boxWidth = box.width();
    r.boxHeight = box.height();
    r.scale = 1.0f;
    r.selected = 1;
    r.posX = r.boxWidth / 2;
    r.posY = r.boxHeight / 2;
    const QString text = r.text.Value();

    ClearSelection();
    Append(std::move(r));
    RecordStep();
    emit redrawRequested();
    modified_ = true;
    NotifyItemAdded();
    emit textBoxRequested(text);
    return true;
}

bool CollageModel::UpdateSelectedText()
{
    const int index = FirstSelectedOf(ItemKind::Text);
    if (index < 0 || !measureText_)
        return false;
    Text& t = std::get<Text>(ItemAt(index));
    const QSize box = measureText_(t.font, textSettings_.text.Value());
    if (box.width() < 0 || box.height() < 0)
        return false;
    t.text = textSettings_.text;
    t.boxWidth = box.width();
    t.boxHeight = box.height();
    RebuildRegion(index);
    emit redrawRequested();
    return true;
}

void CollageModel::ApplyTextSettings(const Text& settings)
{
    textSettings_ = settings;
    const int index = FirstSelectedOf(ItemKind::Text);
    if (index >= 0) {
        Text& t = std::get<Text>(ItemAt(index));
        t.font.lfFaceName = settings.font.lfFaceName;
        t.font.lfWidth = 0;
        if (Finite(settings.transparency))
            t.transparency = settings.transparency;
        t.colour1 = settings.colour1;
        t.colour2 = settings.colour2;
        t.style = settings.style;
    }
    emit redrawRequested();
}

void CollageModel::DeleteSelected()
{
    const int index = SelectedIndex();
    if (index >= 0) {
        RemoveAt(index);
        RecordStep();
    }
    emit redrawRequested();
}

void CollageModel::SetTuning(float scale, float offset, float saturation, float hue, float gamma, float rotation, bool reset)
{
    int index = -1;
    for (int i = 0; i < ItemCount(); ++i) {
        const ItemKind kind = KindAt(i);
        if ((kind == ItemKind::Photo || kind == ItemKind::ClipArt) && IsSelected(ItemAt(i))) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        ShowUserMessage(QStringLiteral("Please select a photo or clipart on the canvas."));
        NotifyItemAdded();
        return;
    }
    if (!Finite(scale) || !Finite(offset) || !Finite(saturation) || !Finite(hue) || !Finite(gamma) || !Finite(rotation))
        return;
    CanvasItem& item = ItemAt(index);
    Tuning& t = std::holds_alternative<Photo>(item) ? std::get<Photo>(item).tuning : std::get<ClipArt>(item).tuning;
    t.tuneOn = reset ? 0 : 1;
    t.tuneScale = scale;
    t.tuneOffset = offset;
    t.tuneSaturation = saturation;
    t.tuneHue = hue;
    t.tuneGamma = gamma;
    t.tuneRotation = rotation;
    RecordStep();
    modified_ = true;
    emit redrawRequested();
}

bool CollageModel::SetCrop(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    const int index = FirstSelectedOf(ItemKind::Photo);
    if (index < 0)
        return false;
    // An empty or inverted rectangle would leave the photo with no size to draw.
    if (std::int64_t(right) - left <= 0 || std::int64_t(bottom) - top <= 0
        || std::int64_t(right) - left > INT32_MAX || std::int64_t(bottom) - top > INT32_MAX)
        return false;
    Photo& p = std::get<Photo>(ItemAt(index));
    p.cropLeft = left;
    p.cropTop = top;
    p.cropRight = right;
    p.cropBottom = bottom;
    p.baseWidth = right - left;
    p.baseHeight = bottom - top;
    if (const auto found = caches_.find(items_[static_cast<std::size_t>(index)].get()); found != caches_.end())
        found->second = ItemCache{};
    RebuildRegion(index);
    modified_ = true;
    RecordStep();
    emit redrawRequested();
    return true;
}

// ---- z-order ----

void CollageModel::BringForward()
{
    const int s = SelectedIndex();
    if (s < 0 || s == ItemCount() - 1)
        return;
    std::swap(items_[std::size_t(s)], items_[std::size_t(s) + 1]);
    std::swap(itemKinds_[std::size_t(s)], itemKinds_[std::size_t(s) + 1]);
    RecordStep();
    emit redrawRequested();
}

void CollageModel::SendBackward()
{
    const int s = SelectedIndex();
    if (s <= 0)
        return;
    std::swap(items_[std::size_t(s)], items_[std::size_t(s) - 1]);
    std::swap(itemKinds_[std::size_t(s)], itemKinds_[std::size_t(s) - 1]);
    RecordStep();
    emit redrawRequested();
}

void CollageModel::BringToFront()
{
    const int s = SelectedIndex();
    if (s < 0 || s == ItemCount() - 1)
        return;
    std::rotate(items_.begin() + s, items_.begin() + s + 1, items_.end());
    std::rotate(itemKinds_.begin() + s, itemKinds_.begin() + s + 1, itemKinds_.end());
    RecordStep();
    emit redrawRequested();
}

void CollageModel::SendToBack()
{
    const int s = SelectedIndex();
    if (s <= 0)
        return;
    std::rotate(items_.begin(), items_.begin() + s, items_.begin() + s + 1);
    std::rotate(itemKinds_.begin(), itemKinds_.begin() + s, itemKinds_.begin() + s + 1);
    RecordStep();
    emit redrawRequested();
}

// ---- undo and redo ----

CollageModel::Snapshot CollageModel::TakeSnapshot() const
{
    std::size_t size = 0;
    for (const auto& item : items_)
        size += 4 + static_cast<std::size_t>(RecordSize(*item));
    Snapshot snapshot;
    snapshot.bytes.resize(size);
    std::uint8_t* p = snapshot.bytes.data();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        le::WriteI32(p, static_cast<std::int32_t>(itemKinds_[i]));
        WriteRecord(*items_[i], p + 4);
        p += 4 + RecordSize(*items_[i]);
    }
    return snapshot;
}

void CollageModel::RecordStep()
{
    while (static_cast<int>(history_.size()) > historyIndex_ + 1) {
        historyBytes_ -= history_.back().Cost();
        history_.pop_back();
    }
    Snapshot snapshot = TakeSnapshot();
    historyBytes_ += snapshot.Cost();
    history_.push_back(std::move(snapshot));
    ++historyIndex_;
    TrimHistory();
    emit historyChanged();
}

void CollageModel::RestoreCanvasSize(QSize size)
{
    if (size == QSize(canvasWidth_, canvasHeight_))
        return;
    canvasWidth_ = size.width();
    canvasHeight_ = size.height();
}

void CollageModel::RecordCanvasStep(QSize sizeBefore)
{
    RecordStep();
    if (historyIndex_ < 0)
        return;
    Snapshot& step = history_[static_cast<std::size_t>(historyIndex_)];
    step.canvasBefore = sizeBefore;
    step.canvasAfter = QSize(canvasWidth_, canvasHeight_);
}

void CollageModel::TrimHistory()
{
    std::size_t drop = 0;
    std::size_t bytes = historyBytes_;
    while (bytes > historyBudget_ && static_cast<int>(drop) < historyIndex_) {
        bytes -= history_[drop].Cost();
        ++drop;
    }
    if (drop == 0)
        return;
    history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(drop));
    historyBytes_ = bytes;
    historyIndex_ -= static_cast<int>(drop);
    historyTrimmed_ = true;
}

void CollageModel::SetHistoryBudget(std::size_t bytes)
{
    historyBudget_ = bytes;
    TrimHistory();
}

void CollageModel::Restore(const Snapshot& snapshot)
{
    FreeAllItems();
    const std::uint8_t* p = snapshot.bytes.data();
    const std::uint8_t* end = p + snapshot.bytes.size();
    while (p < end) {
        const std::int32_t kind = le::ReadI32(p);
        std::optional<CanvasItem> item = ReadRecord(kind, p + 4);
        p += 4 + RecordSize(kind);
        if (!item)
            break; // cannot happen: snapshots hold only known kinds
        itemKinds_.push_back(KindOf(*item));
        items_.push_back(std::make_unique<CanvasItem>(std::move(*item)));
        // The record keeps its region index; the region is made to fit the record again
        // (a photo's crop or frame, a re-measured text may have changed it since).
        RebuildRegion(ItemCount() - 1);
    }
}

void CollageModel::Undo()
{
    if (historyIndex_ < 0)
        return;
    if (const QSize before = history_[static_cast<std::size_t>(historyIndex_)].canvasBefore;
        before.isValid() && !(historyIndex_ == 0 && historyTrimmed_))
        RestoreCanvasSize(before);
    if (historyIndex_ == 0) {
        if (historyTrimmed_)
            return; // the state before the oldest kept snapshot is gone
        Restore(base_);
    } else {
        Restore(history_[static_cast<std::size_t>(historyIndex_ - 1)]);
    }
    --historyIndex_;
    emit redrawRequested();
    modified_ = true;
    emit historyChanged();
}

void CollageModel::Redo()
{
    if (historyIndex_ >= HistoryLength() - 1)
        return;
    Restore(history_[static_cast<std::size_t>(historyIndex_ + 1)]);
    ++historyIndex_;
    if (const QSize after = history_[static_cast<std::size_t>(historyIndex_)].canvasAfter; after.isValid())
        RestoreCanvasSize(after);
    emit redrawRequested();
    modified_ = true;
    emit historyChanged();
}

void CollageModel::ClearHistory()
{
    history_.clear();
    historyIndex_ = -1;
    historyBytes_ = 0;
    historyTrimmed_ = false;
    emit historyChanged();
}

bool CollageModel::CanUndo() const
{
    return historyTrimmed_ ? historyIndex_ > 0 : historyIndex_ >= 0;
}

bool CollageModel::CanRedo() const
{
    return historyIndex_ < HistoryLength() - 1;
}

// ---- regions, caches, picture buffers ----

const QPainterPath& CollageModel::RegionAt(std::int32_t index) const
{
    if (index < 0 || index >= RegionCount())
        return kNoRegion;
    return regions_[static_cast<std::size_t>(index)];
}

void CollageModel::RebuildRegion(int itemIndex)
{
    const CanvasItem& item = ItemAt(itemIndex);
    const std::int32_t index = RegionIndexOf(item);
    if (index < 0 || index >= RegionCount())
        return;
    QPainterPath path;
    const QRect rect = LocalRegionRect(item);
    if (!rect.isEmpty())
        path.addRect(QRectF(rect));
    regions_[static_cast<std::size_t>(index)] = std::move(path);
}

ItemCache& CollageModel::CacheOf(int itemIndex)
{
    return caches_[items_[static_cast<std::size_t>(itemIndex)].get()];
}

const ItemCache* CollageModel::FindCache(int itemIndex) const
{
    const auto found = caches_.find(items_[static_cast<std::size_t>(itemIndex)].get());
    return found == caches_.end() ? nullptr : &found->second;
}

void CollageModel::DropPhotoImages(int itemIndex)
{
    const auto found = caches_.find(items_[static_cast<std::size_t>(itemIndex)].get());
    if (found != caches_.end()) {
        ItemCache& cache = found->second;
        cache.displayImage = QImage();
        cache.frameImage = QImage();
        cache.displayKey.clear();
        cache.frameKey.clear();
        cache.drawnImage = QImage(); // made from the display image
        cache.drawnKey.clear();
    }
}

void CollageModel::DropCaches()
{
    for (int i = 0; i < ItemCount(); ++i) {
        if (KindAt(i) == ItemKind::Photo)
            DropPhotoImages(i);
    }
}

std::int32_t CollageModel::AppendPictureBuffer(PictureBuffer buffer)
{
    pictureBuffers_.push_back(std::move(buffer));
    return static_cast<std::int32_t>(pictureBuffers_.size() - 1);
}

const PictureBuffer* CollageModel::PictureBufferAt(std::int32_t index) const
{
    if (index < 0 || index >= PictureBufferCount())
        return nullptr;
    return &pictureBuffers_[static_cast<std::size_t>(index)];
}
