#include "canvas/CanvasRenderer.h"

#include "base/DataFolder.h"
#include "canvas/CanvasGestures.h"
#include "canvas/CollageModel.h"
#include "canvas/Decorations.h"
#include "canvas/ItemPictures.h"
#include "editing/ColourMatrix.h"
#include "editing/PictureFiles.h"
#include "editing/PictureScaling.h"
#include "editing/TextRendering.h"

#include <QDataStream>
#include <QFileInfo>
#include <QIODevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

QColor FromColorRef(std::uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// M = translate(-W/2, -H/2), rotate(angle), translate(left x zoom + W/2, top x zoom + H/2),
// each appended; the halves are integer divisions.
QTransform PictureTransform(QSize display, float angle, std::int32_t left, std::int32_t top, float zoom)
{
    const int halfW = display.width() / 2;
    const int halfH = display.height() / 2;
    QTransform rotation;
    rotation.rotate(angle);
    return QTransform::fromTranslate(-halfW, -halfH) * rotation
        * QTransform::fromTranslate(static_cast<float>(left) * zoom + static_cast<float>(halfW),
                                    static_cast<float>(top) * zoom + static_cast<float>(halfH));
}

// The text transform: translate(-w/2, -h/2), scale(zoom x s), rotate(angle),
// translate(zoom x s x w/2 + left x zoom, zoom x s x h/2 + top x zoom); the box is drawn
// at its natural size.
QTransform TextTransform(const Text& t, float zoom)
{
    const float zs = zoom * t.scale;
    const float halfW = static_cast<float>(t.boxWidth) / 2.0f;
    const float halfH = static_cast<float>(t.boxHeight) / 2.0f;
    QTransform rotation;
    rotation.rotate(t.angle);
    return QTransform::fromTranslate(-halfW, -halfH) * QTransform::fromScale(zs, zs) * rotation
        * QTransform::fromTranslate(zs * halfW + static_cast<float>(t.posX) * zoom,
                                    zs * halfH + static_cast<float>(t.posY) * zoom);
}

// The selection transform of a text item: its box at screen size, not rounded.
QTransform TextSelectionTransform(const Text& t, float zoom, QSizeF size)
{
    const qreal halfW = size.width() / 2;
    const qreal halfH = size.height() / 2;
    QTransform rotation;
    rotation.rotate(t.angle);
    return QTransform::fromTranslate(-halfW, -halfH) * rotation
        * QTransform::fromTranslate(static_cast<float>(t.posX) * zoom + halfW, static_cast<float>(t.posY) * zoom + halfH);
}

qreal ClampedOpacity(float opacity)
{
    if (!(opacity > 0.0f))
        return 0.0;
    return std::min<qreal>(opacity, 1.0);
}

// The drawn picture of an item through its matrix, kept in the cache when one is given.
render::DrawnPicture Drawn(ItemCache* cache, const QImage& picture, const ColourMatrix& matrix, float gamma)
{
    if (!cache)
        return render::PrepareDrawn(picture, matrix, gamma);
    const QByteArray key = render::DrawnKey(picture, matrix, gamma);
    render::DrawnPicture drawn;
    if (cache->drawnKey != key) {
        drawn = render::PrepareDrawn(picture, matrix, gamma);
        cache->drawnImage = drawn.image;
        cache->drawnKey = key;
        return drawn;
    }
    drawn.image = cache->drawnImage;
    float alphaScale = 1.0f;
    if (gamma == 1.0f && matrix.IsAlphaScaleOnly(&alphaScale))
        drawn.opacity = std::min(alphaScale, 1.0f);
    return drawn;
}

void DrawPicture(QPainter& painter, const QRectF& target, const render::DrawnPicture& drawn)
{
    if (drawn.image.isNull() || !(drawn.opacity > 0.0) || target.isEmpty())
        return;
    painter.setOpacity(drawn.opacity);
    painter.drawImage(target, drawn.image);
    painter.setOpacity(1.0);
}

} // namespace

struct CanvasRenderer::Pass {
    float zoom = 1.0f;
    bool exportMode = false; // no handles, no hit regions, photo pictures not kept
    QRect displayRect;
    QSize targetSize;
};

CanvasRenderer::CanvasRenderer(CollageModel& model)
    : model_(model)
{
}

CanvasRenderer::~CanvasRenderer() = default;

void CanvasRenderer::SetDataFolder(const QString& folder)
{
    dataFolder_ = folder;
    if (!dataFolder_.isEmpty() && !dataFolder_.endsWith(QLatin1Char('/')))
        dataFolder_ += QLatin1Char('/');
    dataFolderSet_ = true;
    layersValid_ = false;
}

QString CanvasRenderer::LibraryFolder() const
{
    return dataFolderSet_ ? dataFolder_ : DataFolder();
}

// ---- view buffer ----

void CanvasRenderer::SetClientSize(QSize size)
{
    client_ = QSize(std::max(0, size.width()), std::max(0, size.height()));
}

QSize CanvasRenderer::NeededViewSize() const
{
    const float zoom = model_.Zoom();
    const int w = TruncToInt(static_cast<float>(model_.CanvasWidth()) * zoom);
    const int h = TruncToInt(static_cast<float>(model_.CanvasHeight()) * zoom);
    return QSize(std::max(w, client_.width()), std::max(h, client_.height()));
}

bool CanvasRenderer::RebuildViewBuffer()
{
    const QSize need = NeededViewSize();
    if (!view_.isNull() && view_.size() == need)
        return true;
    FreeLayers();
    view_ = QImage();
    if (need.width() <= 0 || need.height() <= 0 || std::int64_t(need.width()) * need.height() > kMaxViewPixels)
        return false;
    view_ = QImage(need, QImage::Format_ARGB32_Premultiplied);
    if (view_.isNull())
        return false;
    view_.fill(kOutsideGrey);
    return true;
}

// ---- composition ----

void CanvasRenderer::Redraw()
{
    if (!RebuildViewBuffer())
        return;
    paintingNow_ = true;
    scrollRanges_ = model_.ScrollRanges(client_);
    hasSelectionFrame_ = false;
    EnsureBackground();
    const int selected = model_.SelectedIndex();
    if (dragging_ && layersValid_ && selected >= 0 && !below_.isNull() && SceneSignature(selected) == layersSignature_) {
        DrawFrame(selected);
        ++stats_.dragFrames;
    } else {
        ComposeView(selected);
        ++stats_.fullComposes;
    }
    paintingNow_ = false;
}

void CanvasRenderer::ComposeView(int selected)
{
    layersValid_ = false;
    Pass pass;
    pass.zoom = model_.Zoom();
    pass.displayRect = model_.DisplayRect();
    pass.targetSize = view_.size();
    const int split = selected >= 0 ? selected : model_.ItemCount();
    {
        QPainter painter(&view_);
        DrawBase(painter, pass);
        DrawItems(painter, pass, 0, split);
        if (selected < 0)
            FillOutside(painter, pass);
    }
    if (selected < 0) {
        FreeLayers();
        return;
    }
    if (dragging_)
        below_ = view_.copy();
    BuildAboveLayer(selected);
    DrawSelectedAndAbove(selected);
    if (dragging_ && !below_.isNull()) {
        layersSignature_ = SceneSignature(selected);
        layersValid_ = true;
    } else {
        FreeLayers();
    }
}

void CanvasRenderer::DrawFrame(int selected)
{
    // The view buffer and the lower layer have the same size and format (both rebuilt
    // together): the lower layer is copied back byte for byte.
    std::memcpy(view_.bits(), below_.constBits(), std::size_t(view_.sizeInBytes()));
    DrawSelectedAndAbove(selected);
}

void CanvasRenderer::DrawSelectedAndAbove(int selected)
{
    Pass pass;
    pass.zoom = model_.Zoom();
    pass.displayRect = model_.DisplayRect();
    pass.targetSize = view_.size();
    QPainter painter(&view_);
    DrawItems(painter, pass, selected, selected + 1);
    if (!above_.isNull()) {
        painter.resetTransform();
        painter.setOpacity(1.0);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(QPoint(0, 0), above_);
    }
    FillOutside(painter, pass);
}

void CanvasRenderer::BuildAboveLayer(int selected)
{
    above_ = QImage();
    const int count = model_.ItemCount();
    if (selected + 1 >= count)
        return;
    above_ = QImage(view_.size(), QImage::Format_ARGB32_Premultiplied);
    if (above_.isNull())
        return; // no memory for the layer: the items above are drawn straight on the view
    above_.fill(Qt::transparent);
    Pass pass;
    pass.zoom = model_.Zoom();
    pass.displayRect = model_.DisplayRect();
    pass.targetSize = above_.size();
    QPainter painter(&above_);
    DrawItems(painter, pass, selected + 1, count);
}

void CanvasRenderer::FreeLayers()
{
    below_ = QImage();
    above_ = QImage();
    layersValid_ = false;
    layersSignature_.clear();
}

void CanvasRenderer::BeginDrag()
{
    if (dragging_)
        return;
    dragging_ = true;
    layersValid_ = false;
}

void CanvasRenderer::EndDrag()
{
    dragging_ = false;
    FreeLayers();
}

QByteArray CanvasRenderer::SceneSignature(int selected) const
{
    QByteArray signature;
    QDataStream out(&signature, QIODevice::WriteOnly);
    out << selected << model_.ItemCount() << model_.Zoom() << view_.size() << previewMode_ << model_.CanvasWidth()
        << model_.CanvasHeight() << model_.BackgroundColor() << model_.BackgroundPlacementValue()
        << model_.BackgroundImagePathBytes() << background_.cacheKey() << LibraryFolder() << model_.PictureBufferCount();
    std::vector<std::uint8_t> record;
    for (int i = 0; i < model_.ItemCount(); ++i) {
        out << static_cast<std::int32_t>(model_.KindAt(i));
        if (i == selected)
            continue;
        const CanvasItem& item = model_.ItemAt(i);
        record.resize(std::size_t(RecordSize(item)));
        WriteRecord(item, record.data());
        out.writeRawData(reinterpret_cast<const char*>(record.data()), int(record.size()));
    }
    return signature;
}

void CanvasRenderer::DrawBase(QPainter& painter, const Pass& pass)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(0, 0), pass.targetSize), QColor::fromRgba(kOutsideGrey));
    const QRect display = pass.displayRect;
    painter.fillRect(display, FromColorRef(model_.BackgroundColor()));
    if (background_.isNull() || display.isEmpty())
        return;

    const auto scaledTo = [&](QSize size) -> QImage {
        if (background_.size() == size)
            return background_;
        if (pass.exportMode)
            return background_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (backgroundScaled_.size() != size)
            backgroundScaled_ = background_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return backgroundScaled_;
    };
    switch (model_.BackgroundPlacementValue()) {
    case static_cast<std::int32_t>(BackgroundPlacement::Center): {
        const int shownW = TruncToInt(static_cast<float>(background_.width()) * pass.zoom);
        const int shownH = TruncToInt(static_cast<float>(background_.height()) * pass.zoom);
        const QSize fitted = FitSize(shownW, shownH, display.width(), display.height(), false);
        if (fitted.isEmpty() || std::int64_t(fitted.width()) * fitted.height() > render::kMaxItemPixels)
            break;
        painter.drawImage(QPoint((display.width() - fitted.width()) / 2, (display.height() - fitted.height()) / 2),
                          scaledTo(fitted));
        break;
    }
    case static_cast<std::int32_t>(BackgroundPlacement::Tile): {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.setTransform(QTransform::fromScale(pass.zoom, pass.zoom));
        painter.fillRect(QRectF(0, 0, model_.CanvasWidth(), model_.CanvasHeight()), QBrush(background_));
        painter.restore();
        break;
    }
    case static_cast<std::int32_t>(BackgroundPlacement::Stretch):
        if (std::int64_t(display.width()) * display.height() <= render::kMaxItemPixels)
            painter.drawImage(QPoint(0, 0), scaledTo(display.size()));
        break;
    default:
        break; // a placement the program does not know draws no picture
    }
}

void CanvasRenderer::DrawItems(QPainter& painter, const Pass& pass, int from, int to)
{
    for (int i = from; i < to; ++i) {
        DrawItem(painter, pass, i);
        if (pass.exportMode)
            continue;
        CanvasItem& item = model_.ItemAt(i);
        if (IsSelected(item) && !previewMode_) {
            QTransform selection;
            QSizeF size;
            if (const Text* t = std::get_if<Text>(&item)) {
                size = render::TextDisplaySize(*t, pass.zoom);
                selection = TextSelectionTransform(*t, pass.zoom, size);
            } else {
                const DrawFields f = DrawFieldsOf(item);
                const QSize display = render::DisplaySize(f, pass.zoom);
                size = QSizeF(display);
                selection = PictureTransform(display, f.angle, f.left, f.top, pass.zoom);
            }
            selectionTransform_ = selection;
            DrawHandles(painter, selection, size);
            hasSelectionFrame_ = true;
        }
        UpdateScreenRegion(i, pass.zoom);
    }
}

void CanvasRenderer::DrawItem(QPainter& painter, const Pass& pass, int index)
{
    CanvasItem& item = model_.ItemAt(index);
    const QString folder = LibraryFolder();
    painter.save();
    painter.setOpacity(1.0);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    if (Text* t = std::get_if<Text>(&item)) {
        const QSizeF shown = render::TextDisplaySize(*t, pass.zoom);
        if (!(shown.width() > 0 && shown.height() > 0 && shown.width() <= render::kMaxDisplaySide
              && shown.height() <= render::kMaxDisplaySide)) {
            painter.restore();
            return;
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.setTransform(TextTransform(*t, pass.zoom));
        DrawStyledText(painter, t->style, t->text.Value(), t->font, QRect(0, 0, t->boxWidth, t->boxHeight), t->colour1,
                       t->colour2, TextAlpha(t->transparency));
        if (!pass.exportMode) {
            const float zoom = pass.zoom;
            t->screenBox = {TruncToInt(static_cast<float>(t->posX) * zoom), TruncToInt(static_cast<float>(t->posY) * zoom),
                            TruncToInt((static_cast<float>(t->posX) + static_cast<float>(t->boxWidth) * t->scale) * zoom),
                            TruncToInt((static_cast<float>(t->posY) + static_cast<float>(t->boxHeight) * t->scale) * zoom)};
        }
        painter.restore();
        return;
    }

    const DrawFields f = DrawFieldsOf(item);
    const QSize display = render::DisplaySize(f, pass.zoom);
    if (display.width() <= 0 || display.height() <= 0 || display.width() > render::kMaxDisplaySide
        || display.height() > render::kMaxDisplaySide) {
        painter.restore();
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setTransform(PictureTransform(display, f.angle, f.left, f.top, pass.zoom));
    const QRectF box(0, 0, display.width(), display.height());

    if (Photo* p = std::get_if<Photo>(&item)) {
        const ColourMatrix matrix = render::MatrixOf(p->opacity, p->tuning);
        const float gamma = render::GammaOf(p->tuning);
        QImage picture;
        QImage frame;
        ItemCache* cache = pass.exportMode ? nullptr : &model_.CacheOf(index);
        if (cache) {
            if (cache->displayKey != render::PhotoDisplayKey(*p, display, folder)) {
                render::PhotoBuildInfo info;
                cache->displayImage = render::BuildPhotoDisplay(*p, display, folder, &info);
                CountDecode(info);
                // The key is taken after the build, which may have clamped the crop. A
                // missing file keeps no key: it is looked for again at the next redraw.
                cache->displayKey = info.fileMissing ? QByteArray() : render::PhotoDisplayKey(*p, display, folder);
                cache->drawnImage = QImage();
                cache->drawnKey.clear();
            }
            picture = cache->displayImage;
            if (p->frameIndex >= 1) {
                const QByteArray frameKey = render::PhotoFrameKey(*p, display, folder);
                if (cache->frameKey != frameKey) {
                    cache->frameImage = render::BuildPhotoFrame(*p, display, folder);
                    cache->frameKey = frameKey;
                }
                frame = cache->frameImage;
            }
        } else {
            render::PhotoBuildInfo info;
            picture = render::BuildPhotoDisplay(*p, display, folder, &info);
            CountDecode(info);
            if (p->frameIndex >= 1)
                frame = render::BuildPhotoFrame(*p, display, folder);
        }
        if (p->frameIndex >= 1) {
            const QRect opening = decor::FrameOpeningRect(display.width(), display.height(), p->frameLeft, p->frameTop,
                                                          p->frameRight, p->frameBottom);
            if (!picture.isNull() && !opening.isEmpty())
                DrawPicture(painter, QRectF(opening), Drawn(cache, picture, matrix, gamma));
            const qreal opacity = ClampedOpacity(p->opacity);
            if (!frame.isNull() && opacity > 0.0) {
                painter.setOpacity(opacity);
                painter.drawImage(box, frame);
                painter.setOpacity(1.0);
            }
        } else if (!picture.isNull()) {
            DrawPicture(painter, box, Drawn(cache, picture, matrix, gamma));
        }
        painter.restore();
        return;
    }

    // Clip-art and brush stamps: pictures at their natural size, zoom-independent, kept
    // in the cache for the view and the export alike.
    ItemCache& cache = model_.CacheOf(index);
    QByteArray key;
    float opacity = f.opacity;
    const Tuning* tuning = nullptr;
    if (const ClipArt* c = std::get_if<ClipArt>(&item)) {
        key = render::ClipArtPictureKey(*c, folder);
        if (cache.pictureKey != key) {
            cache.picture = render::LoadClipArtPicture(*c, model_, folder);
            cache.pictureKey = cache.picture.isNull() ? QByteArray() : key;
        }
        tuning = &c->tuning;
    } else if (const BrushStamp* b = std::get_if<BrushStamp>(&item)) {
        key = render::BrushPictureKey(*b, folder);
        if (cache.pictureKey != key) {
            cache.picture = render::LoadBrushPicture(*b, folder);
            cache.pictureKey = cache.picture.isNull() ? QByteArray() : key;
        }
        tuning = &b->tuning;
    }
    if (tuning && !cache.picture.isNull())
        DrawPicture(painter, box, Drawn(&cache, cache.picture, render::MatrixOf(opacity, *tuning), render::GammaOf(*tuning)));
    painter.restore();
}

void CanvasRenderer::CountDecode(const render::PhotoBuildInfo& info)
{
    if (!info.decoded)
        return;
    ++stats_.photoDecodes;
    stats_.decodedPixels += std::int64_t(info.decodedSize.width()) * info.decodedSize.height();
}

void CanvasRenderer::DrawHandles(QPainter& painter, const QTransform& transform, QSizeF size)
{
    // A nonsense size (a hostile record) keeps its handles far out, without overflow.
    constexpr int kLimit = 1 << 24;
    const int W = std::clamp(TruncToInt(size.width()), -kLimit, kLimit);
    const int H = std::clamp(TruncToInt(size.height()), -kLimit, kLimit);
    handleRects_ = gestures::HandleRects(W, H);

    painter.save();
    painter.setOpacity(1.0);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setTransform(transform);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(QColor::fromRgba(kHandleBoxColour));
    for (int k = 0; k < 8; ++k)
        painter.drawRect(QRectF(handleRects_[std::size_t(k)]));
    painter.setBrush(QColor::fromRgba(kHandleEllipseColour));
    for (int k = 8; k < kHandleCount; ++k)
        painter.drawEllipse(QRectF(handleRects_[std::size_t(k)]));
    painter.restore();
}

int CanvasRenderer::HandleAt(QPointF viewPoint) const
{
    if (!hasSelectionFrame_)
        return -1;
    for (int k = 0; k < kHandleCount; ++k) {
        const QPolygonF box = selectionTransform_.map(QPolygonF(QRectF(handleRects_[std::size_t(k)])));
        if (box.containsPoint(viewPoint, Qt::OddEvenFill))
            return k;
    }
    return -1;
}

void CanvasRenderer::FillOutside(QPainter& painter, const Pass& pass)
{
    painter.resetTransform();
    painter.setOpacity(1.0);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect d = pass.displayRect;
    const QSize t = pass.targetSize;
    const QColor grey = QColor::fromRgba(kOutsideGrey);
    if (t.width() > d.width())
        painter.fillRect(QRect(d.width(), 0, t.width() - d.width(), t.height()), grey);
    if (t.height() > d.height())
        painter.fillRect(QRect(0, d.height(), std::min(d.width(), t.width()), t.height() - d.height()), grey);
}

void CanvasRenderer::UpdateScreenRegion(int index, float zoom)
{
    const CanvasItem& item = model_.ItemAt(index);
    ItemCache& cache = model_.CacheOf(index);
    cache.hasScreenRegion = true;
    cache.screenRegion = QPainterPath();
    const DrawFields f = DrawFieldsOf(item);
    if (!(f.k > 0.0f || f.k < 0.0f) || !std::isfinite(f.k))
        return;
    qreal halfW = 0;
    qreal halfH = 0;
    if (const Text* t = std::get_if<Text>(&item)) {
        const QSizeF size = render::TextDisplaySize(*t, zoom);
        halfW = size.width() / 2;
        halfH = size.height() / 2;
    } else {
        const QSize display = render::DisplaySize(f, zoom);
        halfW = display.width() / 2;
        halfH = display.height() / 2;
    }
    const float scale = f.s * zoom / f.k;
    QTransform rotation;
    rotation.rotate(f.angle);
    const QTransform toScreen = QTransform::fromTranslate(-static_cast<float>(f.w) * f.k / 2.0f, -static_cast<float>(f.h) * f.k / 2.0f)
        * QTransform::fromScale(scale, scale) * rotation
        * QTransform::fromTranslate(static_cast<float>(f.left) * zoom + halfW, static_cast<float>(f.top) * zoom + halfH);
    cache.screenRegion = toScreen.map(model_.RegionAt(RegionIndexOf(item)));
}

// ---- background ----

void CanvasRenderer::EnsureBackground()
{
    if (!backgroundLoaded_ || backgroundLoadedFrom_ != model_.BackgroundImagePathBytes())
        ReloadBackground();
}

void CanvasRenderer::ReloadBackground()
{
    backgroundLoaded_ = true;
    backgroundLoadedFrom_ = model_.BackgroundImagePathBytes();
    background_ = QImage();
    backgroundScaled_ = QImage();
    layersValid_ = false;
    const QString path = model_.BackgroundImagePath();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    QImage picture = IsMetafilePath(path) ? QImage() : ReadWithPlatform(path);
    if (picture.isNull()) {
        PictureLoader loader;
        if (loader.Load(path) && loader.Image())
            picture = loader.Image()->ToImage();
    }
    if (picture.isNull())
        return;
    background_ = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

// ---- export ----

bool CanvasRenderer::ComposeFullSize()
{
    if (!export_.Create(model_.CanvasWidth(), model_.CanvasHeight()))
        return false;
    exportMode_ = true;
    EnsureBackground();
    QImage target = export_.Wrap(); // rows top-down while drawing
    Pass pass;
    pass.zoom = 1.0f;
    pass.exportMode = true;
    pass.displayRect = QRect(0, 0, model_.CanvasWidth(), model_.CanvasHeight());
    pass.targetSize = target.size();
    {
        QPainter painter(&target);
        DrawBase(painter, pass);
        DrawItems(painter, pass, 0, model_.ItemCount());
        FillOutside(painter, pass);
    }
    export_.Flip(); // stored bottom row first
    exportMode_ = false;
    return true;
}
