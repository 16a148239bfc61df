#include "persist/DataCipher.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

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

QByteArray RandomBytes(qsizetype n, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray b(n, '\0');
    for (auto& c : b)
        c = static_cast<char>(rng());
    return b;
}

QByteArray Enciphered(QByteArray data, const DataCipher::DataKeys& keys)
{
    EXPECT_TRUE(DataCipher::EncipherData(reinterpret_cast<std::uint8_t*>(data.data()),
                                         static_cast<std::size_t>(data.size()), keys));
    return data;
}

const char kSquareHex[] = "00112233445566778899aabbccddeeff";
const char kGostHex[] = "BE5EC2006CFF9DCF52354959F1FF0CBFE95061B5A648C10387069C25997C0672";

} // namespace

TEST(CipherTool, RoundTripsWholeFilesUnderTheProgramKeys)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plainPath = dir.filePath(QStringLiteral("plain"));
    const QString cipherPath = dir.filePath(QStringLiteral("cipher"));
    const QString backPath = dir.filePath(QStringLiteral("back"));
    const QByteArray plain = RandomBytes(10000, 1); // two full blocks, one short
    ASSERT_TRUE(WriteAll(plainPath, plain));

    ToolRun run = RunTool({"cipher", "encipher", plainPath, cipherPath});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QByteArray stored = ReadAll(cipherPath);
    EXPECT_EQ(stored, Enciphered(plain, DataCipher::ProgramKeys()));

    run = RunTool({"cipher", "decipher", cipherPath, backPath});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(ReadAll(backPath), plain);
}

TEST(CipherTool, TakesKeysAsHexByteStrings)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plainPath = dir.filePath(QStringLiteral("plain"));
    const QString cipherPath = dir.filePath(QStringLiteral("cipher"));
    const QString backPath = dir.filePath(QStringLiteral("back"));
    const QByteArray plain = RandomBytes(4096, 2);
    ASSERT_TRUE(WriteAll(plainPath, plain));

    DataCipher::DataKeys keys{};
    for (int i = 0; i < 16; ++i)
        keys.squareKey[i] = static_cast<std::uint8_t>(0x11 * i);
    const QByteArray gost = QByteArray::fromHex(kGostHex);
    std::copy(gost.begin(), gost.end(), keys.gostKey.begin());

    const QStringList keyArgs{"--square-key", kSquareHex, "--gost-key", kGostHex};
    ToolRun run = RunTool(QStringList{"cipher", "encipher"} + keyArgs + QStringList{plainPath, cipherPath});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(ReadAll(cipherPath), Enciphered(plain, keys));

    // The program's keys do not read it.
    ASSERT_EQ(RunTool({"cipher", "decipher", cipherPath, backPath}).status, 0);
    EXPECT_NE(ReadAll(backPath), plain);
    run = RunTool(QStringList{"cipher", "decipher"} + keyArgs + QStringList{cipherPath, backPath});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(ReadAll(backPath), plain);
}

TEST(CipherTool, RefusesBadUsageAndUnfitFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = dir.filePath(QStringLiteral("in"));
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(WriteAll(in, RandomBytes(100, 3)));

    const QStringList usages[] = {
        {"cipher"},
        {"cipher", "encipher", in},
        {"cipher", "scramble", in, out},
        {"cipher", "encipher", "--square-key", "0011", in, out},
        {"cipher", "encipher", "--square-key", "zz112233445566778899aabbccddeeff", in, out},
        {"cipher", "encipher", "--gost-key", kSquareHex, in, out},
        {"cipher", "encipher", in, out, "--gost-key"},
    };
    for (const QStringList& args : usages) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(run.err.startsWith("montara-tool: ")) << run.err.constData();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    }

    // A last block of 1 to 15 bytes cannot be enciphered or deciphered.
    for (qsizetype length : {5, 4096 + 15}) {
        ASSERT_TRUE(WriteAll(in, RandomBytes(length, 4)));
        for (const char* mode : {"encipher", "decipher"}) {
            const ToolRun run = RunTool({"cipher", mode, in, out});
            EXPECT_EQ(run.status, 1) << mode << " " << length;
            EXPECT_TRUE(run.err.contains("at least 16")) << run.err.constData();
            EXPECT_EQ(run.err.count('\n'), 1);
        }
    }
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(RunTool({"cipher", "decipher", dir.filePath(QStringLiteral("missing")), out}).status, 1);
    ASSERT_TRUE(WriteAll(in, RandomBytes(100, 5)));
    EXPECT_EQ(RunTool({"cipher", "encipher", in, dir.filePath(QStringLiteral("no/such/dir/out"))}).status, 1);

    // An empty file stays empty.
    ASSERT_TRUE(WriteAll(in, QByteArray()));
    EXPECT_EQ(RunTool({"cipher", "encipher", in, out}).status, 0);
    EXPECT_TRUE(QFileInfo::exists(out));
    EXPECT_EQ(QFileInfo(out).size(), 0);
}
