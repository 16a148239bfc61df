#include "library/PackBuilder.h"

#include "base/LittleEndian.h"

#include <QFile>
#include <QSaveFile>

#include <array>
#include <limits>

namespace library {

namespace {

constexpr std::array<const char*, 6> kCategoryNames{"frames", "masks", "clipart", "decorations", "brushes", "shapes"};

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool ScaledThumbnail(std::int32_t categoryCode)
{
    switch (static_cast<LibraryCategory>(categoryCode)) {
    case LibraryCategory::PhotoFrames:
    case LibraryCategory::PhotoMasks:
    case LibraryCategory::Decorations:
        return true;
    case LibraryCategory::ClipArt:
    case LibraryCategory::Brushes:
    case LibraryCategory::Shapes:
        break;
    }
    return false;
}

bool WriteAll(QSaveFile& out, const void* data, std::int64_t length)
{
    return out.write(static_cast<const char*>(data), length) == length;
}

bool WriteI32(QSaveFile& out, std::int32_t value)
{
    std::uint8_t bytes[4];
    le::WriteI32(bytes, value);
    return WriteAll(out, bytes, 4);
}

bool WriteThumbnail(QSaveFile& out, const QImage& thumbnail)
{
    if (!WriteI32(out, thumbnail.width()) || !WriteI32(out, thumbnail.height()))
        return false;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(thumbnail.width()) * 4);
    for (int y = 0; y < thumbnail.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(thumbnail.constScanLine(y));
        for (int x = 0; x < thumbnail.width(); ++x)
            le::WriteU32(row.data() + std::size_t(x) * 4, pixels[x]); // blue, green, red, alpha
        if (!WriteAll(out, row.data(), static_cast<std::int64_t>(row.size())))
            return false;
    }
    return true;
}

// What a new frame may carry: the readers would accept more (clamping), a builder makes
// nothing they would have to clamp.
bool IsOpeningInsideFrame(const FrameOpening& o)
{
    for (float v : {o.left, o.top, o.right, o.bottom}) {
        if (!(v >= 0.0f && v <= 1.0f))
            return false;
    }
    return o.left < o.right && o.top < o.bottom;
}

} // namespace

QImage PackThumbnail(std::int32_t categoryCode, const QImage& picture)
{
    if (picture.isNull())
        return {};
    if (!ScaledThumbnail(categoryCode))
        return picture.convertToFormat(QImage::Format_ARGB32);
    const int height = static_cast<int>(std::int64_t{kPackThumbnailWidth} * picture.height() / picture.width());
    if (height <= 0)
        return QImage(kPackThumbnailWidth, 0, QImage::Format_ARGB32);
    // Scaled premultiplied, so transparent pixels lend no colour to their neighbours.
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
        .scaled(kPackThumbnailWidth, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

bool BuildResourcePack(std::int32_t categoryCode, const QString& outPath, const std::vector<PackSource>& sources,
                       QString* error)
{
    if (!FilesOfCategory(categoryCode)) {
        SetError(error, QStringLiteral("unknown category %1").arg(categoryCode));
        return false;
    }
    const bool frames = categoryCode == static_cast<std::int32_t>(LibraryCategory::PhotoFrames);
    if (sources.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        SetError(error, QStringLiteral("too many pictures"));
        return false;
    }
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly)) {
        SetError(error, QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
        return false;
    }
    if (!WriteI32(out, categoryCode) || !WriteI32(out, static_cast<std::int32_t>(sources.size()))) {
        SetError(error, QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
        return false;
    }
    for (const PackSource& source : sources) {
        if (frames && (!source.opening || !IsOpeningInsideFrame(*source.opening))) {
            SetError(error, QStringLiteral("%1: a photo frame needs an opening of four fractions 0..1, left < right "
                                           "and top < bottom")
                                .arg(source.path));
            return false;
        }
        if (!frames && source.opening) {
            SetError(error, QStringLiteral("%1: only photo frames have an opening").arg(source.path));
            return false;
        }
        QFile file(source.path);
        if (!file.open(QIODevice::ReadOnly)) {
            SetError(error, QStringLiteral("%1: %2").arg(source.path, file.errorString()));
            return false;
        }
        if (file.size() > kMaxBlockBytes) {
            SetError(error, QStringLiteral("%1: larger than 1 GB").arg(source.path));
            return false;
        }
        const QByteArray encoded = file.readAll();
        const QImage picture = DecodeLibraryPicture(encoded);
        if (picture.isNull()) {
            SetError(error, QStringLiteral("%1: not a picture that can be read").arg(source.path));
            return false;
        }
        const QImage thumbnail = PackThumbnail(categoryCode, picture);
        bool ok = WriteThumbnail(out, thumbnail) && WriteI32(out, picture.width()) && WriteI32(out, picture.height())
            && WriteI32(out, static_cast<std::int32_t>(encoded.size()));
        if (ok && frames) {
            std::uint8_t bytes[kOpeningSize];
            le::WriteF32(bytes, source.opening->left);
            le::WriteF32(bytes + 4, source.opening->top);
            le::WriteF32(bytes + 8, source.opening->right);
            le::WriteF32(bytes + 12, source.opening->bottom);
            ok = WriteAll(out, bytes, kOpeningSize);
        }
        if (!ok || !WriteAll(out, encoded.constData(), encoded.size())) {
            SetError(error, QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
            return false;
        }
    }
    if (!out.commit()) {
        SetError(error, QStringLiteral("cannot write %1: %2").arg(outPath, out.errorString()));
        return false;
    }
    return true;
}

std::optional<std::int32_t> CategoryByName(const QString& name)
{
    for (std::size_t i = 0; i < kCategoryNames.size(); ++i) {
        if (name == QLatin1String(kCategoryNames[i]) || name == QString::number(i))
            return static_cast<std::int32_t>(i);
    }
    return std::nullopt;
}

const char* CategoryName(std::int32_t categoryCode)
{
    if (categoryCode < 0 || categoryCode >= static_cast<std::int32_t>(kCategoryNames.size()))
        return "unknown";
    return kCategoryNames[static_cast<std::size_t>(categoryCode)];
}

} // namespace library
