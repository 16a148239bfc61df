#include "library/LibraryFiles.h"

#include "base/LittleEndian.h"
#include "base/PictureBudget.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace library {

namespace {

constexpr std::int64_t kMaxPixels = kMaxBlockBytes / 4;

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

std::int64_t MinEntrySize(LibraryLayout layout)
{
    switch (layout) {
    case LibraryLayout::Thumbnail:
        return kThumbnailHeaderSize;
    case LibraryLayout::Image:
        return kImageHeaderSize;
    case LibraryLayout::ImageWithOpening:
        return kImageHeaderSize + kOpeningSize;
    }
    return kThumbnailHeaderSize;
}

// A library file opened for reading, with bounds-checked reads at absolute offsets.
class LibraryFileReader {
public:
    explicit LibraryFileReader(const QString& path) : file_(path)
    {
        if (file_.open(QIODevice::ReadOnly))
            size_ = file_.size();
    }

    bool isOpen() const { return file_.isOpen(); }
    std::int64_t size() const { return size_; }

    // Reads exactly length bytes at offset into out; false when they are not all there.
    bool ReadAt(std::int64_t offset, void* out, std::int64_t length)
    {
        if (offset < 0 || length < 0 || offset > size_ || length > size_ - offset)
            return false;
        if (!file_.seek(offset))
            return false;
        return file_.read(static_cast<char*>(out), length) == length;
    }

    bool ReadCount(std::int32_t& count)
    {
        std::uint8_t bytes[4];
        if (!ReadAt(0, bytes, 4))
            return false;
        count = le::ReadI32(bytes);
        return true;
    }

    // The header of the entry at offset; false (with a reason) when it is damaged.
    bool ReadEntryHeader(std::int64_t offset, LibraryLayout layout, EntryHeader& header, QString& why)
    {
        header = EntryHeader{};
        header.offset = offset;
        std::array<std::uint8_t, kImageHeaderSize + kOpeningSize> bytes{};
        const std::int64_t headerSize = MinEntrySize(layout);
        if (!ReadAt(offset, bytes.data(), headerSize)) {
            why = QStringLiteral("the file ends inside the entry's header");
            return false;
        }
        header.width = le::ReadI32(bytes.data());
        header.height = le::ReadI32(bytes.data() + 4);
        if (header.width < 0 || header.height < 0) {
            why = QStringLiteral("negative width or height");
            return false;
        }
        std::int64_t payload = 0;
        if (layout == LibraryLayout::Thumbnail) {
            const std::int64_t pixels = std::int64_t{header.width} * header.height;
            if (pixels > kMaxPixels) {
                why = QStringLiteral("pixel block larger than 1 GB");
                return false;
            }
            payload = pixels * 4;
        } else {
            header.dataLength = le::ReadI32(bytes.data() + 8);
            if (header.dataLength < 0) {
                why = QStringLiteral("negative data length");
                return false;
            }
            if (header.dataLength > kMaxBlockBytes) {
                why = QStringLiteral("picture larger than 1 GB");
                return false;
            }
            payload = header.dataLength;
            if (layout == LibraryLayout::ImageWithOpening) {
                const std::uint8_t* p = bytes.data() + kImageHeaderSize;
                // The opening does not decide where the next entry starts: an entry with a
                // nonsense opening is refused on its own by the readers that need it.
                header.opening = FrameOpening{le::ReadF32(p), le::ReadF32(p + 4), le::ReadF32(p + 8),
                                              le::ReadF32(p + 12)};
            }
        }
        const std::int64_t start = offset + headerSize;
        if (payload > size_ - start) {
            why = layout == LibraryLayout::Thumbnail
                ? QStringLiteral("the pixel block runs past the end of the file")
                : QStringLiteral("the picture runs past the end of the file");
            return false;
        }
        header.size = headerSize + payload;
        return true;
    }

    // Walks to entry n and reads its header; false when n is out of range or any entry
    // up to n is damaged.
    bool FindEntry(int n, LibraryLayout layout, EntryHeader& header)
    {
        std::int32_t count = 0;
        if (n < 0 || !ReadCount(count) || count < 0 || n >= count)
            return false;
        std::int64_t offset = kCountSize;
        QString why;
        for (int i = 0; i <= n; ++i) {
            if (!ReadEntryHeader(offset, layout, header, why))
                return false;
            offset += header.size;
        }
        return true;
    }

private:
    QFile file_;
    std::int64_t size_ = 0;
};

// Pixel blocks are blue, green, red, alpha per pixel: a QImage::Format_ARGB32 pixel in
// little-endian byte order.
void BlockFromHost(QImage& image)
{
    if constexpr (std::endian::native == std::endian::big) {
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = qToLittleEndian(row[x]);
        }
    }
}

// A picture as non-premultiplied ARGB with its rows in stored byte order.
QImage StoredPixels(const QImage& picture)
{
    QImage stored = picture.convertToFormat(QImage::Format_ARGB32);
    BlockFromHost(stored);
    return stored;
}

bool CheckThumbnail(const QImage& picture, std::size_t index, QString* error)
{
    if (picture.isNull()) {
        SetError(error, QStringLiteral("entry %1 has no picture").arg(index));
        return false;
    }
    if (std::int64_t{picture.width()} * picture.height() > kMaxPixels) {
        SetError(error, QStringLiteral("entry %1 is larger than 1 GB").arg(index));
        return false;
    }
    return true;
}

bool CheckImageEntry(const ImageEntryData& entry, LibraryLayout layout, std::size_t index, QString* error)
{
    if (entry.width < 0 || entry.height < 0) {
        SetError(error, QStringLiteral("entry %1 has a negative size").arg(index));
        return false;
    }
    if (entry.encoded.size() > kMaxBlockBytes) {
        SetError(error, QStringLiteral("entry %1 is larger than 1 GB").arg(index));
        return false;
    }
    if (layout == LibraryLayout::ImageWithOpening && !IsUsableOpening(entry.opening)) {
        SetError(error, QStringLiteral("entry %1 has an unusable opening").arg(index));
        return false;
    }
    return true;
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

bool WriteThumbnailEntry(QSaveFile& out, const QImage& picture)
{
    const QImage stored = StoredPixels(picture);
    if (!WriteI32(out, stored.width()) || !WriteI32(out, stored.height()))
        return false;
    const std::int64_t rowBytes = std::int64_t{stored.width()} * 4;
    for (int y = 0; y < stored.height(); ++y) {
        if (!WriteAll(out, stored.constScanLine(y), rowBytes))
            return false;
    }
    return true;
}

bool WriteImageEntry(QSaveFile& out, const ImageEntryData& entry, LibraryLayout layout)
{
    if (!WriteI32(out, entry.width) || !WriteI32(out, entry.height)
        || !WriteI32(out, static_cast<std::int32_t>(entry.encoded.size())))
        return false;
    if (layout == LibraryLayout::ImageWithOpening) {
        std::uint8_t bytes[kOpeningSize];
        le::WriteF32(bytes, entry.opening.left);
        le::WriteF32(bytes + 4, entry.opening.top);
        le::WriteF32(bytes + 8, entry.opening.right);
        le::WriteF32(bytes + 12, entry.opening.bottom);
        if (!WriteAll(out, bytes, kOpeningSize))
            return false;
    }
    return WriteAll(out, entry.encoded.constData(), entry.encoded.size());
}

// Writes count, the kept entries of the existing file (bytes 4 to keepEnd), then the new
// entries through writeEntry(out, i); commits only when everything was written.
template <typename WriteEntry>
bool WriteLibraryFile(const QString& path, const QString& keepFrom, std::int64_t keepEnd,
                      std::int32_t keptCount, std::size_t newCount, WriteEntry writeEntry, QString* error)
{
    if (newCount > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - keptCount)) {
        SetError(error, QStringLiteral("too many entries for one library file"));
        return false;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        SetError(error, QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
        return false;
    }
    bool ok = WriteI32(out, keptCount + static_cast<std::int32_t>(newCount));
    if (ok && keepEnd > kCountSize) {
        QFile in(keepFrom);
        ok = in.open(QIODevice::ReadOnly) && in.seek(kCountSize);
        std::vector<char> buffer(1 << 20);
        for (std::int64_t left = keepEnd - kCountSize; ok && left > 0;) {
            const std::int64_t chunk = std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size()));
            ok = in.read(buffer.data(), chunk) == chunk && WriteAll(out, buffer.data(), chunk);
            left -= chunk;
        }
    }
    for (std::size_t i = 0; ok && i < newCount; ++i)
        ok = writeEntry(out, i);
    if (!ok)
        out.cancelWriting();
    if (!ok || !out.commit()) {
        SetError(error, QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
        return false;
    }
    return true;
}

// The entries an append keeps: the existing file's count and the end of its last entry.
bool ExistingEntries(const QString& path, LibraryLayout layout, std::int32_t& count, std::int64_t& end,
                     QString* error)
{
    count = 0;
    end = 0;
    if (!QFileInfo::exists(path))
        return true;
    QString why;
    const std::optional<LibraryScan> scan = ScanLibraryFile(path, layout, &why);
    if (!scan) {
        SetError(error, QStringLiteral("%1 is damaged (%2); nothing was added").arg(path, why));
        return false;
    }
    count = scan->count;
    end = scan->fileSize - scan->trailingBytes;
    return true;
}

} // namespace

std::optional<CategoryFiles> FilesOfCategory(std::int32_t categoryCode)
{
    switch (static_cast<LibraryCategory>(categoryCode)) {
    case LibraryCategory::PhotoFrames:
        return CategoryFiles{kPhotoFramesThumbFile, kPhotoFramesFile, LibraryLayout::ImageWithOpening};
    case LibraryCategory::PhotoMasks:
        return CategoryFiles{kPhotoMasksThumbFile, kPhotoMasksFile, LibraryLayout::Image};
    case LibraryCategory::ClipArt:
        return CategoryFiles{kClipArtsFile, nullptr, LibraryLayout::Image};
    case LibraryCategory::Decorations:
        return CategoryFiles{kDecorateThumbFile, kDecorateFile, LibraryLayout::Image};
    case LibraryCategory::Brushes:
        return CategoryFiles{kBrushesFile, nullptr, LibraryLayout::Image};
    case LibraryCategory::Shapes:
        return CategoryFiles{kShapeThumbFile, kShapeFile, LibraryLayout::Image};
    }
    return std::nullopt;
}

std::optional<LibraryLayout> LayoutOfLibraryFile(const QString& fileName)
{
    if (fileName == QLatin1String(kPhotoFramesFile))
        return LibraryLayout::ImageWithOpening;
    for (const char* name : {kPhotoMasksFile, kDecorateFile, kShapeFile}) {
        if (fileName == QLatin1String(name))
            return LibraryLayout::Image;
    }
    for (const char* name : {kPhotoFramesThumbFile, kPhotoMasksThumbFile, kClipArtsFile, kDecorateThumbFile,
                             kBrushesFile, kShapeThumbFile}) {
        if (fileName == QLatin1String(name))
            return LibraryLayout::Thumbnail;
    }
    return std::nullopt;
}

FrameOpening ClampedOpening(const FrameOpening& o)
{
    const auto unit = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
    return FrameOpening{unit(o.left), unit(o.top), unit(o.right), unit(o.bottom)};
}

bool IsUsableOpening(const FrameOpening& o)
{
    for (float v : {o.left, o.top, o.right, o.bottom}) {
        if (!std::isfinite(v))
            return false;
    }
    const FrameOpening c = ClampedOpening(o);
    return c.left < c.right && c.top < c.bottom;
}

std::optional<LibraryScan> ScanLibraryFile(const QString& path, LibraryLayout layout, QString* error)
{
    LibraryFileReader reader(path);
    if (!reader.isOpen()) {
        SetError(error, QStringLiteral("cannot open the file"));
        return std::nullopt;
    }
    LibraryScan scan;
    scan.fileSize = reader.size();
    if (!reader.ReadCount(scan.count)) {
        SetError(error, QStringLiteral("the file is shorter than its count"));
        return std::nullopt;
    }
    if (scan.count < 0) {
        SetError(error, QStringLiteral("negative count %1").arg(scan.count));
        return std::nullopt;
    }
    // Every entry takes at least its header; a count the file cannot hold is refused
    // before anything is sized by it.
    if (scan.count > (scan.fileSize - kCountSize) / MinEntrySize(layout)) {
        SetError(error, QStringLiteral("count %1 is more than the file can hold").arg(scan.count));
        return std::nullopt;
    }
    std::int64_t offset = kCountSize;
    for (std::int32_t i = 0; i < scan.count; ++i) {
        EntryHeader header;
        QString why;
        if (!reader.ReadEntryHeader(offset, layout, header, why)) {
            SetError(error, QStringLiteral("entry %1 at offset %2: %3").arg(i).arg(offset).arg(why));
            return std::nullopt;
        }
        offset += header.size;
        scan.entries.push_back(header);
    }
    scan.trailingBytes = scan.fileSize - offset;
    return scan;
}

LibraryScan ScanCompleteEntries(const QString& path, LibraryLayout layout)
{
    LibraryScan scan;
    LibraryFileReader reader(path);
    if (!reader.isOpen())
        return scan;
    scan.fileSize = reader.size();
    std::int64_t offset = 0;
    if (reader.ReadCount(scan.count)) {
        offset = kCountSize;
        for (std::int32_t i = 0; i < scan.count; ++i) {
            EntryHeader header;
            QString why;
            if (!reader.ReadEntryHeader(offset, layout, header, why))
                break;
            offset += header.size;
            scan.entries.push_back(header);
        }
    } else {
        scan.count = 0;
    }
    scan.trailingBytes = scan.fileSize - offset;
    return scan;
}

QImage ReadThumbnailEntry(const QString& path, int n)
{
    LibraryFileReader reader(path);
    EntryHeader header;
    if (!reader.FindEntry(n, LibraryLayout::Thumbnail, header) || header.width == 0 || header.height == 0)
        return {};
    QImage picture(header.width, header.height, QImage::Format_ARGB32);
    if (picture.isNull() || picture.bytesPerLine() != std::int64_t{header.width} * 4)
        return {};
    if (!reader.ReadAt(header.offset + kThumbnailHeaderSize, picture.bits(), picture.sizeInBytes()))
        return {};
    BlockFromHost(picture);
    return picture;
}

std::optional<EntryHeader> ReadImageEntryHeader(const QString& path, int n, LibraryLayout layout)
{
    if (layout == LibraryLayout::Thumbnail)
        return std::nullopt;
    LibraryFileReader reader(path);
    EntryHeader header;
    if (!reader.FindEntry(n, layout, header))
        return std::nullopt;
    return header;
}

std::optional<ImageEntry> ReadImageEntry(const QString& path, int n, LibraryLayout layout)
{
    if (layout == LibraryLayout::Thumbnail)
        return std::nullopt;
    LibraryFileReader reader(path);
    ImageEntry entry;
    if (!reader.FindEntry(n, layout, entry.header))
        return std::nullopt;
    if (entry.header.opening && !IsUsableOpening(*entry.header.opening))
        return std::nullopt;
    QByteArray encoded(entry.header.dataLength, Qt::Uninitialized);
    const std::int64_t dataOffset = entry.header.offset + entry.header.size - entry.header.dataLength;
    if (!reader.ReadAt(dataOffset, encoded.data(), encoded.size()))
        return std::nullopt;
    entry.picture = DecodeLibraryPicture(encoded);
    if (entry.picture.isNull())
        return std::nullopt;
    return entry;
}

std::optional<FrameOpening> ReadFrameOpening(const QString& path, int n)
{
    const std::optional<EntryHeader> header = ReadImageEntryHeader(path, n, LibraryLayout::ImageWithOpening);
    if (!header || !header->opening || !IsUsableOpening(*header->opening))
        return std::nullopt;
    return ClampedOpening(*header->opening);
}

QSize ReadShapeSize(const QString& path, int n)
{
    const std::optional<EntryHeader> header = ReadImageEntryHeader(path, n, LibraryLayout::Image);
    if (!header)
        return QSize(0, 0);
    return QSize(header->width, header->height);
}

QImage DecodeLibraryPicture(const QByteArray& encoded)
{
    if (encoded.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(encoded);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    // The picture is taken as stored; the opening of a frame refers to these pixels.
    reader.setAutoTransform(false);
    // Costed from the header against the picture budget: the decoded picture and its
    // 32-bit copy, and a multi-scan JPEG's coefficients. A reader that cannot tell the
    // size first is held by the platform's allocation limit.
    const QSize size = reader.size();
    if (size.isValid()) {
        budget::JpegLayout layout;
        const std::int64_t working = budget::ReadJpegLayout(reinterpret_cast<const std::uint8_t*>(encoded.constData()),
                                                            std::size_t(encoded.size()), layout)
            ? layout.WorkingBytes()
            : 0;
        if (!budget::DecodeFits(size, size, 2 * budget::kPlatformBytesPerPixel, working))
            return {};
    }
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull())
        return {};
    if (!budget::DecodeFits(decoded.size(), decoded.size(), 2 * budget::kPlatformBytesPerPixel))
        return {};
    return decoded.convertToFormat(QImage::Format_ARGB32);
}

bool WriteThumbnailFile(const QString& path, const std::vector<QImage>& entries, QString* error)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!CheckThumbnail(entries[i], i, error))
            return false;
    }
    return WriteLibraryFile(
        path, QString(), 0, 0, entries.size(),
        [&](QSaveFile& out, std::size_t i) { return WriteThumbnailEntry(out, entries[i]); }, error);
}

bool WriteImageFile(const QString& path, LibraryLayout layout, const std::vector<ImageEntryData>& entries,
                    QString* error)
{
    if (layout == LibraryLayout::Thumbnail) {
        SetError(error, QStringLiteral("not an image file layout"));
        return false;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!CheckImageEntry(entries[i], layout, i, error))
            return false;
    }
    return WriteLibraryFile(
        path, QString(), 0, 0, entries.size(),
        [&](QSaveFile& out, std::size_t i) { return WriteImageEntry(out, entries[i], layout); }, error);
}

bool AppendThumbnailEntries(const QString& path, const std::vector<QImage>& entries, QString* error)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!CheckThumbnail(entries[i], i, error))
            return false;
    }
    std::int32_t kept = 0;
    std::int64_t keepEnd = 0;
    if (!ExistingEntries(path, LibraryLayout::Thumbnail, kept, keepEnd, error))
        return false;
    return WriteLibraryFile(
        path, path, keepEnd, kept, entries.size(),
        [&](QSaveFile& out, std::size_t i) { return WriteThumbnailEntry(out, entries[i]); }, error);
}

bool AppendImageEntries(const QString& path, LibraryLayout layout, const std::vector<ImageEntryData>& entries,
                        QString* error)
{
    if (layout == LibraryLayout::Thumbnail) {
        SetError(error, QStringLiteral("not an image file layout"));
        return false;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!CheckImageEntry(entries[i], layout, i, error))
            return false;
    }
    std::int32_t kept = 0;
    std::int64_t keepEnd = 0;
    if (!ExistingEntries(path, layout, kept, keepEnd, error))
        return false;
    return WriteLibraryFile(
        path, path, keepEnd, kept, entries.size(),
        [&](QSaveFile& out, std::size_t i) { return WriteImageEntry(out, entries[i], layout); }, error);
}

} // namespace library
