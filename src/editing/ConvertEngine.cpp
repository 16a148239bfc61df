#include "editing/ConvertEngine.h"

#include "editing/CxImage.h"
#include "editing/JpegDecoder.h"
#include "editing/PictureEncoder.h"
#include "editing/PictureFiles.h"
#include "editing/RowWriters.h"
#include "editing/TiffWriter.h"

#include <QDir>
#include <QImage>
#include <QSaveFile>

#include <chrono>
#include <cstring>
#include <memory>
#include <utility>
#include <system_error>
#include <thread>

namespace {

bool ThroughEncoder(const QString& format)
{
    return format == QLatin1String("jpg") || format == QLatin1String("jpeg") || format == QLatin1String("gif")
        || format == QLatin1String("bmp") || format == QLatin1String("png");
}

// The picture library takes the rows in memory, bottom row first: no file passes between
// the two writers.
bool WriteThroughLibrary(const QImage& picture, const QString& name, const QString& path)
{
    const std::uint32_t code = FormatFromExtension(name);
    if (code == cx::kFormatUnknown)
        return false;
    const int width = picture.width();
    const int height = picture.height();
    CxImage image;
    if (!image.Create(width, height))
        return false;
    const std::size_t stride = std::size_t(width) * 3;
    const bool swap = picture.format() == QImage::Format_RGB888;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = image.GetBits(std::uint32_t(height - 1 - y));
        const std::uint8_t* in = picture.constScanLine(y);
        if (!swap) {
            std::memcpy(out, in, stride);
            continue;
        }
        for (std::size_t x = 0; x < stride; x += 3) {
            out[x + 0] = in[x + 2];
            out[x + 1] = in[x + 1];
            out[x + 2] = in[x + 0];
        }
    }
    return image.Save(path, code);
}

// Blue-green-red rows turned into red-green-blue in their own memory.
QImage SwapToRgb(QImage picture)
{
    if (picture.isNull() || picture.format() != QImage::Format_BGR888)
        return picture;
    const std::size_t stride = std::size_t(picture.width()) * 3;
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.scanLine(y);
        for (std::size_t x = 0; x < stride; x += 3)
            std::swap(row[x], row[x + 2]);
    }
    if (!picture.reinterpretAsFormat(QImage::Format_RGB888))
        return {};
    return picture;
}

// True for a source the JPEG reader may take: what the library's header reader would size
// as a JPEG (by the code of its extension), metafiles never.
bool JpegCandidate(const QString& source)
{
    const QString extension = PictureExtension(source);
    const std::uint32_t code = extension.isNull() ? cx::kFormatUnknown : FormatFromExtension(extension.toLower());
    return !IsMetafilePath(source) && (code == cx::kFormatJpg || code == cx::kFormatUnknown);
}

// Writes a picture whose rows become ready through the gate: JPEG, PNG, TIFF, PNM, TGA
// and PCX row by row as they come, BMP (rows stored bottom first) once every row is
// there, all from the picture's own rows (RowWriters.h); GIF, and pictures with texts in
// JPEG or PNG, through WritePicture once every row is there.
bool WriteFromRows(const QImage& picture, const QString& name, const QString& path, const RowGate& gate)
{
    if (FormatFromExtension(name) == cx::kFormatTif)
        return WriteTiff(picture, path, gate);
    const bool plain = picture.format() == QImage::Format_RGB888 && picture.textKeys().isEmpty();
    PictureEncoder encoder;
    if (plain && ThroughEncoder(name) && encoder.Select(path)
        && (encoder.mimeType == QLatin1String("image/jpeg") || encoder.mimeType == QLatin1String("image/png"))) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        const bool written = encoder.mimeType == QLatin1String("image/jpeg")
            ? WriteJpegRows(picture, 90, file, gate)
            : WritePngRows(picture, PictureEncoder::kPngZlibLevel, file, gate);
        if (!written) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    }
    using RowsWriter = bool (*)(const QImage&, QIODevice&, const RowGate&);
    RowsWriter rows = nullptr;
    if (name == QLatin1String("bmp") && encoder.Select(path) && encoder.mimeType == QLatin1String("image/bmp"))
        rows = WriteBmpRows;
    else if (name == QLatin1String("pnm"))
        rows = WritePnmRows;
    else if (name == QLatin1String("tga"))
        rows = WriteTgaRows;
    else if (name == QLatin1String("pcx"))
        rows = WritePcxRows;
    if (rows && picture.format() == QImage::Format_RGB888) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (!rows(picture, file, gate)) {
            file.cancelWriting();
            return false;
        }
        return file.commit();
    }
    if (!gate(picture.height()))
        return false;
    return ConvertEngine::WritePicture(picture, name, path);
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
    const QImage bitmap(pixels, width, height, qsizetype(width) * 3, QImage::Format_BGR888);
    if (ThroughEncoder(name)) {
        PictureEncoder encoder;
        if (!encoder.Select(path))
            return false;
        encoder.SetQuality(90);
        return encoder.Save(bitmap, path) == PictureEncoder::kOk;
    }
    return WriteThroughLibrary(bitmap, name, path);
}

bool ConvertEngine::WritePicture(const QImage& picture, const QString& format, const QString& path)
{
    if (picture.isNull()
        || (picture.format() != QImage::Format_BGR888 && picture.format() != QImage::Format_RGB888))
        return false;
    const QString name = format.toLower();
    if (ThroughEncoder(name)) {
        PictureEncoder encoder;
        if (!encoder.Select(path))
            return false;
        encoder.SetQuality(90);
        return encoder.Save(picture, path) == PictureEncoder::kOk;
    }
    if (FormatFromExtension(name) == cx::kFormatTif)
        return WriteTiff(picture, path);
    return WriteThroughLibrary(picture, name, path);
}

QImage ConvertEngine::ReadPicture(const QString& source)
{
    // A JPEG goes straight into its one 24-bit picture.
    if (JpegCandidate(source)) {
        QImage picture;
        switch (DecodeJpegUpright(source, picture)) {
        case JpegDecode::Decoded:
            return picture;
        case JpegDecode::Refused:
            return {};
        case JpegDecode::NotHandled:
        case JpegDecode::Failed:
            break;
        }
    }
    // The size from the header, then the decode (costed against the picture budget by
    // the decoders); the 24-bit picture is the decoded one, never a buffer taken on the
    // header's word.
    int width = 0;
    int height = 0;
    if (!SourceSize(source, width, height))
        return {};
    return SwapToRgb(LoadBgrPicture(source, width, height));
}

ConvertEngine::Outcome ConvertEngine::ConvertFile(const QString& source, const QString& format, const QString& output)
{
    const QString name = format.toLower();
    if (JpegCandidate(source)) {
        JpegRowDecoder decoder;
        const JpegDecode opened = decoder.Open(source);
        if (opened == JpegDecode::Refused)
            return Outcome::Skipped;
        if (opened == JpegDecode::Decoded) {
            // The rows are decoded on a second thread while this one encodes them.
            bool decoded = false;
            bool written = false;
            const RowGate gate = [&decoder](int rows) { return decoder.WaitRows(rows); };
            std::thread worker;
            try {
                worker = std::thread([&decoder, &decoded] { decoded = decoder.DecodeRows(); });
            } catch (const std::system_error&) {
                // No thread to be had: one after the other, below.
            }
            if (worker.joinable()) {
                written = WriteFromRows(decoder.Picture(), name, output, gate);
                worker.join();
            } else {
                decoded = decoder.DecodeRows();
                written = decoded && WriteFromRows(decoder.Picture(), name, output, gate);
            }
            if (decoded)
                return written ? Outcome::Written : Outcome::Failed;
            // Data the reader gave up on: the general path tries (and replaces what the
            // writer may have finished).
        }
    }
    int width = 0;
    int height = 0;
    if (!SourceSize(source, width, height))
        return Outcome::Skipped;
    const QImage picture = SwapToRgb(LoadBgrPicture(source, width, height));
    if (picture.isNull())
        return Outcome::Skipped;
    const RowGate everyRow = [](int) { return true; };
    return WriteFromRows(picture, name, output, everyRow) ? Outcome::Written : Outcome::Failed;
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
        report.output = OutputPath(outputFolder, source, name);
        report.outcome = ConvertFile(source, name, report.output);
        if (report.outcome == Outcome::Skipped) {
            report.output.clear();
            report.doneCount = doneCount.load();
            if (progress)
                progress(report);
            continue;
        }
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
