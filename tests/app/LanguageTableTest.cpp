#include "app/LanguageTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray RandomPlain(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray b(static_cast<qsizetype>(n), '\0');
    for (auto& c : b)
        c = static_cast<char>(rng());
    return b;
}

QByteArray Enciphered(QByteArray plain)
{
    EXPECT_TRUE(DataCipher::EncipherData(reinterpret_cast<std::uint8_t*>(plain.data()),
                                         static_cast<std::size_t>(plain.size()), DataCipher::ProgramKeys()));
    return plain;
}

bool TableStartsWith(const LanguageTable& table, const QByteArray& plain)
{
    return std::memcmp(table.get(), plain.constData(), static_cast<std::size_t>(plain.size())) == 0;
}

bool ZeroFrom(const LanguageTable& table, std::size_t from)
{
    return std::all_of(table.get() + from, table.get() + kLangTableSize, [](std::uint8_t v) { return v == 0; });
}

class OwnerGuard {
public:
    explicit OwnerGuard(LanguageTable* owner) { SetLanguageTableOwner(owner); }
    ~OwnerGuard() { SetLanguageTableOwner(nullptr); }
};

} // namespace

TEST(LanguageTable, TextsAreEmptyBeforeLoadingAndWithoutAnOwner)
{
    SetLanguageTableOwner(nullptr);
    EXPECT_TRUE(LangText(kLangCaption).isEmpty());
    EXPECT_FALSE(LoadLanguage());

    LanguageTable table;
    OwnerGuard guard(&table);
    EXPECT_TRUE(LangText(kLangCaption).isEmpty()); // owner, but nothing loaded yet
    EXPECT_TRUE(RecordText(nullptr, 0).isEmpty());
}

TEST(LanguageTable, TheBuiltInResourceHoldsTheTextsOfTheMainWindow)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    const LanguageTable table = LoadLanguageTable(folder);
    ASSERT_TRUE(table);

    // lang.mfd holds the resource bytes unchanged: 27 records, one full block and 2,924 bytes.
    const QByteArray resource = ReadAll(QString::fromLatin1(kLangResource));
    EXPECT_EQ(resource.size(), 27 * 260);
    EXPECT_EQ(ReadAll(folder + QLatin1String(kLangFileName)), resource);

    EXPECT_EQ(RecordText(table.get(), kLangFrameTab), QStringLiteral("Frame"));
    EXPECT_EQ(RecordText(table.get(), kLangClipArtTab), QStringLiteral("Clipart"));
    EXPECT_EQ(RecordText(table.get(), kLangTextTab), QStringLiteral("Text"));
    EXPECT_EQ(RecordText(table.get(), kLangLibraryMenu), QStringLiteral("Library"));
    EXPECT_EQ(RecordText(table.get(), kLangHelpMenu), QStringLiteral("Help"));
    EXPECT_EQ(RecordText(table.get(), kLangMaskTab), QStringLiteral("Mask"));
    EXPECT_EQ(RecordText(table.get(), kLangCaption), QStringLiteral("Montara"));
    EXPECT_EQ(RecordText(table.get(), kLangFileMenu), QStringLiteral("File"));
    EXPECT_EQ(RecordText(table.get(), kLangEditMenu), QStringLiteral("Edit"));
    for (int unused : {0, 9, 26, 27, 251, 252, 1000, -1})
        EXPECT_TRUE(RecordText(table.get(), unused).isEmpty()) << unused;
    EXPECT_TRUE(ZeroFrom(table, 27 * 260));
}

TEST(LanguageTable, EveryStartRewritesTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    const QString path = folder + QLatin1String(kLangFileName);
    const LanguageTable first = LoadLanguageTable(folder);
    ASSERT_TRUE(first);

    // Deleted before a start: written again, the same table.
    ASSERT_TRUE(QFile::remove(path));
    const LanguageTable second = LoadLanguageTable(folder);
    ASSERT_TRUE(second);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(std::memcmp(first.get(), second.get(), kLangTableSize), 0);

    // Damaged before a start: replaced by the resource.
    ASSERT_TRUE(WriteAll(path, QByteArray(9000, 'x')));
    const LanguageTable third = LoadLanguageTable(folder);
    ASSERT_TRUE(third);
    EXPECT_EQ(RecordText(third.get(), kLangCaption), QStringLiteral("Montara"));
    EXPECT_EQ(QFileInfo(path).size(), 27 * 260);
}

TEST(LanguageTable, LoadLanguageFillsTheOwnersTableFromTheDataFolder)
{
    LanguageTable table;
    OwnerGuard guard(&table);
    ASSERT_TRUE(LoadLanguage());
    ASSERT_TRUE(table);
    EXPECT_EQ(LangText(kLangCaption), QStringLiteral("Montara"));
    EXPECT_EQ(LangText(kLangFileMenu), QStringLiteral("File"));
    EXPECT_TRUE(LangText(26).isEmpty());

    SetLanguageTableOwner(nullptr);
    EXPECT_TRUE(LangText(kLangCaption).isEmpty());
}

TEST(LanguageTable, AnUnwritableFolderOrMissingResourceGivesNoTable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder below a regular file cannot exist, whoever runs the test.
    const QString blocker = dir.filePath(QStringLiteral("plain-file"));
    ASSERT_TRUE(WriteAll(blocker, "x"));
    EXPECT_FALSE(LoadLanguageTable(blocker + QStringLiteral("/Data/")));

    const QString folder = dir.path() + QLatin1Char('/');
    EXPECT_FALSE(LoadLanguageTable(folder, dir.filePath(QStringLiteral("no-such-resource"))));
    EXPECT_FALSE(QFileInfo::exists(folder + QLatin1String(kLangFileName)));
}

TEST(LanguageTable, WaitForFileIsBounded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("later"));
    EXPECT_FALSE(WaitForFile(path, 30));
    ASSERT_TRUE(WriteAll(path, "x"));
    EXPECT_TRUE(WaitForFile(path, 30));
}

TEST(LanguageFile, ReadsWholeBlocksThenTheShortOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lang.mfd"));

    // 8192 bytes: two full blocks and no short one (a short decipher of the second
    // block would not give the plain bytes back).
    const QByteArray two = RandomPlain(8192, 1);
    ASSERT_TRUE(WriteAll(path, Enciphered(two)));
    std::size_t filled = 0;
    LanguageTable table = ReadLanguageFile(path, &filled);
    ASSERT_TRUE(table);
    EXPECT_EQ(filled, 8192u);
    EXPECT_TRUE(TableStartsWith(table, two));
    EXPECT_TRUE(ZeroFrom(table, 8192));

    // One full block and a short one of 2,924 bytes.
    const QByteArray mixed = RandomPlain(7020, 2);
    ASSERT_TRUE(WriteAll(path, Enciphered(mixed)));
    table = ReadLanguageFile(path, &filled);
    ASSERT_TRUE(table);
    EXPECT_EQ(filled, 7020u);
    EXPECT_TRUE(TableStartsWith(table, mixed));

    // A short block alone, and an empty file.
    const QByteArray small = RandomPlain(300, 3);
    ASSERT_TRUE(WriteAll(path, Enciphered(small)));
    table = ReadLanguageFile(path, &filled);
    ASSERT_TRUE(table);
    EXPECT_TRUE(TableStartsWith(table, small));
    ASSERT_TRUE(WriteAll(path, QByteArray()));
    table = ReadLanguageFile(path, &filled);
    ASSERT_TRUE(table);
    EXPECT_EQ(filled, 0u);
    EXPECT_TRUE(ZeroFrom(table, 0));

    EXPECT_FALSE(ReadLanguageFile(dir.filePath(QStringLiteral("missing"))));
}

TEST(LanguageFile, ALongerFileIsCutToTheTable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lang.mfd"));
    const QByteArray plain = RandomPlain(70000, 4); // 17 full blocks and 368 bytes
    ASSERT_TRUE(WriteAll(path, Enciphered(plain)));
    std::size_t filled = 0;
    const LanguageTable table = ReadLanguageFile(path, &filled);
    ASSERT_TRUE(table);
    EXPECT_EQ(filled, kLangTableSize);
    EXPECT_TRUE(TableStartsWith(table, plain.left(static_cast<qsizetype>(kLangTableSize))));
}

TEST(LanguageFile, ARemainderTooShortToDecipherStaysEmpty)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lang.mfd"));
    const QByteArray block = RandomPlain(4096, 5);
    ASSERT_TRUE(WriteAll(path, Enciphered(block) + QByteArray(10, '\x7f')));
    std::size_t filled = 0;
    const LanguageTable table = ReadLanguageFile(path, &filled);
    ASSERT_TRUE(table);
    EXPECT_EQ(filled, 4096u);
    EXPECT_TRUE(TableStartsWith(table, block));
    EXPECT_TRUE(ZeroFrom(table, 4096));
}

TEST(LanguageFile, RecordTextStaysInsideItsRecord)
{
    auto table = std::make_unique<std::uint8_t[]>(kLangTableSize);
    std::memset(table.get(), 'A', kLangTableSize); // no terminator anywhere
    EXPECT_EQ(RecordText(table.get(), 3), QString(260, QLatin1Char('A')));
    EXPECT_EQ(RecordText(table.get(), 251), QString(260, QLatin1Char('A')));
    EXPECT_TRUE(RecordText(table.get(), 252).isEmpty()); // only 16 bytes of it exist
}

TEST(LanguageSource, ParsesRecordsAndRejectsBadLines)
{
    std::vector<QByteArray> records;
    QString error;
    ASSERT_TRUE(ParseLanguageSource("# comment\r\n\n3\tThree words here\r\n1\n0\tZ\xC3\xA9ro\n", records, error)) << qPrintable(error);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], QByteArray("Z\xC3\xA9ro"));
    EXPECT_TRUE(records[1].isEmpty());
    EXPECT_TRUE(records[2].isEmpty());
    EXPECT_EQ(records[3], QByteArray("Three words here"));

    const QByteArray longest(259, 'w');
    ASSERT_TRUE(ParseLanguageSource("251\t" + longest, records, error)) << qPrintable(error);
    EXPECT_EQ(records.size(), 252u);

    struct Bad {
        QByteArray source;
        const char* message;
    };
    const Bad bad[] = {
        {"1\ta\n1\tb\n", "line 2: index 1 is listed twice"},
        {"252\tx\n", "line 1: index 252 is past"},
        {"0\t" + QByteArray(260, 'w'), "line 1: the text is 260 bytes"},
        {"\n0\t\xFF\xFE\n", "line 2: the text is not UTF-8"},
        {"x\tA\n", "line 1: expected INDEX<TAB>TEXT"},
        {" 5\tA\n", "line 1: expected"},
        {"5 A\n", "line 1: expected"},
        {"99999999999999999999\tA\n", "line 1: expected"},
        {"# only a comment\n", "no records"},
    };
    for (const Bad& b : bad) {
        EXPECT_FALSE(ParseLanguageSource(b.source, records, error)) << b.message;
        EXPECT_TRUE(error.startsWith(QLatin1String(b.message))) << qPrintable(error);
    }
}

TEST(LanguageSource, PadsOnlyWhenTheLastBlockWouldBeTooShort)
{
    // Within the 252 records of a table the last block is never 1 to 15 bytes long.
    for (std::size_t n = 1; n <= static_cast<std::size_t>(kLangMaxRecords); ++n)
        ASSERT_EQ(PaddedRecordCount(n), n) << n;
    // 835 records end 12 bytes into a block: one empty record more.
    EXPECT_EQ(PaddedRecordCount(835), 836u);
    EXPECT_EQ(PaddedRecordCount(836), 836u);
    EXPECT_EQ(PaddedRecordCount(0), 0u);
}

TEST(LanguageTool, BuildAndDump)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("english.mfd"));
    const QString source = QStringLiteral(MONTARA_SOURCE_DIR "/resources/lang/english.txt");
    const ToolRun build = RunTool({"lang", "build", source, out});
    ASSERT_EQ(build.status, 0) << build.err.constData();
    EXPECT_EQ(ReadAll(out), ReadAll(QString::fromLatin1(kLangResource)));

    const ToolRun dump = RunTool({"lang", "dump", out});
    ASSERT_EQ(dump.status, 0) << dump.err.constData();
    const QList<QByteArray> lines = dump.out.split('\n');
    ASSERT_EQ(lines.size(), 28); // 27 records and the final newline
    EXPECT_EQ(lines[23], QByteArray("23\tMontara"));
    EXPECT_EQ(lines[8], QByteArray("8\tFrame"));
    EXPECT_EQ(lines[26], QByteArray("26\t"));

    const QString badSource = dir.filePath(QStringLiteral("bad.txt"));
    ASSERT_TRUE(WriteAll(badSource, "1\tone\n1\tagain\n"));
    const ToolRun bad = RunTool({"lang", "build", badSource, dir.filePath(QStringLiteral("bad.mfd"))});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.err.contains("line 2: index 1 is listed twice")) << bad.err.constData();
    EXPECT_EQ(bad.err.count('\n'), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("bad.mfd"))));

    EXPECT_EQ(RunTool({"lang", "dump", dir.filePath(QStringLiteral("missing"))}).status, 1);
    EXPECT_EQ(RunTool({"lang"}).status, 2);
    EXPECT_EQ(RunTool({"lang", "build", source}).status, 2);
}
