#include "canvas/AutoLayoutPreview.h"

#include "canvas/CanvasRenderer.h"
#include "canvas/ItemPictures.h"

#include <algorithm>
#include <cmath>

namespace autolayout {

namespace {

// The collage's settings, background, picture buffers and items in a new model whose
// base state (what Undo returns to) they are.
void CopyCollage(const CollageModel& from, CollageModel& to)
{
    to.StoreLoadedSize(from.CanvasWidth(), from.CanvasHeight());
    to.StoreLoadedBackground(from.BackgroundImagePathBytes(), from.BackgroundColor(), from.BackgroundPlacementValue());
    for (int i = 0; i < from.PictureBufferCount(); ++i)
        to.AppendPictureBuffer(*from.PictureBufferAt(i));
    for (int i = 0; i < from.ItemCount(); ++i) {
        CanvasItem item = from.ItemAt(i);
        SetSelected(item, false);
        to.AppendLoadedItem(std::move(item));
    }
    to.FinishLoad(true);
}

// The whole picture no larger than side x side, in multiples of 4.
QSize PictureSize(QSize source, int side)
{
    if (source.width() <= 0 || source.height() <= 0)
        return {};
    const double scale = std::min(1.0, double(side) / std::max(source.width(), source.height()));
    return QSize(std::max(4, int(source.width() * scale) / 4 * 4), std::max(4, int(source.height() * scale) / 4 * 4));
}

QImage ToDrawingFormat(const QImage& picture)
{
    const QImage::Format format = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    return picture.format() == format ? picture : picture.convertToFormat(format);
}

// The part of a small picture of the whole source that a photo's crop shows.
QRect CropInPicture(const Photo& photo, QSize picture)
{
    if (photo.sourceWidth <= 0 || photo.sourceHeight <= 0)
        return {};
    const double sx = double(picture.width()) / photo.sourceWidth;
    const double sy = double(picture.height()) / photo.sourceHeight;
    const int left = std::clamp(int(std::floor(photo.cropLeft * sx)), 0, picture.width() - 1);
    const int top = std::clamp(int(std::floor(photo.cropTop * sy)), 0, picture.height() - 1);
    const int right = std::clamp(int(std::ceil(photo.cropRight * sx)), left + 1, picture.width());
    const int bottom = std::clamp(int(std::ceil(photo.cropBottom * sy)), top + 1, picture.height());
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

LayoutPreview::LayoutPreview(const CollageModel& collage, const QString& dataFolder)
    : model_(std::make_unique<CollageModel>()),
      renderer_(std::make_unique<CanvasRenderer>(*model_))
{
    CopyCollage(collage, *model_);
    renderer_->SetDataFolder(dataFolder);
    renderer_->SetPreviewMode(true);
}

LayoutPreview::~LayoutPreview() = default;

void LayoutPreview::SetFrameOpeningReader(CollageModel::FrameOpeningReader reader)
{
    model_->SetFrameOpeningReader(std::move(reader));
}

int LayoutPreview::PictureSide(int count)
{
    if (count <= 1)
        return kPictureSide;
    return std::clamp(static_cast<int>(2.0 * kPictureSide / std::sqrt(double(count))), kMinPictureSide, kPictureSide);
}

void LayoutPreview::SetPhotos(std::vector<PhotoSource> photos)
{
    photos_ = std::move(photos);
    pictureSide_ = PictureSide(static_cast<int>(photos_.size()));
    for (const PhotoSource& source : photos_) {
        const bool queued = std::find(pending_.begin(), pending_.end(), source.path) != pending_.end();
        if (!pictures_.contains(source.path) && !queued)
            pending_.push_back(source.path);
    }
}

int LayoutPreview::DecodeSome(int count)
{
    while (count-- > 0 && !pending_.empty()) {
        const QString path = pending_.front();
        pending_.erase(pending_.begin());
        // The size the layout uses: the source size of the photo with this path.
        QSize source;
        for (const PhotoSource& p : photos_) {
            if (p.path == path) {
                source = p.itemIndex >= 0 && p.itemIndex < model_->ItemCount()
                    ? [&] {
                          const auto* photo = std::get_if<Photo>(&model_->ItemAt(p.itemIndex));
                          return photo ? QSize(photo->sourceWidth, photo->sourceHeight) : p.size;
                      }()
                    : p.size;
                break;
            }
        }
        Photo record;
        QImage picture;
        const QSize size = PictureSize(source, pictureSide_);
        if (record.path.Set(path) && size.isValid()) {
            record.sourceWidth = source.width();
            record.sourceHeight = source.height();
            record.cropRight = source.width();
            record.cropBottom = source.height();
            picture = render::BuildPhotoDisplay(record, size, renderer_->LibraryFolder());
            ++decodes_;
        }
        pictures_.insert(path, picture.isNull() ? QImage() : ToDrawingFormat(picture));
    }
    return PendingDecodes();
}

void LayoutPreview::FillPhotoPictures()
{
    const QString folder = renderer_->LibraryFolder();
    for (int i = 0; i < model_->ItemCount(); ++i) {
        auto* photo = std::get_if<Photo>(&model_->ItemAt(i));
        if (!photo || photo->maskIndex > 0)
            continue; // masks and shapes: the renderer's own decode
        const QSize display = render::DisplaySize(DrawFieldsOf(*photo), zoom_);
        if (display.width() <= 0 || display.height() <= 0)
            continue;
        const QString path = photo->path.Value();
        QImage shown;
        if (const auto found = pictures_.constFind(path); found != pictures_.constEnd()) {
            const QImage& picture = found.value();
            if (!picture.isNull()) {
                const QRect crop = CropInPicture(*photo, picture.size());
                if (!crop.isEmpty())
                    shown = ToDrawingFormat(
                        picture.copy(crop).scaled(display, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            }
        } else {
            shown = QImage(display, QImage::Format_RGB32);
            shown.fill(kPendingGrey);
        }
        ItemCache& cache = model_->CacheOf(i);
        cache.displayImage = shown;
        cache.displayKey = render::PhotoDisplayKey(*photo, display, folder);
        cache.drawnImage = QImage();
        cache.drawnKey.clear();
    }
}

QImage LayoutPreview::Render(std::span<const int> order, const Choices& choices, QSize box)
{
    std::vector<PhotoSource> ordered;
    ordered.reserve(order.size());
    for (int index : order) {
        if (index >= 0 && index < static_cast<int>(photos_.size()))
            ordered.push_back(photos_[static_cast<std::size_t>(index)]);
    }
    laidOut_ = Layout{};
    if (ordered.empty() || box.width() <= 0 || box.height() <= 0)
        return {};
    const int stepBefore = model_->HistoryIndex();
    if (!ApplyChoices(*model_, ordered, choices))
        return {};

    const QSize canvas(model_->CanvasWidth(), model_->CanvasHeight());
    zoom_ = static_cast<float>(std::min(double(box.width()) / canvas.width(), double(box.height()) / canvas.height()));
    model_->SetZoom(zoom_);
    FillPhotoPictures();
    renderer_->SetClientSize(model_->DisplayRect().size());
    renderer_->Redraw();
    const QRect shown = model_->DisplayRect().intersected(renderer_->ViewBuffer().rect());
    QImage image = renderer_->ViewBuffer().copy(shown);

    // Kept for tests: the records as laid out.
    laidOut_.canvas = canvas;
    laidOut_.items.clear();
    for (int i = 0; i < model_->ItemCount(); ++i)
        laidOut_.items.push_back(model_->ItemAt(i));

    if (model_->HistoryIndex() > stepBefore)
        model_->Undo();
    model_->ClearHistory();
    return image;
}

} // namespace autolayout
