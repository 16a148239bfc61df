#include "editing/ConvertEngine.h"

#include "editing/CxImage.h"
#include "editing/PictureEncoder.h"
#include "editing/PictureFiles.h"

#include <QDir>
#include <QImage>

#include <chrono>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

namespace {

bool ThroughEncoder(const QString& format)
{
    return format == QLatin1String("jpg") || format == QLatin1String("jpeg") || format == QLatin1String("gif")
        || format == QLatin1String("bmp") || format == QLatin1String("png");
}

} // namespace

const QStringList& ConvertEngine::FormatNames()
{
    static const QStringList names = {
        QStringLiteral("JPG"), QStringLiteral("BMP"), QStringLiteral("GIF"), QStringLiteral("PNG"),
        QStringLiteral("PNM"), QStringLiteral("TGA"), QStringLiteral("TIF"), QStringLiteral("PCX"),
    };
    return names;
}

QString ConvertEngine::OutputPath(const QString& outputFolder, const QString& source, const QString& format)
{
    QString folder = outputFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    QString name = source.mid(source.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot + 1);
    else
        name += QLatin1Char('.');
    return folder + name + format.toLower();
}

bool ConvertEngine::SourceSize(const QString& path, int& width, int& height)
{
    // Metafiles have no pixel size of their own: the metafile reader gives the size it
    // draws them at (the platform has no metafile decoder here).
    if (IsMetafilePath(path))
        return PictureSize(path, width, height);
    const QString extension = PictureExtension(path);
    const std::uint32_t code = extension.isNull() ? cx::kFormatUnknown : FormatFromExtension(extension.toLower());
    return CxImage::Ping(path, code, width, height);
}

bool ConvertEngine::WritePicture(const std::uint8_t* pixels, int width, int height, const QString& format,
                                 const QString& path)
{
    if (!pixels || width <= 0 || height <= 0)
        return false;
    const QString name = format.toLower();
    if (ThroughEncoder(name)) {
        const QImage bitmap(pixels, width, height, qsizetype(width) * 3, QImage::Format_BGR888);
        PictureEncoder encoder;
        if (!encoder.Select(path))
            return false;
        encoder.SetQuality(90);
        return encoder.Save(bitmap, path) == PictureEncoder::kOk;
    }
    // The picture library takes the rows in memory, bottom row first: no file passes
    // between the two writers.
    const std::uint32_t code = FormatFromExtension(name);
    if (code == cx::kFormatUnknown)
        return false;
    CxImage image;
    if (!image.Create(width, height))
        return false;
    const std::size_t stride = std::size_t(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(image.GetBits(std::uint32_t(height - 1 - y)), pixels + stride * std::size_t(y), stride);
    return image.Save(path, code);
}

bool ConvertEngine::Run(const QStringList& files, const QString& format, const QString& outputFolder,
                        const Progress& progress)
{
    return Run(
        [&files](int index, QString& path) {
            if (index < 0 || index >= files.size())
                return false;
            path = files.at(index);
            return true;
        },
        format, outputFolder, progress);
}

bool ConvertEngine::Run(const FileAt& files, const QString& format, const QString& outputFolder,
                        const Progress& progress)
{
    if (!FormatNames().contains(format.toUpper()))
        return false;
    const QString name = format.toLower();
    converting.store(true);
    doneCount.store(0);
    // A folder that went missing since it was chosen is made again.
    QDir().mkpath(outputFolder);
    QString source;
    for (int index = 0; files(index, source); ++index) {
        if (stop.load()) {
            stop.store(false);
            converting.store(false);
            doneCount.store(0);
            return true;
        }
        FileReport report;
        report.index = index;
        report.source = source;
        int width = 0;
        int height = 0;
        std::unique_ptr<std::uint8_t[]> buffer;
        if (SourceSize(source, width, height)
            && std::uint64_t(width) * std::uint64_t(height) <= std::uint64_t(1) << 30) {
            const std::size_t size = std::size_t(width) * std::size_t(height) * 3;
            buffer.reset(new (std::nothrow) std::uint8_t[size]);
            if (buffer) {
                std::memset(buffer.get(), 0, size);
                if (!LoadBgrTopDown(source, buffer.get(), width, height))
                    buffer.reset();
            }
        }
        if (!buffer) {
            report.doneCount = doneCount.load();
            if (progress)
                progress(report);
            continue;
        }
        report.output = OutputPath(outputFolder, source, name);
        report.outcome = WritePicture(buffer.get(), width, height, name, report.output) ? Outcome::Written : Outcome::Failed;
        buffer.reset();
        report.doneCount = doneCount.fetch_add(1) + 1;
        if (progress)
            progress(report);
        if (const int milliseconds = pause.load(); milliseconds > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    converting.store(false);
    doneCount.store(0);
    return true;
}
