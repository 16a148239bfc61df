#include "editing/PictureEncoder.h"

#include "editing/CxImage.h"

#include <QImage>
#include <QImageWriter>
#include <QMimeDatabase>
#include <QSaveFile>

#include <vector>

namespace {

constexpr char kGifFormat[] = "gif";

std::vector<PictureEncoder::Encoder> ListEncoders()
{
    std::vector<PictureEncoder::Encoder> encoders;
    const QMimeDatabase database;
    auto known = [&](const QString& mime) {
        for (const auto& encoder : encoders)
            if (encoder.mimeType == mime)
                return true;
        return false;
    };
    for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
        const QMimeType type = database.mimeTypeForFile(QStringLiteral("x.") + QString::fromLatin1(format),
                                                        QMimeDatabase::MatchExtension);
        QString mime = type.name().toLower();
        QString extensions = type.globPatterns().join(QLatin1Char(';')).toLower();
        if (!type.isValid() || type.isDefault()) {
            mime = QStringLiteral("image/") + QString::fromLatin1(format).toLower();
            extensions = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        }
        if (!known(mime))
            encoders.push_back({format, mime, extensions});
    }
    if (!known(QStringLiteral("image/gif")))
        encoders.push_back({kGifFormat, QStringLiteral("image/gif"), QStringLiteral("*.gif")});
    return encoders;
}

} // namespace

const std::vector<PictureEncoder::Encoder>& PictureEncoder::Encoders()
{
    static const std::vector<Encoder> encoders = ListEncoders();
    return encoders;
}

bool PictureEncoder::Select(const QString& path)
{
    quality = 90;
    compression = 2;
    found = false;
    format.clear();
    mimeType.clear();
    const QString lower = path.toLower();
    const qsizetype dot = lower.lastIndexOf(QLatin1Char('.'));
    const QString pattern = dot >= 0 ? QStringLiteral("*") + lower.mid(dot) : lower;
    for (const Encoder& encoder : Encoders()) {
        if (encoder.mimeType == pattern || encoder.extensions.contains(pattern)) {
            format = encoder.format;
            mimeType = encoder.mimeType;
            found = true;
            break;
        }
    }
    return found;
}

int PictureEncoder::Save(const QImage& bitmap, const QString& path) const
{
    if (!found)
        return kUnknownImageFormat;
    if (bitmap.isNull() || path.isEmpty())
        return kInvalidParameter;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return kWin32Error;
    if (format == kGifFormat) {
        // Qt has no GIF writer: the picture library encodes it.
        CxImage image;
        std::size_t size = 0;
        if (!image.CreateFromImage(bitmap))
            return kGenericError;
        const auto bytes = image.Encode(cx::kFormatGif, size);
        if (!bytes || file.write(reinterpret_cast<const char*>(bytes.get()), qint64(size)) != qint64(size)) {
            file.cancelWriting();
            return kGenericError;
        }
        return file.commit() ? kOk : kWin32Error;
    }
    QImageWriter writer(&file, format);
    if (mimeType == QLatin1String("image/jpeg"))
        writer.setQuality(quality);
    else if (mimeType == QLatin1String("image/tiff"))
        writer.setCompression(compression == 6 ? 0 : 1); // none, or LZW
    else if (mimeType == QLatin1String("image/png"))
        writer.setQuality(PictureEncoder::kPngEffort);
    if (!writer.write(bitmap)) {
        file.cancelWriting();
        return kGenericError;
    }
    return file.commit() ? kOk : kWin32Error;
}
