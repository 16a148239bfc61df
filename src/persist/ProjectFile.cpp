#include "persist/ProjectFile.h"

#include "base/LittleEndian.h"
#include "canvas/CollageModel.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <variant>

namespace project {

namespace {

bool ValidSide(std::int32_t side)
{
    return side > 0 && side <= CollageModel::kMaxCanvasSide;
}

} // namespace

Reader::Reader(QIODevice& device)
    : device_(device)
{
}

bool Reader::ReadExactly(std::uint8_t* out, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 n = device_.read(reinterpret_cast<char*>(out) + done, size - done);
        if (n <= 0)
            break;
        done += n;
    }
    offset_ += done;
    return done == size;
}

bool Reader::Fail(ReadStatus status, const QString& problem)
{
    status_ = status;
    problem_ = problem;
    return false;
}

bool Reader::Truncated(const QString& where)
{
    return Fail(ReadStatus::Truncated, QStringLiteral("the file ends early (%1 bytes, inside %2)").arg(offset_).arg(where));
}

bool Reader::ReadHeader()
{
    std::array<std::uint8_t, kPathFieldSize> buffer{};
    std::uint8_t* b = buffer.data();
    const QString header = QStringLiteral("the header");

    if (!ReadExactly(b, 4))
        return Truncated(header);
    header_.canvasWidth = le::ReadI32(b);
    if (!ValidSide(header_.canvasWidth))
        return Fail(ReadStatus::Invalid, QStringLiteral("the canvas width %1 is outside 1..%2").arg(header_.canvasWidth).arg(CollageModel::kMaxCanvasSide));
    header_.fieldsRead = 1;

    if (!ReadExactly(b, 4))
        return Truncated(header);
    header_.canvasHeight = le::ReadI32(b);
    if (!ValidSide(header_.canvasHeight))
        return Fail(ReadStatus::Invalid, QStringLiteral("the canvas height %1 is outside 1..%2").arg(header_.canvasHeight).arg(CollageModel::kMaxCanvasSide));
    header_.fieldsRead = 2;

    if (!ReadExactly(b, kPathFieldSize))
        return Truncated(header);
    PathField path;
    path.Read(b);
    header_.backgroundImagePath = path.Bytes();
    header_.fieldsRead = 3;

    if (!ReadExactly(b, 4))
        return Truncated(header);
    header_.backgroundColor = le::ReadU32(b);
    header_.fieldsRead = 4;

    if (!ReadExactly(b, 4))
        return Truncated(header);
    header_.backgroundPlacement = le::ReadI32(b);
    header_.fieldsRead = 5;

    if (!ReadExactly(b, 4))
        return Truncated(header);
    header_.itemCount = le::ReadI32(b);
    header_.fieldsRead = 6;

    if (header_.itemCount <= 0)
        status_ = ReadStatus::Complete;
    return true;
}

bool Reader::NextEntry(Entry& entry)
{
    if (status_ != ReadStatus::Reading)
        return false;
    if (entriesRead_ >= header_.itemCount) {
        status_ = ReadStatus::Complete;
        return false;
    }
    const QString where = QStringLiteral("item %1").arg(entriesRead_);
    std::array<std::uint8_t, Text::kSize> buffer{}; // the largest record
    if (!ReadExactly(buffer.data(), 4))
        return Truncated(where);
    entry.kind = le::ReadI32(buffer.data());
    entry.record.reset();
    const int size = RecordSize(entry.kind);
    if (size > 0) {
        if (!ReadExactly(buffer.data(), size))
            return Truncated(where);
        entry.record = ReadRecord(entry.kind, buffer.data());
        if (!AllFloatsFinite(*entry.record))
            return Fail(ReadStatus::Invalid, QStringLiteral("%1 (%2) holds a number that is not finite").arg(where, QLatin1String(KindName(KindOf(*entry.record)))));
    }
    ++entriesRead_;
    return true;
}

bool Reader::ReadPictureBuffers(std::vector<PictureBuffer>& buffers)
{
    buffers.clear();
    if (status_ != ReadStatus::Complete)
        return false;
    std::array<std::uint8_t, 8> b{};
    const qint64 start = offset_;
    if (!ReadExactly(b.data(), 4) || le::ReadU32(b.data()) != kBufferBlockTag) {
        offset_ = start; // no block: whatever follows is not ours
        return true;
    }
    const QString where = QStringLiteral("the picture buffers");
    auto truncated = [&] {
        buffers.clear();
        return Truncated(where);
    };
    auto invalid = [&](const QString& why) {
        buffers.clear();
        return Fail(ReadStatus::Invalid, QStringLiteral("%1: %2").arg(where, why));
    };
    if (!ReadExactly(b.data(), 4))
        return truncated();
    const std::int32_t count = le::ReadI32(b.data());
    if (count < 0 || count > 65536)
        return invalid(QStringLiteral("the count %1 cannot be right").arg(count));
    qint64 total = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (!ReadExactly(b.data(), 8))
            return truncated();
        const std::int32_t width = le::ReadI32(b.data());
        const std::int32_t height = le::ReadI32(b.data() + 4);
        if (width <= 0 || height <= 0 || width > CollageModel::kMaxCanvasSide || height > CollageModel::kMaxCanvasSide)
            return invalid(QStringLiteral("buffer %1 is %2 x %3").arg(i).arg(width).arg(height));
        const qint64 bytes = qint64(width) * height * 4;
        total += bytes;
        if (total > kMaxBufferBlockBytes)
            return invalid(QStringLiteral("more than %1 MB of pixels").arg(kMaxBufferBlockBytes >> 20));
        // Allocate only what the file really holds.
        if (!device_.isSequential() && device_.size() - device_.pos() < bytes) {
            offset_ += device_.size() - device_.pos();
            return truncated();
        }
        PictureBuffer buffer;
        buffer.width = width;
        buffer.height = height;
        buffer.pixels.resize(static_cast<std::size_t>(bytes));
        if (!ReadExactly(buffer.pixels.data(), bytes))
            return truncated();
        buffers.push_back(std::move(buffer));
    }
    return true;
}

namespace {

struct CanvasSettings {
    std::int32_t width;
    std::int32_t height;
    QByteArray path;
    std::uint32_t color;
    std::int32_t placement;
};

CanvasSettings SettingsOf(const CollageModel& model)
{
    return {model.CanvasWidth(), model.CanvasHeight(), model.BackgroundImagePathBytes(), model.BackgroundColor(),
            model.BackgroundPlacementValue()};
}

// Reads an open device into a canvas that ResetCanvas has emptied.
LoadResult ReadInto(CollageModel& model, QIODevice& device, const CanvasSettings& old)
{
    Reader reader(device);
    const bool headerRead = reader.ReadHeader();
    if (reader.Status() != ReadStatus::Invalid) {
        // Header fields are stored as they were read, as they stand in the file.
        const Header& h = reader.FileHeader();
        model.StoreLoadedSize(h.fieldsRead >= 1 ? h.canvasWidth : old.width, h.fieldsRead >= 2 ? h.canvasHeight : old.height);
        model.StoreLoadedBackground(h.fieldsRead >= 3 ? h.backgroundImagePath : old.path,
                                    h.fieldsRead >= 4 ? h.backgroundColor : old.color,
                                    h.fieldsRead >= 5 ? h.backgroundPlacement : old.placement);
    }
    if (headerRead) {
        std::vector<CanvasItem> items;
        Entry entry;
        while (reader.NextEntry(entry)) {
            if (entry.record)
                items.push_back(std::move(*entry.record));
        }
        std::vector<PictureBuffer> buffers;
        reader.ReadPictureBuffers(buffers);
        // The file's buffers go behind the ones the program already holds.
        const std::int32_t fileCount = static_cast<std::int32_t>(buffers.size());
        const std::int32_t base = model.PictureBufferCount();
        for (PictureBuffer& buffer : buffers)
            model.AppendPictureBuffer(std::move(buffer));
        for (CanvasItem& item : items) {
            if (auto* clipArt = std::get_if<ClipArt>(&item); clipArt && clipArt->fromMemory != 0) {
                const bool present = clipArt->sourceIndex >= 0 && clipArt->sourceIndex < fileCount;
                clipArt->sourceIndex = present ? base + clipArt->sourceIndex : -1;
            }
            model.AppendLoadedItem(std::move(item));
        }
    }

    switch (reader.Status()) {
    case ReadStatus::Complete:
    case ReadStatus::Reading:
        model.FinishLoad(true);
        return {LoadStatus::Loaded, QString()};
    case ReadStatus::Truncated:
        model.FinishLoad(false);
        return {LoadStatus::Truncated, reader.Problem()};
    case ReadStatus::Invalid:
        break;
    }
    // Refused: nothing of the file stays.
    model.ResetCanvas();
    model.StoreLoadedSize(old.width, old.height);
    model.StoreLoadedBackground(old.path, old.color, old.placement);
    model.FinishLoad(false);
    return {LoadStatus::Invalid, reader.Problem()};
}

} // namespace

LoadResult LoadProjectFile(CollageModel& model, const QString& path)
{
    const CanvasSettings old = SettingsOf(model);
    model.ResetCanvas();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        model.FinishLoad(true);
        return {LoadStatus::CannotOpen, QStringLiteral("cannot open %1: %2").arg(path, file.errorString())};
    }
    return ReadInto(model, file, old);
}

LoadResult LoadProjectFrom(CollageModel& model, QIODevice& device)
{
    const CanvasSettings old = SettingsOf(model);
    model.ResetCanvas();
    return ReadInto(model, device, old);
}

bool LoadProject(CollageModel& model, const QString& path)
{
    const LoadStatus status = LoadProjectFile(model, path).status;
    return status == LoadStatus::Loaded || status == LoadStatus::CannotOpen;
}

QByteArray ProjectBytes(const CollageModel& model)
{
    // Buffers named by items, in the order they are first named: their place in the block.
    std::vector<std::int32_t> saved;
    auto fileIndexOf = [&](std::int32_t index) -> std::int32_t {
        if (!model.PictureBufferAt(index))
            return -1;
        const auto it = std::find(saved.begin(), saved.end(), index);
        if (it != saved.end())
            return static_cast<std::int32_t>(it - saved.begin());
        saved.push_back(index);
        return static_cast<std::int32_t>(saved.size() - 1);
    };
    std::vector<CanvasItem> items;
    items.reserve(static_cast<std::size_t>(model.ItemCount()));
    qsizetype size = kHeaderSize;
    for (int i = 0; i < model.ItemCount(); ++i) {
        CanvasItem item = model.ItemAt(i);
        if (auto* clipArt = std::get_if<ClipArt>(&item); clipArt && clipArt->fromMemory != 0)
            clipArt->sourceIndex = fileIndexOf(clipArt->sourceIndex);
        size += 4 + RecordSize(item);
        items.push_back(std::move(item));
    }
    if (!saved.empty()) {
        size += 8;
        for (std::int32_t index : saved) {
            const PictureBuffer* buffer = model.PictureBufferAt(index);
            size += 8 + qsizetype(buffer->width) * buffer->height * 4;
        }
    }
    QByteArray bytes(size, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());

    le::WriteI32(p + 0, model.CanvasWidth());
    le::WriteI32(p + 4, model.CanvasHeight());
    const QByteArray& path = model.BackgroundImagePathBytes();
    std::copy(path.begin(), path.begin() + std::min<qsizetype>(path.size(), kPathFieldSize), p + kPathOffset);
    le::WriteU32(p + kColorOffset, model.BackgroundColor());
    le::WriteI32(p + kPlacementOffset, model.BackgroundPlacementValue());
    le::WriteI32(p + kCountOffset, model.ItemCount());
    p += kHeaderSize;
    for (int i = 0; i < model.ItemCount(); ++i) {
        const CanvasItem& item = items[static_cast<std::size_t>(i)];
        le::WriteI32(p, static_cast<std::int32_t>(model.KindAt(i)));
        WriteRecord(item, p + 4);
        p += 4 + RecordSize(item);
    }
    if (!saved.empty()) {
        le::WriteU32(p, kBufferBlockTag);
        le::WriteI32(p + 4, static_cast<std::int32_t>(saved.size()));
        p += 8;
        for (std::int32_t index : saved) {
            const PictureBuffer* buffer = model.PictureBufferAt(index);
            le::WriteI32(p, buffer->width);
            le::WriteI32(p + 4, buffer->height);
            p += 8;
            const std::size_t n = std::size_t(buffer->width) * std::size_t(buffer->height) * 4;
            std::copy_n(buffer->pixels.begin(), std::min(n, buffer->pixels.size()), p);
            p += n;
        }
    }
    return bytes;
}

SaveResult SaveProjectFile(CollageModel& model, const QString& path)
{
    // Unbuffered: a short write shows in write()'s result. Through the write buffer, a
    // short write at the final flush would go unnoticed and the cut file be renamed
    // over the target.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, QStringLiteral("cannot write %1: %2").arg(path, file.errorString())};
    const QByteArray bytes = ProjectBytes(model);
    if (file.write(bytes) != bytes.size()) {
        const QString problem = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("the file could not be written whole");
        file.cancelWriting();
        return {false, QStringLiteral("cannot write %1: %2").arg(path, problem)};
    }
    if (!file.commit())
        return {false, QStringLiteral("cannot write %1: %2").arg(path, file.errorString())};
    model.SetModified(false);
    return {true, QString()};
}

bool SaveProject(CollageModel& model, const QString& path)
{
    return SaveProjectFile(model, path).ok;
}

} // namespace project
