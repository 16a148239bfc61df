#include "library/PhotoLibrary.h"
#include "library/PhotoLibraryFile.h"

#include "base/LittleEndian.h"
#include "support/ByteFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

using namespace library;

namespace {

using testbytes::ReadBytes;
using testbytes::WriteBytes;
using testbytes::I32At;
using testbytes::AppendI32;

QByteArray RecordBytes(const PhotoRecord& record)
{
    QByteArray bytes(PhotoRecord::kSize, '\0');
    record.Write(reinterpret_cast<std::uint8_t*>(bytes.data()));
    return bytes;
}

PhotoEntry Entry(const QString& path, int width, int height, QByteArray thumbnail)
{
    std::optional<PhotoRecord> record = RecordForPath(path);
    EXPECT_TRUE(record.has_value()) << path.toStdString();
    PhotoEntry entry;
    if (record)
        entry.record = *record;
    entry.record.width = width;
    entry.record.height = height;
    entry.thumbnail.assign(thumbnail.begin(), thumbnail.end());
    return entry;
}

// A library file made by hand: records, then the thumbnails' lengths and bytes.
QByteArray LibraryBytes(const std::vector<PhotoEntry>& entries)
{
    QByteArray bytes;
    AppendI32(bytes, std::int32_t(entries.size()));
    for (const PhotoEntry& entry : entries)
        bytes += RecordBytes(entry.record);
    for (const PhotoEntry& entry : entries) {
        AppendI32(bytes, std::int32_t(entry.thumbnail.size()));
        bytes.append(reinterpret_cast<const char*>(entry.thumbnail.data()), qsizetype(entry.thumbnail.size()));
    }
    return bytes;
}

} // namespace

TEST(PhotoRecord, FieldsSitAtTheirOffsetsLittleEndian)
{
    std::optional<PhotoRecord> made = RecordForPath(QStringLiteral("/home/ann/Pictures/Beach.Day.JPG"));
    ASSERT_TRUE(made);
    PhotoRecord record = *made;
    record.index = 0x01020304;
    record.width = 4000;
    record.height = -3;
    record.drawOption = 2;
    record.selected = 1;
    record.removed = 1;
    const QByteArray bytes = RecordBytes(record);
    ASSERT_EQ(bytes.size(), 1104);
    EXPECT_EQ(QByteArray(bytes.constData() + 0), "/home/ann/Pictures/Beach.Day.JPG");
    EXPECT_EQ(bytes[260], '\0'); // no drive on this system
    EXPECT_EQ(QByteArray(bytes.constData() + 263), "/home/ann/Pictures/");
    EXPECT_EQ(QByteArray(bytes.constData() + 519), "Beach.Day");
    EXPECT_EQ(QByteArray(bytes.constData() + 775), ".JPG");
    EXPECT_EQ(bytes.mid(1031, 41), QByteArray(41, '\0'));
    EXPECT_EQ(bytes.mid(1072, 4), QByteArray("\x04\x03\x02\x01", 4));
    EXPECT_EQ(I32At(bytes, 1076), 4000);
    EXPECT_EQ(I32At(bytes, 1080), -3);
    EXPECT_EQ(I32At(bytes, 1084), 2);
    EXPECT_EQ(I32At(bytes, 1088), 1);
    EXPECT_EQ(I32At(bytes, 1092), 0);
    EXPECT_EQ(I32At(bytes, 1096), 1);
    EXPECT_EQ(I32At(bytes, 1100), 0);

    // Reading gives back every byte, unknown ones included.
    QByteArray odd = bytes;
    odd[1040] = '\x7f';
    odd[1095] = '\x01';
    const PhotoRecord back = PhotoRecord::Read(reinterpret_cast<const std::uint8_t*>(odd.constData()));
    EXPECT_EQ(RecordBytes(back), odd);
    EXPECT_EQ(back.Path(), QStringLiteral("/home/ann/Pictures/Beach.Day.JPG"));
}

TEST(PhotoRecord, PathPartsAndPathsThatDoNotFit)
{
    std::optional<PhotoRecord> plain = RecordForPath(QStringLiteral("/photos/noextension"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->name.Bytes(), "noextension");
    EXPECT_EQ(plain->extension.Bytes(), "");
    EXPECT_EQ(plain->index, 0);
    EXPECT_EQ(plain->removed, 0);

    // The longest path that fits: 259 bytes and the terminator.
    const QString folder = QStringLiteral("/") + QString(200, u'd') + QStringLiteral("/");
    const QString fits = folder + QString(259 - folder.size() - 4, u'n') + QStringLiteral(".jpg");
    ASSERT_EQ(QFile::encodeName(fits).size(), 259);
    std::optional<PhotoRecord> longest = RecordForPath(fits);
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->path.Bytes(), QFile::encodeName(fits));

    PathRefusal why = PathRefusal::None;
    EXPECT_FALSE(RecordForPath(fits + u'g', &why));
    EXPECT_EQ(why, PathRefusal::TooLong);

    // Counted in bytes: 129 two-byte letters and the folder are over 259 bytes although
    // fewer than 259 characters.
    const QString wide = QStringLiteral("/p/") + QString(129, QChar(0x00e9)) + QStringLiteral(".png");
    ASSERT_LT(wide.size(), 259);
    EXPECT_FALSE(RecordForPath(wide, &why));
    EXPECT_EQ(why, PathRefusal::TooLong);

    // The whole path fits but its folder part does not fit its 256-byte field.
    const QString deepFolder = QStringLiteral("/") + QString(254, u'f') + QStringLiteral("/a");
    ASSERT_LT(QFile::encodeName(deepFolder).size(), 260);
    EXPECT_FALSE(RecordForPath(deepFolder, &why));
    EXPECT_EQ(why, PathRefusal::TooLong);

    EXPECT_FALSE(RecordForPath(QString(), &why));
    EXPECT_EQ(why, PathRefusal::Empty);
}

TEST(PhotoLibraryFile, WritesRecordsNotRemovedThenThumbnailsAndReadsThemBack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("VelMedia"));
    std::vector<PhotoEntry> entries = {
        Entry(QStringLiteral("/a/one.jpg"), 640, 480, QByteArray("\xff\xd8one", 5)),
        Entry(QStringLiteral("/a/two.png"), 10, 20, QByteArray("\xff\xd8two!", 6)),
        Entry(QStringLiteral("/a/three.gif"), 7, 7, QByteArray()),
    };
    entries[1].record.removed = 1;
    entries[2].record.index = 2;
    QString error;
    ASSERT_TRUE(WritePhotoLibraryFile(file, entries, &error)) << error.toStdString();

    const QByteArray bytes = ReadBytes(file);
    ASSERT_EQ(bytes.size(), 4 + 2 * 1104 + 4 + 5 + 4 + 0);
    EXPECT_EQ(I32At(bytes, 0), 2);
    EXPECT_EQ(bytes.mid(4, 1104), RecordBytes(entries[0].record));
    EXPECT_EQ(bytes.mid(4 + 1104, 1104), RecordBytes(entries[2].record));
    EXPECT_EQ(I32At(bytes, 4 + 2208), 5);
    EXPECT_EQ(bytes.mid(4 + 2208 + 4, 5), QByteArray("\xff\xd8one", 5));
    EXPECT_EQ(I32At(bytes, 4 + 2208 + 9), 0);

    std::optional<PhotoLibraryContents> back = ReadPhotoLibraryFile(file, &error);
    ASSERT_TRUE(back) << error.toStdString();
    ASSERT_EQ(back->entries.size(), 2u);
    EXPECT_EQ(back->entries[0].record, entries[0].record);
    EXPECT_EQ(back->entries[0].thumbnail, entries[0].thumbnail);
    EXPECT_EQ(back->entries[1].record, entries[2].record);
    EXPECT_TRUE(back->entries[1].thumbnail.empty());
    EXPECT_EQ(back->trailingBytes, 0);
}

TEST(PhotoLibraryFile, EmptyLibrarySavesOnlyACountOfZero)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("VelMedia"));
    PhotoLibrary empty;
    ASSERT_TRUE(empty.Save(file));
    EXPECT_EQ(ReadBytes(file), QByteArray(4, '\0'));

    // Everything removed saves the same.
    PhotoLibrary all;
    ASSERT_TRUE(all.Add(*RecordForPath(QStringLiteral("/x.jpg")), {1, 2, 3}));
    all.SetSelected(0, true);
    EXPECT_EQ(all.RemoveSelected(), 1);
    ASSERT_TRUE(all.Save(file));
    EXPECT_EQ(ReadBytes(file), QByteArray(4, '\0'));
}

TEST(PhotoLibraryFile, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("VelMedia"));
    const std::vector<PhotoEntry> first = {Entry(QStringLiteral("/a/old.jpg"), 100, 100, "old")};
    ASSERT_TRUE(WritePhotoLibraryFile(file, first));
    const QByteArray oldBytes = ReadBytes(file);

    // A second name for the old file: written in place, it would change too; replaced by
    // a complete new file, it keeps the old library.
    const QString link = dir.filePath(QStringLiteral("old-link"));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(link).constData()), 0);
    const std::vector<PhotoEntry> second = {Entry(QStringLiteral("/a/new.jpg"), 50, 60, "newer"),
                                            Entry(QStringLiteral("/a/more.jpg"), 70, 80, "more")};
    ASSERT_TRUE(WritePhotoLibraryFile(file, second));
    EXPECT_EQ(ReadBytes(link), oldBytes);
    EXPECT_EQ(I32At(ReadBytes(file), 0), 2);
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    EXPECT_EQ(names, QStringList({QStringLiteral("VelMedia"), QStringLiteral("old-link")}));

    // A save that cannot create its file fails with a reason and creates nothing.
    QString error;
    EXPECT_FALSE(WritePhotoLibraryFile(dir.filePath(QStringLiteral("missing/VelMedia")), second, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing"))));
}

TEST(PhotoLibraryFile, HostileFilesAreRefusedWithoutAllocatingFromTheirNumbers)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("VelMedia"));
    const std::vector<PhotoEntry> good = {Entry(QStringLiteral("/a/1.jpg"), 9, 9, "abcd"),
                                          Entry(QStringLiteral("/a/2.jpg"), 9, 9, "efghij")};
    const QByteArray whole = LibraryBytes(good);

    struct Case {
        const char* what;
        QByteArray bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty file", QByteArray()});
    cases.push_back({"count cut short", QByteArray("\x01\x00", 2)});
    {
        QByteArray b;
        AppendI32(b, -1);
        cases.push_back({"negative count", b});
    }
    {
        QByteArray b;
        AppendI32(b, std::numeric_limits<std::int32_t>::max());
        b += QByteArray(2000, '\0');
        cases.push_back({"huge count", b});
    }
    {
        QByteArray b = whole;
        b[0] = 3;
        cases.push_back({"count one more than stored", b});
    }
    cases.push_back({"ends inside a record", whole.left(4 + 1104 + 500)});
    cases.push_back({"ends before a thumbnail length", whole.left(4 + 2208 + 4 + 4 + 2)});
    cases.push_back({"ends inside a thumbnail", whole.left(whole.size() - 1)});
    {
        QByteArray b = whole;
        le::WriteI32(reinterpret_cast<std::uint8_t*>(b.data()) + 4 + 2208, -5);
        cases.push_back({"negative thumbnail length", b});
    }
    {
        QByteArray b = whole;
        le::WriteI32(reinterpret_cast<std::uint8_t*>(b.data()) + 4 + 2208 + 8,
                     std::numeric_limits<std::int32_t>::max());
        cases.push_back({"thumbnail length past the end", b});
    }
    for (const Case& c : cases) {
        WriteBytes(file, c.bytes);
        QString error;
        EXPECT_FALSE(ReadPhotoLibraryFile(file, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }

    // Bytes after the last thumbnail are no damage; they are counted and left out.
    WriteBytes(file, whole + "tail");
    std::optional<PhotoLibraryContents> withTail = ReadPhotoLibraryFile(file);
    ASSERT_TRUE(withTail);
    EXPECT_EQ(withTail->entries.size(), 2u);
    EXPECT_EQ(withTail->trailingBytes, 4);

    // Path fields without a terminator end at the end of the field and survive a save.
    QByteArray unterminated = whole;
    for (int i = 0; i < 260; ++i)
        unterminated[4 + i] = 'p';
    WriteBytes(file, unterminated);
    std::optional<PhotoLibraryContents> odd = ReadPhotoLibraryFile(file);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->entries[0].record.path.Bytes(), QByteArray(260, 'p'));
    ASSERT_TRUE(WritePhotoLibraryFile(file, odd->entries));
    EXPECT_EQ(ReadBytes(file), unterminated);

    // Not a regular file.
    EXPECT_FALSE(ReadPhotoLibraryFile(QStringLiteral("/dev/zero")));
}

TEST(PhotoLibrary, ATruncatedLibraryIsKeptAsideNotOverwritten)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("VelMedia"));
    const QByteArray whole = LibraryBytes({Entry(QStringLiteral("/a/1.jpg"), 9, 9, "abcd"),
                                           Entry(QStringLiteral("/a/2.jpg"), 9, 9, "efgh")});
    const QByteArray truncated = whole.left(whole.size() - 3);
    WriteBytes(file, truncated);

    PhotoLibrary library;
    const PhotoLibrary::LoadReport report = library.Load(file);
    EXPECT_EQ(report.status, PhotoLibrary::LoadStatus::Damaged);
    EXPECT_FALSE(report.error.isEmpty());
    EXPECT_EQ(report.keptAside, file + QStringLiteral(".bad"));
    EXPECT_EQ(library.Count(), 0);
    EXPECT_TRUE(library.Visible().empty());

    // The save at close writes an empty library; the damaged one is still there.
    ASSERT_TRUE(library.Save(file));
    EXPECT_EQ(ReadBytes(file), QByteArray(4, '\0'));
    EXPECT_EQ(ReadBytes(file + QStringLiteral(".bad")), truncated);

    // A missing file is no damage: an empty library, nothing set aside.
    PhotoLibrary fresh;
    const QString none = dir.filePath(QStringLiteral("none/VelMedia"));
    EXPECT_EQ(fresh.Load(none).status, PhotoLibrary::LoadStatus::Missing);
    EXPECT_FALSE(QFile::exists(none + QStringLiteral(".bad")));
}

TEST(PhotoLibrary, RemovedPhotosAreGoneAfterRestartAndTheOthersGetConsecutiveIndexes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("VelMedia"));
    PhotoLibrary library;
    for (int i = 0; i < 5; ++i) {
        std::optional<PhotoRecord> record = RecordForPath(QStringLiteral("/p/%1.jpg").arg(i));
        record->selected = 1; // cleared when added
        std::optional<int> position = library.Add(*record, {std::uint8_t(i)});
        ASSERT_EQ(position, i);
        EXPECT_EQ(library.Entry(i).record.index, i);
        EXPECT_EQ(library.Entry(i).record.selected, 0);
    }
    library.SetSelection({1, 3});
    EXPECT_EQ(library.SelectedIndexes(), (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(library.RemoveSelected(), 2);
    // While running, the others keep their positions and indexes.
    EXPECT_EQ(library.Visible(), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(library.Entry(4).record.index, 4);
    EXPECT_TRUE(library.SelectedPositions().empty());
    // A new photo gets the number of records, removed ones included.
    ASSERT_EQ(library.Add(*RecordForPath(QStringLiteral("/p/new.jpg")), {9}), 5);
    EXPECT_EQ(library.Entry(5).record.index, 5);
    library.SetSelected(5, true);
    ASSERT_TRUE(library.Save(file));

    PhotoLibrary restarted;
    EXPECT_EQ(restarted.Load(file).status, PhotoLibrary::LoadStatus::Loaded);
    ASSERT_EQ(restarted.Count(), 4);
    const char* expected[] = {"/p/0.jpg", "/p/2.jpg", "/p/4.jpg", "/p/new.jpg"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(restarted.Entry(i).record.path.Bytes(), expected[i]);
        EXPECT_EQ(restarted.Entry(i).record.index, i);
        EXPECT_EQ(restarted.Entry(i).record.selected, 0); // cleared on load
    }
    EXPECT_EQ(restarted.Entry(3).thumbnail, (std::vector<std::uint8_t>{9}));
    EXPECT_EQ(restarted.Visible(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(PhotoLibrary, DuplicatesAreExactPathsAmongRecordsNotRemoved)
{
    PhotoLibrary library;
    int changes = 0;
    QObject::connect(&library, &PhotoLibrary::recordsChanged, [&] { ++changes; });
    const PhotoRecord lower = *RecordForPath(QStringLiteral("/p/photo.jpg"));
    const PhotoRecord upper = *RecordForPath(QStringLiteral("/p/Photo.jpg"));
    EXPECT_TRUE(library.Add(lower, {}));
    EXPECT_FALSE(library.Add(lower, {}));
    EXPECT_TRUE(library.Add(upper, {})); // another letter case is another path
    EXPECT_FALSE(library.Add(*RecordForPath(QStringLiteral("/p/photo.jpg")), {}));
    EXPECT_TRUE(library.Add(*RecordForPath(QStringLiteral("/p/photo.jp")), {})); // a prefix is another path
    EXPECT_EQ(library.Count(), 3);
    EXPECT_EQ(changes, 3);

    // Once removed, the same path can come back as a new record.
    library.SetSelected(0, true);
    ASSERT_EQ(library.RemoveSelected(), 1);
    EXPECT_FALSE(library.ContainsPath("/p/photo.jpg"));
    EXPECT_EQ(library.Add(lower, {}), 3);
    EXPECT_TRUE(library.ContainsPath("/p/photo.jpg"));
    EXPECT_EQ(library.Visible(), (std::vector<int>{1, 2, 3}));
    // Removing a removed record again marks nothing.
    EXPECT_EQ(library.Remove({0}), 0);
}
