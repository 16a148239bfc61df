#include "canvas/ItemPictures.h"

#include "canvas/CollageModel.h"
#include "canvas/Decorations.h"
#include "editing/ColourMatrix.h"
#include "editing/PictureFiles.h"
#include "editing/PictureScaling.h"
#include "library/LibraryFiles.h"

#include <QDataStream>
#include <QFileInfo>
#include <QIODevice>
#include <QImageReader>

#include <algorithm>
#include <functional>
#include <optional>

namespace render {

namespace {

std::int64_t Area(QSize size)
{
    return std::int64_t(size.width()) * size.height();
}

bool TooLarge(QSize size)
{
    return Area(size) > kMaxItemPixels;
}

// The picture in one of the two formats the drawing code keeps.
QImage ToDrawingFormat(const QImage& picture)
{
    const QImage::Format format = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    return picture.format() == format ? picture : picture.convertToFormat(format);
}

// The upright size the platform decoder reports without decoding; invalid when it
// cannot read the file or does not know the size.
QSize PlatformSize(const QString& path, bool& readable)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    readable = PlatformCanRead(reader);
    if (!readable)
        return {};
    QSize size = reader.size();
    if (size.isValid() && (reader.transformation() & QImageIOHandler::TransformationRotate90))
        size.transpose();
    return size;
}

void ClampCrop(Photo& photo, QSize full)
{
    const std::int32_t w = full.width();
    const std::int32_t h = full.height();
    if (photo.cropLeft < 0 || photo.cropLeft > w)
        photo.cropLeft = 0;
    if (photo.cropTop < 0 || photo.cropTop > h)
        photo.cropTop = 0;
    if (photo.cropRight < 0 || photo.cropRight > w)
        photo.cropRight = w;
    if (photo.cropBottom < 0 || photo.cropBottom > h)
        photo.cropBottom = h;
}

// The smallest size of the whole picture whose crop area still has `display` pixels:
// ceil(W x fullWidth / cropWidth) by ceil(H x fullHeight / cropHeight). Empty when the
// photo is not shown smaller than its crop (decode at full size).
QSize DecodeMinimum(const Photo& photo, QSize display, QSize full)
{
    const std::int64_t cw = std::int64_t(photo.cropRight) - photo.cropLeft;
    const std::int64_t ch = std::int64_t(photo.cropBottom) - photo.cropTop;
    if (cw <= 0 || ch <= 0 || display.width() >= cw || display.isEmpty())
        return {};
    const std::int64_t w = (std::int64_t(display.width()) * full.width() + cw - 1) / cw;
    const std::int64_t h = (std::int64_t(display.height()) * full.height() + ch - 1) / ch;
    if (w >= full.width() && h >= full.height())
        return {};
    return QSize(int(std::min<std::int64_t>(w, full.width())), int(std::min<std::int64_t>(h, full.height())));
}

// The library's decode: resampled to sides that are multiples of 4, as 24-bit pixels.
QImage DecodeWithLibrary(const QString& path)
{
    PictureLoader loader;
    if (!loader.Load(path) || !loader.Image() || !loader.Image()->IsValid())
        return {};
    CxImage& image = *loader.Image();
    const long w = long(image.GetWidth());
    const long h = long(image.GetHeight());
    if (w % 4 != 0 || h % 4 != 0) {
        if (w / 4 == 0 || h / 4 == 0)
            return {};
        if (!image.Resample(w / 4 * 4, h / 4 * 4, 1))
            return {};
    }
    const QImage picture = image.ToImage();
    return picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
}

// The crop rectangle of the full picture in the coordinates of a (possibly reduced)
// decode of it: the smallest whole-pixel rectangle holding it.
QRect CropInDecoded(const Photo& photo, QSize full, QSize decoded)
{
    if (full == decoded)
        return QRect(photo.cropLeft, photo.cropTop, photo.cropRight - photo.cropLeft, photo.cropBottom - photo.cropTop);
    const auto floorScaled = [](std::int64_t v, int to, int from) { return int(v * to / from); };
    const auto ceilScaled = [](std::int64_t v, int to, int from) { return int((v * to + from - 1) / from); };
    const int x0 = floorScaled(photo.cropLeft, decoded.width(), full.width());
    const int y0 = floorScaled(photo.cropTop, decoded.height(), full.height());
    const int x1 = std::min(decoded.width(), ceilScaled(photo.cropRight, decoded.width(), full.width()));
    const int y1 = std::min(decoded.height(), ceilScaled(photo.cropBottom, decoded.height(), full.height()));
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

void ApplyMask(QImage& display, std::int32_t maskIndex, const QString& dataFolder)
{
    const decor::MaskSource source = decor::MaskSourceOf(maskIndex);
    if (source.kind == decor::MaskKind::None)
        return;
    const QString file = dataFolder
        + QLatin1String(source.kind == decor::MaskKind::Shape ? library::kShapeFile : library::kPhotoMasksFile);
    const std::optional<library::ImageEntry> entry = library::ReadImageEntry(file, source.entry, library::LibraryLayout::Image);
    if (!entry || entry->picture.isNull())
        return; // an unreadable mask leaves the photo unmasked
    QImage mask = entry->picture.format() == QImage::Format_ARGB32 ? entry->picture
                                                                   : entry->picture.convertToFormat(QImage::Format_ARGB32);
    QImage scaled(display.size(), QImage::Format_ARGB32);
    if (scaled.isNull() || mask.bytesPerLine() != qsizetype(mask.width()) * 4
        || scaled.bytesPerLine() != qsizetype(scaled.width()) * 4)
        return;
    ScaleBilinear(mask.constBits(), mask.width(), mask.height(), scaled.bits(), scaled.width(), scaled.height(), 4, false);
    decor::ApplyMaskPicture(display, source.kind, scaled);
}

QByteArray Key(const std::function<void(QDataStream&)>& write)
{
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    write(out);
    return key;
}

} // namespace

QSize DisplaySize(const DrawFields& f, float zoom)
{
    const std::int32_t w = TruncToInt(static_cast<float>(f.w) * f.s * zoom) / 4 * 4;
    const std::int32_t h = TruncToInt(static_cast<float>(f.h) * f.s * zoom) / 4 * 4;
    return QSize(w, h);
}

QSizeF TextDisplaySize(const Text& text, float zoom)
{
    return QSizeF(static_cast<float>(text.boxWidth) * text.scale * zoom, static_cast<float>(text.boxHeight) * text.scale * zoom);
}

QImage BuildPhotoDisplay(Photo& photo, QSize displaySize, const QString& dataFolder, PhotoBuildInfo* info)
{
    PhotoBuildInfo local;
    PhotoBuildInfo& out = info ? *info : local;
    out = PhotoBuildInfo{};
    const QString path = photo.path.Value();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        out.fileMissing = true;
        return {};
    }

    // The platform decoder first (metafiles always go to the library). Its size, read
    // without decoding, clamps the crop and says how small the picture may be decoded.
    QImage picture;
    QSize full;
    bool reduced = false;
    if (!IsMetafilePath(path)) {
        bool readable = false;
        const QSize stored = PlatformSize(path, readable);
        if (readable) {
            out.decoded = true;
            QSize minimum;
            if (stored.width() > 0 && stored.height() > 0) {
                ClampCrop(photo, stored);
                minimum = DecodeMinimum(photo, displaySize, stored);
            }
            picture = ReadWithPlatform(path, minimum);
            if (!picture.isNull()) {
                full = stored;
                reduced = !minimum.isEmpty() && picture.size() != stored;
                // A size the decoder did not keep to counts for nothing.
                if (full.width() <= 0 || full.height() <= 0 || (!reduced && picture.size() != full)
                    || picture.width() > full.width() || picture.height() > full.height())
                    full = picture.size();
            }
        }
    }
    if (picture.isNull()) {
        out.decoded = true;
        picture = DecodeWithLibrary(path);
        full = picture.size();
    }
    if (picture.isNull())
        return {};
    out.decodedSize = picture.size();
    out.fullSize = full;

    ClampCrop(photo, full);
    const std::int64_t cropWidth = std::int64_t(photo.cropRight) - photo.cropLeft;
    const std::int64_t cropHeight = std::int64_t(photo.cropBottom) - photo.cropTop;
    if (cropWidth <= 0 || cropHeight <= 0)
        return {}; // left beyond right (or top beyond bottom): no area to show

    const QRect crop = CropInDecoded(photo, full, picture.size()).intersected(picture.rect());
    if (crop.isEmpty())
        return {};
    QImage clone = crop == picture.rect() ? picture : picture.copy(crop);
    picture = QImage(); // the whole decode is not kept
    clone = ToDrawingFormat(clone);

    QImage display;
    if (displaySize.width() < cropWidth) {
        if (displaySize.isEmpty() || TooLarge(displaySize))
            return {};
        display = clone.scaled(displaySize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        display = ToDrawingFormat(display);
    } else {
        display = clone;
    }
    clone = QImage();
    if (display.isNull())
        return {};
    if (photo.maskIndex > 0)
        ApplyMask(display, photo.maskIndex, dataFolder);
    return display;
}

QImage BuildPhotoFrame(const Photo& photo, QSize displaySize, const QString& dataFolder)
{
    if (photo.frameIndex < 1 || displaySize.isEmpty() || TooLarge(displaySize))
        return {};
    const std::optional<library::ImageEntry> entry = library::ReadImageEntry(
        dataFolder + QLatin1String(library::kPhotoFramesFile), photo.frameIndex - 1, library::LibraryLayout::ImageWithOpening);
    if (!entry)
        return {};
    return decor::BuildFrameImage(entry->picture, displaySize.width(), displaySize.height());
}

QImage LoadClipArtPicture(const ClipArt& clipArt, const CollageModel& model, const QString& dataFolder)
{
    if (clipArt.fromMemory == 0)
        return library::ReadThumbnailEntry(dataFolder + QLatin1String(library::kClipArtsFile), clipArt.sourceIndex);
    const PictureBuffer* buffer = model.PictureBufferAt(clipArt.sourceIndex);
    if (!buffer || buffer->width <= 0 || buffer->height <= 0
        || buffer->pixels.size() < std::size_t(buffer->width) * std::size_t(buffer->height) * 4)
        return {};
    QImage picture(buffer->width, buffer->height, QImage::Format_ARGB32);
    if (picture.isNull())
        return {};
    const std::uint8_t* p = buffer->pixels.data();
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x, p += 4)
            row[x] = qRgba(p[2], p[1], p[0], p[3]); // blue, green, red, alpha in memory
    }
    return picture;
}

QImage TintPicture(const QImage& picture, std::uint32_t colorRef)
{
    if (picture.isNull())
        return {};
    QImage tinted = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb colour = qRgb(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF)) & RGB_MASK;
    for (int y = 0; y < tinted.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(tinted.scanLine(y));
        for (int x = 0; x < tinted.width(); ++x)
            row[x] = (row[x] & 0xFF000000u) | colour;
    }
    return tinted;
}

QImage LoadBrushPicture(const BrushStamp& stamp, const QString& dataFolder)
{
    return TintPicture(library::ReadThumbnailEntry(dataFolder + QLatin1String(library::kBrushesFile), stamp.sourceIndex),
                       stamp.tintColor);
}

DrawnPicture PrepareDrawn(const QImage& picture, const ColourMatrix& matrix, float gamma)
{
    DrawnPicture drawn;
    if (picture.isNull() || TooLarge(picture.size()))
        return drawn;
    float alphaScale = 1.0f;
    if (gamma == 1.0f && matrix.IsAlphaScaleOnly(&alphaScale)) {
        if (!(alphaScale > 0.0f))
            return drawn; // fully transparent (or not a number): nothing to draw
        drawn.opacity = std::min(alphaScale, 1.0f);
        drawn.image = picture.hasAlphaChannel() ? picture.convertToFormat(QImage::Format_ARGB32_Premultiplied) : picture;
        return drawn;
    }
    drawn.image = TunedImage(picture, matrix, gamma).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return drawn;
}

QByteArray DrawnKey(const QImage& picture, const ColourMatrix& matrix, float gamma)
{
    return Key([&](QDataStream& out) {
        out << picture.cacheKey();
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c)
                out << matrix.At(r, c);
        out << gamma;
    });
}

QByteArray PhotoDisplayKey(const Photo& photo, QSize displaySize, const QString& dataFolder)
{
    return Key([&](QDataStream& out) {
        out << displaySize << photo.path.Bytes() << photo.cropLeft << photo.cropTop << photo.cropRight << photo.cropBottom
            << photo.maskIndex << dataFolder;
    });
}

QByteArray PhotoFrameKey(const Photo& photo, QSize displaySize, const QString& dataFolder)
{
    return Key([&](QDataStream& out) { out << displaySize << photo.frameIndex << dataFolder; });
}

QByteArray ClipArtPictureKey(const ClipArt& clipArt, const QString& dataFolder)
{
    return Key([&](QDataStream& out) { out << clipArt.fromMemory << clipArt.sourceIndex << dataFolder; });
}

QByteArray BrushPictureKey(const BrushStamp& stamp, const QString& dataFolder)
{
    return Key([&](QDataStream& out) { out << stamp.sourceIndex << stamp.tintColor << dataFolder; });
}

ColourMatrix MatrixOf(float opacity, const Tuning& t)
{
    return ItemColourMatrix(opacity, t);
}

float GammaOf(const Tuning& t)
{
    return ItemGamma(t);
}

} // namespace render
