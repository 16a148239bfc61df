#include "library/InstallJournal.h"
#include "library/LibraryFiles.h"
#include "library/ResourcePack.h"

#include "base/LittleEndian.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "support/ByteFiles.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <sys/types.h>

using namespace library;

namespace {

using testbytes::ReadBytes;
using testbytes::AppendI32;

void AppendF32(QByteArray& bytes, float value)
{
    std::uint8_t raw[4];
    le::WriteF32(raw, value);
    bytes.append(reinterpret_cast<const char*>(raw), 4);
}

// The stored pixel block of a picture: blue, green, red, alpha per pixel, top row first.
QByteArray Block(const QImage& picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QByteArray bytes;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x)
            AppendI32(bytes, static_cast<std::int32_t>(argb.pixel(x, y)));
    }
    return bytes;
}

QImage Gradient(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba((x * 7 + seed) % 256, (y * 5 + seed) % 256, (x + y) % 256, 255 - (x % 200)));
    }
    return image;
}

std::map<QString, QByteArray> FolderBytes(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        files[name] = ReadBytes(folder + name);
    return files;
}

} // namespace

// pack build, then pack install: the library files hold exactly the thumbnails made by
// the rules of each category and the picture files byte for byte.
TEST(PackTool, BuildThenInstallGivesTheLibraryFilesBytes)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.png"));
    const QString b = dir.filePath(QStringLiteral("b.jpg"));
    const QImage pictureA = Gradient(300, 200, 1);
    const QImage pictureB = Gradient(250, 251, 9).convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(pictureA.save(a, "PNG"));
    ASSERT_TRUE(pictureB.save(b, "JPG", 90));
    const QString data = dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');

    // Frames: 120-pixel-wide thumbnails, the openings in the order given.
    const QString frames = dir.filePath(QStringLiteral("frames.qrs"));
    ToolRun run = RunTool({QStringLiteral("pack"), QStringLiteral("build"), QStringLiteral("frames"), frames, a,
                           QStringLiteral("--opening"), QStringLiteral("0.1,0.2,0.9,0.75"), b,
                           QStringLiteral("--opening"), QStringLiteral("0,0,0.5,1")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    run = RunTool({QStringLiteral("pack"), QStringLiteral("install"), QStringLiteral("--data"), data, frames});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("installed 2 frames entries")) << run.out.toStdString();

    const auto scaled = [](const QImage& picture, int height) {
        return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
            .scaled(120, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    QByteArray thumbs;
    AppendI32(thumbs, 2);
    AppendI32(thumbs, 120);
    AppendI32(thumbs, 80); // 120 x 200 / 300
    thumbs += Block(scaled(pictureA, 80));
    const QImage decodedB(b);
    AppendI32(thumbs, 120);
    AppendI32(thumbs, 120); // 120 x 251 / 250, integer division
    thumbs += Block(scaled(decodedB, 120));
    EXPECT_EQ(ReadBytes(data + kPhotoFramesThumbFile), thumbs);

    QByteArray images;
    AppendI32(images, 2);
    for (const auto& [path, size, opening] :
         {std::tuple{a, QSize(300, 200), std::array{0.1f, 0.2f, 0.9f, 0.75f}},
          std::tuple{b, QSize(250, 251), std::array{0.0f, 0.0f, 0.5f, 1.0f}}}) {
        const QByteArray encoded = ReadBytes(path);
        AppendI32(images, size.width());
        AppendI32(images, size.height());
        AppendI32(images, static_cast<std::int32_t>(encoded.size()));
        for (float v : opening)
            AppendF32(images, v);
        images += encoded;
    }
    EXPECT_EQ(ReadBytes(data + kPhotoFramesFile), images);

    // Clip-art: the picture's own pixels, the encoded picture not installed.
    const QString clip = dir.filePath(QStringLiteral("clip.qrs"));
    ASSERT_EQ(RunTool({QStringLiteral("pack"), QStringLiteral("build"), QStringLiteral("2"), clip, a}).status, 0);
    ASSERT_EQ(RunTool({QStringLiteral("pack"), QStringLiteral("install"), QStringLiteral("--data"), data, clip}).status, 0);
    QByteArray clipBytes;
    AppendI32(clipBytes, 1);
    AppendI32(clipBytes, 300);
    AppendI32(clipBytes, 200);
    clipBytes += Block(pictureA);
    EXPECT_EQ(ReadBytes(data + kClipArtsFile), clipBytes);

    // The same pack again: refused with the list's message, exit status 1.
    run = RunTool({QStringLiteral("pack"), QStringLiteral("install"), QStringLiteral("--data"), data, clip});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("Already in the library.")) << run.err.toStdString();
}

TEST(PackTool, ListAndUsageErrors)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(Gradient(240, 60, 3).save(a, "PNG"));
    const QString masks = dir.filePath(QStringLiteral("masks.qrs"));
    ASSERT_EQ(RunTool({QStringLiteral("pack"), QStringLiteral("build"), QStringLiteral("masks"), masks, a, a}).status, 0);
    const ToolRun list = RunTool({QStringLiteral("pack"), QStringLiteral("list"), masks});
    ASSERT_EQ(list.status, 0) << list.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(list.out).object();
    EXPECT_EQ(json[QStringLiteral("category")].toInt(), 1);
    EXPECT_EQ(json[QStringLiteral("categoryName")].toString(), QStringLiteral("masks"));
    EXPECT_EQ(json[QStringLiteral("count")].toInt(), 2);
    const QJsonArray entries = json[QStringLiteral("entries")].toArray();
    ASSERT_EQ(entries.size(), 2);
    const QJsonObject second = entries[1].toObject();
    EXPECT_EQ(second[QStringLiteral("thumbWidth")].toInt(), 120);
    EXPECT_EQ(second[QStringLiteral("thumbHeight")].toInt(), 30);
    EXPECT_EQ(second[QStringLiteral("imageWidth")].toInt(), 240);
    EXPECT_EQ(second[QStringLiteral("dataLength")].toInt(), ReadBytes(a).size());
    EXPECT_EQ(second[QStringLiteral("offset")].toInt(), 8 + 8 + 120 * 30 * 4 + 12 + ReadBytes(a).size());
    EXPECT_FALSE(second.contains(QStringLiteral("opening")));

    const QString out = dir.filePath(QStringLiteral("bad.qrs"));
    const auto build = [&](QStringList args) {
        return RunTool(QStringList{QStringLiteral("pack"), QStringLiteral("build")} + args);
    };
    EXPECT_EQ(build({QStringLiteral("frames"), out, a}).status, 2); // no opening
    EXPECT_EQ(build({QStringLiteral("frames"), out, a, QStringLiteral("--opening"), QStringLiteral("0.5,0,0.5,1")}).status, 1);
    EXPECT_EQ(build({QStringLiteral("frames"), out, a, QStringLiteral("--opening"), QStringLiteral("0,0,1.2,1")}).status, 1);
    EXPECT_EQ(build({QStringLiteral("frames"), out, a, QStringLiteral("--opening"), QStringLiteral("0,0,1")}).status, 2);
    EXPECT_EQ(build({QStringLiteral("clipart"), out, a, QStringLiteral("--opening"), QStringLiteral("0,0,1,1")}).status, 2);
    EXPECT_EQ(build({QStringLiteral("paintings"), out, a}).status, 2);
    const ToolRun missing = build({QStringLiteral("brushes"), out, dir.filePath(QStringLiteral("none.png"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("none.png")) << missing.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    const ToolRun bad = RunTool({QStringLiteral("pack"), QStringLiteral("list"), a});
    EXPECT_EQ(bad.status, 1);
    EXPECT_FALSE(bad.err.isEmpty());
}

// An install killed at any moment leaves the library as it was or as the complete
// install makes it, never in between; the next install puts everything right.
TEST(PackTool, KilledInstallLeavesTheOldOrTheNewFiles)
{
    QTemporaryDir dir;
    // Big pictures, stored byte for byte, so that the copy takes a while.
    QStringList args{QStringLiteral("pack"), QStringLiteral("build"), QStringLiteral("frames")};
    const QString pack = dir.filePath(QStringLiteral("big.qrs"));
    args << pack;
    const QString picture = dir.filePath(QStringLiteral("p.bmp"));
    ASSERT_TRUE(Gradient(1600, 1200, 5).save(picture, "BMP")); // 7.7 MB each, stored byte for byte
    for (int i = 0; i < 12; ++i)
        args << picture << QStringLiteral("--opening") << QStringLiteral("0.1,0.1,0.9,0.9");
    ASSERT_EQ(RunTool(args).status, 0);

    const QString base = dir.filePath(QStringLiteral("base")) + QLatin1Char('/');
    const QString small = dir.filePath(QStringLiteral("small.qrs"));
    ASSERT_EQ(RunTool({QStringLiteral("pack"), QStringLiteral("build"), QStringLiteral("frames"), small, picture,
                       QStringLiteral("--opening"), QStringLiteral("0,0,1,1")})
                  .status,
              0);
    ASSERT_EQ(InstallResourcePack(small, base).status, InstallStatus::Installed);
    const auto before = FolderBytes(base);
    const QString reference = dir.filePath(QStringLiteral("reference")) + QLatin1Char('/');
    QDir().mkpath(reference);
    for (const auto& [name, bytes] : before)
        QFile::copy(base + name, reference + name);
    ASSERT_EQ(InstallResourcePack(pack, reference).status, InstallStatus::Installed);
    const auto after = FolderBytes(reference);

    int interrupted = 0;
    for (int delayMs : {30, 60, 120, 200, 300, 450, 600, 800}) {
        SCOPED_TRACE(delayMs);
        const QString data = dir.filePath(QStringLiteral("d%1").arg(delayMs)) + QLatin1Char('/');
        QDir().mkpath(data);
        for (const auto& [name, bytes] : before)
            QFile::copy(base + name, data + name);
        QProcess process;
        process.start(QStringLiteral(MONTARA_TOOL), {QStringLiteral("pack"), QStringLiteral("install"),
                                                     QStringLiteral("--data"), data, pack});
        ASSERT_TRUE(process.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(delayMs));
        const bool running = process.state() == QProcess::Running;
        ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished();
        if (running)
            ++interrupted;
        // Once recovered (as the next start or install does), the library files and the
        // list are all the old ones or all the new ones, and nothing else is left.
        const RecoveryResult recovered = RecoverUnfinishedInstall(data);
        EXPECT_NE(recovered.outcome, RecoveryOutcome::Failed) << recovered.message.toStdString();
        const auto now = FolderBytes(data);
        EXPECT_TRUE(now == before || now == after);
        // Installing again finishes the job, or finds it done.
        const InstallResult again = InstallResourcePack(pack, data);
        EXPECT_EQ(again.status, now == before ? InstallStatus::Installed : InstallStatus::AlreadyInstalled);
        EXPECT_EQ(FolderBytes(data), after);
    }
    EXPECT_GT(interrupted, 0); // at least one kill landed inside the install
}
