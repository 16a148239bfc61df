#include "library/PhotoLibraryFile.h"

#include "base/DataFolder.h"
#include "base/LittleEndian.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <limits>

namespace library {

namespace {

template <std::size_t N>
void ReadField(PhotoTextField<N>& field, const std::uint8_t* p)
{
    std::memcpy(field.bytes.data(), p, N);
}

template <std::size_t N>
void WriteField(const PhotoTextField<N>& field, std::uint8_t* p)
{
    std::memcpy(p, field.bytes.data(), N);
}

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool WriteAll(QSaveFile& out, const void* data, std::int64_t length)
{
    return length == 0 || out.write(static_cast<const char*>(data), length) == length;
}

bool WriteI32(QSaveFile& out, std::int32_t value)
{
    std::uint8_t bytes[4];
    le::WriteI32(bytes, value);
    return WriteAll(out, bytes, 4);
}

} // namespace

QString PhotoLibraryFilePath()
{
    return DataFolder() + QLatin1String(kPhotoLibraryFile);
}

PhotoRecord PhotoRecord::Read(const std::uint8_t* p)
{
    PhotoRecord r;
    ReadField(r.path, p + Off::path);
    ReadField(r.drive, p + Off::drive);
    ReadField(r.folder, p + Off::folder);
    ReadField(r.name, p + Off::name);
    ReadField(r.extension, p + Off::extension);
    std::memcpy(r.reserved.data(), p + Off::reserved, kReservedSize);
    r.index = le::ReadI32(p + Off::index);
    r.width = le::ReadI32(p + Off::width);
    r.height = le::ReadI32(p + Off::height);
    r.drawOption = le::ReadI32(p + Off::drawOption);
    r.selected = le::ReadI32(p + Off::selected);
    r.reserved2 = le::ReadI32(p + Off::reserved2);
    r.removed = le::ReadI32(p + Off::removed);
    r.reserved3 = le::ReadI32(p + Off::reserved3);
    return r;
}

void PhotoRecord::Write(std::uint8_t* p) const
{
    WriteField(path, p + Off::path);
    WriteField(drive, p + Off::drive);
    WriteField(folder, p + Off::folder);
    WriteField(name, p + Off::name);
    WriteField(extension, p + Off::extension);
    std::memcpy(p + Off::reserved, reserved.data(), kReservedSize);
    le::WriteI32(p + Off::index, index);
    le::WriteI32(p + Off::width, width);
    le::WriteI32(p + Off::height, height);
    le::WriteI32(p + Off::drawOption, drawOption);
    le::WriteI32(p + Off::selected, selected);
    le::WriteI32(p + Off::reserved2, reserved2);
    le::WriteI32(p + Off::removed, removed);
    le::WriteI32(p + Off::reserved3, reserved3);
}

QString PhotoRecord::Path() const
{
    return QFile::decodeName(path.Bytes());
}

std::optional<PhotoRecord> RecordForPath(const QString& path, PathRefusal* refusal)
{
    auto refuse = [&](PathRefusal why) -> std::optional<PhotoRecord> {
        if (refusal)
            *refusal = why;
        return std::nullopt;
    };
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.isEmpty())
        return refuse(PathRefusal::Empty);
    // The parts split as a path of this system: no drive, the folder up to and including
    // the last '/', the extension from the last dot of the file name.
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray folder = bytes.left(slash + 1);
    const QByteArray file = bytes.mid(slash + 1);
    const qsizetype dot = file.lastIndexOf('.');
    const QByteArray name = dot < 0 ? file : file.left(dot);
    const QByteArray extension = dot < 0 ? QByteArray() : file.mid(dot);

    PhotoRecord record;
    if (!record.path.Set(bytes) || !record.folder.Set(folder) || !record.name.Set(name)
        || !record.extension.Set(extension))
        return refuse(PathRefusal::TooLong);
    if (refusal)
        *refusal = PathRefusal::None;
    return record;
}

std::optional<PhotoLibraryContents> ReadPhotoLibraryFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, QStringLiteral("cannot be opened: %1").arg(file.errorString()));
        return std::nullopt;
    }
    if (file.isSequential()) {
        SetError(error, QStringLiteral("is not a regular file"));
        return std::nullopt;
    }
    PhotoLibraryContents contents;
    contents.fileSize = file.size();
    const std::int64_t size = contents.fileSize;
    std::int64_t offset = 0;

    auto readExactly = [&](void* out, std::int64_t length) {
        if (length < 0 || length > size - offset)
            return false;
        if (length > 0 && file.read(static_cast<char*>(out), length) != length)
            return false;
        offset += length;
        return true;
    };
    auto readI32 = [&](std::int32_t& value) {
        std::uint8_t bytes[4];
        if (!readExactly(bytes, 4))
            return false;
        value = le::ReadI32(bytes);
        return true;
    };

    std::int32_t count = 0;
    if (!readI32(count)) {
        SetError(error, QStringLiteral("ends before its record count"));
        return std::nullopt;
    }
    // Each record brings 1104 bytes and a 4-byte thumbnail length at least.
    constexpr std::int64_t kLeastPerRecord = PhotoRecord::kSize + 4;
    if (count < 0 || count > (size - offset) / kLeastPerRecord) {
        SetError(error, QStringLiteral("holds a record count of %1 that does not fit the file (%2 bytes)")
                            .arg(count)
                            .arg(size));
        return std::nullopt;
    }

    std::vector<std::uint8_t> records(std::size_t(count) * PhotoRecord::kSize);
    if (!readExactly(records.data(), std::int64_t(records.size()))) {
        SetError(error, QStringLiteral("ends inside its records"));
        return std::nullopt;
    }
    contents.entries.resize(std::size_t(count));
    for (std::int32_t i = 0; i < count; ++i)
        contents.entries[std::size_t(i)].record = PhotoRecord::Read(records.data() + std::size_t(i) * PhotoRecord::kSize);
    records = {};

    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t length = 0;
        if (!readI32(length)) {
            SetError(error, QStringLiteral("ends before the length of thumbnail %1").arg(i));
            return std::nullopt;
        }
        if (length < 0 || length > size - offset) {
            SetError(error, QStringLiteral("thumbnail %1 has a length of %2 that does not fit the file").arg(i).arg(length));
            return std::nullopt;
        }
        std::vector<std::uint8_t>& thumbnail = contents.entries[std::size_t(i)].thumbnail;
        thumbnail.resize(std::size_t(length));
        if (!readExactly(thumbnail.data(), length)) {
            SetError(error, QStringLiteral("ends inside thumbnail %1").arg(i));
            return std::nullopt;
        }
    }
    contents.trailingBytes = size - offset;
    return contents;
}

bool WritePhotoLibraryFile(const QString& path, const std::vector<PhotoEntry>& entries, QString* error)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        SetError(error, QStringLiteral("cannot be created: %1").arg(out.errorString()));
        return false;
    }
    auto fail = [&](const QString& why) {
        out.cancelWriting();
        SetError(error, why);
        return false;
    };
    if (!WriteI32(out, 0))
        return fail(out.errorString());
    std::int64_t written = 0;
    std::array<std::uint8_t, PhotoRecord::kSize> bytes{};
    for (const PhotoEntry& entry : entries) {
        if (entry.record.removed != 0)
            continue;
        if (written == std::numeric_limits<std::int32_t>::max())
            return fail(QStringLiteral("too many records"));
        if (entry.thumbnail.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
            return fail(QStringLiteral("a thumbnail is too large"));
        entry.record.Write(bytes.data());
        if (!WriteAll(out, bytes.data(), PhotoRecord::kSize))
            return fail(out.errorString());
        ++written;
    }
    for (const PhotoEntry& entry : entries) {
        if (entry.record.removed != 0)
            continue;
        if (!WriteI32(out, std::int32_t(entry.thumbnail.size()))
            || !WriteAll(out, entry.thumbnail.data(), std::int64_t(entry.thumbnail.size())))
            return fail(out.errorString());
    }
    // The count last, over the placeholder.
    if (!out.seek(0) || !WriteI32(out, std::int32_t(written)))
        return fail(out.errorString());
    if (!out.commit()) {
        SetError(error, QStringLiteral("cannot be written: %1").arg(out.errorString()));
        return false;
    }
    return true;
}

} // namespace library
