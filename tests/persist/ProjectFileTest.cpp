#include "support/ProjectTestFiles.h"

#include "canvas/CollageModel.h"
#include "persist/ProjectFile.h"

#include <QBuffer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <limits>
#include <random>

using namespace testfiles;

namespace {

std::int32_t At(const QByteArray& b, int offset)
{
    return le::ReadI32(reinterpret_cast<const std::uint8_t*>(b.constData()) + offset);
}

float FloatAt(const QByteArray& b, int offset)
{
    return le::ReadF32(reinterpret_cast<const std::uint8_t*>(b.constData()) + offset);
}

QSize Measure(const LogFont& font, const QString& text)
{
    return QSize(10 * static_cast<int>(text.size()), font.lfHeight);
}

// A model whose settings differ from every test file, with unsaved changes.
void MakeEarlierCollage(CollageModel& m)
{
    ASSERT_TRUE(m.SetCanvasSize(800, 600));
    ASSERT_TRUE(m.SetBackground(0x00123456, BackgroundPlacement::Stretch, QStringLiteral("/old/bg.png")));
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/old/photo.jpg"), 100, 100, 0, 0));
    ASSERT_TRUE(m.Modified());
}

class ProjectFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ProjectFile, EmptyCollageIs280Bytes)
{
    CollageModel m;
    m.SetModified(true);
    ASSERT_TRUE(project::SaveProject(m, Path("empty.vmz")));
    const QByteArray b = ReadFile(Path("empty.vmz"));
    ASSERT_EQ(b.size(), 280);
    EXPECT_EQ(At(b, 0), 1024);
    EXPECT_EQ(At(b, 4), 768);
    EXPECT_EQ(b.mid(8, 260), QByteArray(260, '\0'));
    EXPECT_EQ(At(b, 268), 0xFFFFFF);
    EXPECT_EQ(At(b, 272), 0);
    EXPECT_EQ(At(b, 276), 0);
    EXPECT_FALSE(m.Modified());
}

TEST_F(ProjectFile, PhotoAndTextAreFramedByKindWithCacheSlotsZero)
{
    CollageModel m;
    m.SetTextMeasurer(Measure);
    ASSERT_TRUE(m.SetBackground(0x00336699, BackgroundPlacement::Tile, QStringLiteral("/bg/paper.png")));
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/photos/p.jpg"), 2000, 1000, 0, 0));
    Text settings;
    settings.font.lfHeight = 40;
    settings.text.Set(QStringLiteral("Hello"));
    m.SetCurrentTextSettings(settings);
    ASSERT_TRUE(m.AddText());
    // Caches held by the running program never reach the file.
    m.CacheOf(0).displayImage = QImage(4, 4, QImage::Format_ARGB32);
    m.CacheOf(0).hasScreenRegion = true;
    m.CacheOf(1).hasScreenRegion = true;

    ASSERT_TRUE(project::SaveProject(m, Path("two.vmz")));
    const QByteArray b = ReadFile(Path("two.vmz"));
    ASSERT_EQ(b.size(), 280 + 4 + 400 + 4 + 1140);
    EXPECT_EQ(b.mid(8, 14), QByteArray("/bg/paper.png\0", 14));
    EXPECT_EQ(At(b, 268), 0x00336699);
    EXPECT_EQ(At(b, 272), 1);
    EXPECT_EQ(At(b, 276), 2);

    const int photo = 284;
    EXPECT_EQ(At(b, 280), 10);
    EXPECT_EQ(At(b, photo + 48), 0) << "selection moved to the text";
    EXPECT_EQ(At(b, photo + 56), 2000);
    EXPECT_EQ(FloatAt(b, photo + 72), 1792.0f / 9000.0f);
    EXPECT_EQ(FloatAt(b, photo + 76), 1792.0f / 9000.0f);
    EXPECT_EQ(b.mid(photo + 96, 14), QByteArray("/photos/p.jpg\0", 14));
    EXPECT_EQ(At(b, photo + 356), 0);
    EXPECT_EQ(b.mid(photo + 360, 12), QByteArray(12, '\0'));
    EXPECT_EQ(FloatAt(b, photo + 392), 0.125f);

    const int text = 284 + 400 + 4;
    EXPECT_EQ(At(b, 684), 4);
    EXPECT_EQ(At(b, text + 0), 40);
    EXPECT_EQ(b.mid(text + 60, 6), QByteArray("Hello\0", 6));
    EXPECT_EQ(At(b, text + 1072), 50);
    EXPECT_EQ(At(b, text + 1076), 40);
    EXPECT_EQ(At(b, text + 1092), 1);
    EXPECT_EQ(At(b, text + 1116), 25);
    EXPECT_EQ(At(b, text + 1132), 1);
    EXPECT_EQ(At(b, text + 1136), 0);
}

TEST_F(ProjectFile, LoadingStoresTheHeaderAsItStandsAndMakesFreshRegions)
{
    const QByteArray file = Header(1023, 767, "/bg/x.png", 0x00010203, 2, 3) + Entry(SamplePhoto())
        + Entry(SampleText()) + Entry(SampleClipArt());
    ASSERT_TRUE(WriteFile(Path("p.vmz"), file));

    CollageModel m;
    MakeEarlierCollage(m);
    QSignalSpy reload(&m, &CollageModel::backgroundChanged);
    QSignalSpy redraw(&m, &CollageModel::redrawRequested);
    ASSERT_TRUE(project::LoadProject(m, Path("p.vmz")));
    EXPECT_EQ(m.CanvasWidth(), 1023) << "no rounding to multiples of 4";
    EXPECT_EQ(m.CanvasHeight(), 767);
    EXPECT_EQ(m.BackgroundImagePath(), QStringLiteral("/bg/x.png"));
    EXPECT_EQ(m.BackgroundColor(), 0x00010203u);
    EXPECT_EQ(m.BackgroundPlacementValue(), 2);
    EXPECT_FALSE(m.Modified());
    EXPECT_EQ(reload.count(), 1);
    EXPECT_GE(redraw.count(), 1);

    ASSERT_EQ(m.ItemCount(), 3);
    EXPECT_EQ(m.ItemKinds(), (std::vector{ItemKind::Photo, ItemKind::Text, ItemKind::ClipArt}));
    EXPECT_EQ(m.RegionCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(RegionIndexOf(m.ItemAt(i)), i);
        EXPECT_EQ(m.FindCache(i), nullptr);
    }
    EXPECT_EQ(m.RegionAt(0).boundingRect(), QRectF(0, 0, 160, 120)); // 640 x 0.25, 480 x 0.25
    EXPECT_EQ(m.RegionAt(1).boundingRect(), QRectF(0, 0, 301, 57));
    EXPECT_EQ(m.RegionAt(2).boundingRect(), QRectF(0, 0, 50, 30)); // 101 x 0.5 truncated
    EXPECT_EQ(std::get<Photo>(m.ItemAt(0)).path.Value(), QStringLiteral("/photos/sample.jpg"));
    EXPECT_EQ(m.HistoryIndex(), -1);
    EXPECT_EQ(m.HistoryLength(), 0);
}

TEST_F(ProjectFile, UndoAfterLoadingDoesNothingAndUndoOfTheFirstEditReturnsToTheLoadedCollage)
{
    ASSERT_TRUE(WriteFile(Path("p.vmz"), Header(1024, 768, "", 0xFFFFFF, 0, 2) + Entry(SamplePhoto()) + Entry(SampleClipArt())));
    CollageModel m;
    ASSERT_TRUE(project::LoadProject(m, Path("p.vmz")));
    EXPECT_FALSE(m.CanUndo());
    m.Undo();
    EXPECT_EQ(m.ItemCount(), 2);
    EXPECT_FALSE(m.Modified());

    const QByteArray loaded = project::ProjectBytes(m);
    m.SelectOnly(1);
    m.DeleteSelected();
    EXPECT_EQ(m.HistoryIndex(), 0);
    m.Undo(); // back to the loaded collage, not to an empty one
    EXPECT_EQ(m.ItemCount(), 2);
    EXPECT_EQ(m.HistoryIndex(), -1);
    EXPECT_FALSE(m.CanUndo());
    EXPECT_TRUE(m.CanRedo());
    EXPECT_EQ(project::ProjectBytes(m), loaded); // a save writes what was loaded
    m.Redo();
    EXPECT_EQ(m.ItemCount(), 1);

    // A load that ends early keeps what it read as the base too; a refused one, none.
    QByteArray bytes = ReadFile(Path("p.vmz"));
    ASSERT_TRUE(WriteFile(Path("short.vmz"), bytes.left(bytes.size() - 10)));
    ASSERT_EQ(project::LoadProjectFile(m, Path("short.vmz")).status, project::LoadStatus::Truncated);
    ASSERT_EQ(m.ItemCount(), 1);
    m.ClearSelection();
    m.RecordStep();
    m.Undo();
    EXPECT_EQ(m.ItemCount(), 1);
}

TEST_F(ProjectFile, RandomCollagesRoundTripByteForByte)
{
    std::mt19937 rng(424242);
    const auto int32 = [&rng] { return static_cast<std::int32_t>(rng()); };
    const auto real = [&rng] { return std::uniform_real_distribution<float>(-1e6f, 1e6f)(rng); };
    const auto bytes = [&rng](auto& field) {
        for (char& c : field.bytes)
            c = static_cast<char>(rng() % 3 == 0 ? 0 : rng());
    };
    const auto tuning = [&] {
        return Tuning{int32(), real(), real(), real(), real(), real(), real()};
    };

    for (int round = 0; round < 40; ++round) {
        CollageModel m;
        m.StoreLoadedSize(1 + static_cast<std::int32_t>(rng() % 32768), 1 + static_cast<std::int32_t>(rng() % 32768));
        PathField bg;
        bytes(bg);
        m.StoreLoadedBackground(bg.Bytes(), rng(), int32());
        const int count = static_cast<int>(rng() % 25);
        for (int i = 0; i < count; ++i) {
            switch (rng() % 4) {
            case 0: {
                Photo p;
                p.creationOrder = int32();
                p.opacity = real();
                p.frameIndex = int32();
                p.frameLeft = real();
                p.frameBottom = real();
                p.cropRight = int32();
                p.maskIndex = int32();
                p.selected = int32();
                p.angle = real();
                p.sourceWidth = int32();
                p.baseWidth = int32();
                p.baseHeight = int32();
                p.drawScale = real();
                p.hitScale = real();
                p.posX = int32();
                p.dragY = int32();
                bytes(p.path);
                p.tuning = tuning();
                m.AppendLoadedItem(p);
                break;
            }
            case 1: {
                ClipArt c;
                c.reserved = int32();
                c.angle = real();
                c.sourceIndex = int32();
                c.sourceWidth = int32();
                c.fromMemory = int32();
                c.scale = real();
                c.hitScale = real();
                c.posY = int32();
                c.tuning = tuning();
                m.AppendLoadedItem(c);
                break;
            }
            case 2: {
                BrushStamp s;
                s.angle = real();
                s.sourceHeight = int32();
                s.opacity = real();
                s.scale = real();
                s.tintColor = rng();
                s.dragX = int32();
                s.tuning = tuning();
                m.AppendLoadedItem(s);
                break;
            }
            default: {
                Text t;
                t.font.lfHeight = int32();
                t.font.lfCharSet = static_cast<std::uint8_t>(rng());
                bytes(t.text);
                t.style = int32();
                t.angle = real();
                t.boxWidth = int32();
                t.scale = real();
                t.colour2 = rng();
                t.screenBox = {int32(), int32(), int32(), int32()};
                t.transparency = real();
                m.AppendLoadedItem(t);
                break;
            }
            }
        }
        const QString path = Path(QStringLiteral("r%1.vmz").arg(round));
        ASSERT_TRUE(project::SaveProject(m, path));
        const QByteArray saved = ReadFile(path);
        ASSERT_EQ(saved, project::ProjectBytes(m));

        CollageModel loaded;
        ASSERT_EQ(project::LoadProjectFile(loaded, path).status, project::LoadStatus::Loaded) << round;
        ASSERT_EQ(loaded.ItemCount(), m.ItemCount());
        for (int i = 0; i < m.ItemCount(); ++i) {
            CanvasItem expected = m.ItemAt(i);
            // This collage holds no picture buffers: a buffer item names none after a save.
            if (auto* c = std::get_if<ClipArt>(&expected); c && c->fromMemory != 0)
                c->sourceIndex = -1;
            ASSERT_TRUE(loaded.ItemAt(i) == expected) << "round " << round << " item " << i;
        }
        ASSERT_EQ(project::ProjectBytes(loaded), saved) << round;
    }
}

// Cut a small project at every byte: every load fails, keeps the entries read whole and
// leaves modified as it was.
TEST_F(ProjectFile, TruncatedAtEveryByte)
{
    const QByteArray header = Header(640, 480, "/bg.png", 0, 0, 3);
    const QByteArray entries[] = {Entry(SamplePhoto()), Entry(SampleText()), Entry(SampleClipArt())};
    const QByteArray full = header + entries[0] + entries[1] + entries[2];
    for (qsizetype size = 0; size < full.size(); ++size) {
        QByteArray cut = full.left(size);
        QBuffer buffer(&cut);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        CollageModel m;
        MakeEarlierCollage(m);
        const project::LoadResult result = project::LoadProjectFrom(m, buffer);
        ASSERT_EQ(result.status, project::LoadStatus::Truncated) << size;
        EXPECT_FALSE(result.problem.isEmpty());
        ASSERT_TRUE(m.Modified()) << size;
        int whole = 0;
        qsizetype end = header.size();
        for (const QByteArray& e : entries) {
            end += e.size();
            if (end <= size)
                ++whole;
        }
        ASSERT_EQ(m.ItemCount(), whole) << size;
        ASSERT_EQ(m.RegionCount(), whole) << size;
        ASSERT_EQ(m.HistoryIndex(), -1);
        ASSERT_EQ(m.CanvasWidth(), size >= 4 ? 640 : 800) << size;
        ASSERT_EQ(m.CanvasHeight(), size >= 8 ? 480 : 600) << size;
    }
    ASSERT_TRUE(WriteFile(Path("whole.vmz"), full));
    CollageModel m;
    ASSERT_TRUE(project::LoadProject(m, Path("whole.vmz")));
    EXPECT_EQ(m.ItemCount(), 3);
}

// Random bytes after a valid size: whatever the loader keeps is a collage that saves and
// loads back to the same bytes.
TEST_F(ProjectFile, RandomBytesNeverBreakTheLoader)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = I32(640) + I32(480);
        const int size = static_cast<int>(rng() % 4000);
        for (int i = 0; i < size; ++i)
            bytes.append(static_cast<char>(rng()));
        if (bytes.size() >= 280 && rng() % 2 == 0)
            le::WriteI32(reinterpret_cast<std::uint8_t*>(bytes.data()) + 276, static_cast<std::int32_t>(rng() % 6));
        // Now and then a known kind where an entry starts.
        if (bytes.size() >= 284 && rng() % 2 == 0)
            le::WriteI32(reinterpret_cast<std::uint8_t*>(bytes.data()) + 280, (rng() % 2) ? 10 : 0);
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        CollageModel m;
        const project::LoadResult result = project::LoadProjectFrom(m, buffer);
        ASSERT_EQ(m.ItemCount(), m.RegionCount());
        if (result.status == project::LoadStatus::Invalid) {
            ASSERT_EQ(m.ItemCount(), 0);
            continue;
        }
        QByteArray saved = project::ProjectBytes(m);
        QBuffer again(&saved);
        ASSERT_TRUE(again.open(QIODevice::ReadOnly));
        CollageModel reloaded;
        ASSERT_EQ(project::LoadProjectFrom(reloaded, again).status, project::LoadStatus::Loaded) << round;
        ASSERT_EQ(project::ProjectBytes(reloaded), saved) << round;
    }
}

TEST_F(ProjectFile, ACountIsOnlyALimit)
{
    const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
    CollageModel m;
    ASSERT_TRUE(WriteFile(Path("huge.vmz"), Header(640, 480, "", 0, 0, huge) + Entry(SamplePhoto()) + Entry(SampleClipArt())));
    EXPECT_FALSE(project::LoadProject(m, Path("huge.vmz")));
    EXPECT_EQ(m.ItemCount(), 2);

    ASSERT_TRUE(WriteFile(Path("huge-empty.vmz"), Header(640, 480, "", 0, 0, huge)));
    EXPECT_FALSE(project::LoadProject(m, Path("huge-empty.vmz")));
    EXPECT_EQ(m.ItemCount(), 0);

    // A negative count reads no entry; what follows is ignored as after any N entries.
    ASSERT_TRUE(WriteFile(Path("negative.vmz"), Header(640, 480, "", 0, 0, -5) + Entry(SamplePhoto())));
    EXPECT_TRUE(project::LoadProject(m, Path("negative.vmz")));
    EXPECT_EQ(m.ItemCount(), 0);
    ASSERT_TRUE(WriteFile(Path("short.vmz"), Header(640, 480, "", 0, 0, 1) + Entry(SamplePhoto()) + Entry(SampleText())));
    EXPECT_TRUE(project::LoadProject(m, Path("short.vmz")));
    EXPECT_EQ(m.ItemCount(), 1);
}

TEST_F(ProjectFile, UnknownKindsCarryNoRecordAndAreSkipped)
{
    const QByteArray file = Header(640, 480, "", 0, 0, 5) + I32(7) + Entry(SamplePhoto()) + I32(-3) + I32(11) + Entry(SampleClipArt());
    ASSERT_TRUE(WriteFile(Path("kinds.vmz"), file));
    CollageModel m;
    ASSERT_TRUE(project::LoadProject(m, Path("kinds.vmz")));
    EXPECT_EQ(m.ItemKinds(), (std::vector{ItemKind::Photo, ItemKind::ClipArt}));
    EXPECT_EQ(m.RegionCount(), 2);
    EXPECT_EQ(project::ProjectBytes(m).size(), 280 + 404 + 100);
}

TEST_F(ProjectFile, UnterminatedFieldsEndAtTheFieldAndSurviveAResave)
{
    Photo p = SamplePhoto();
    p.path.bytes.fill('b');
    p.regionIndex = 0; // as loading numbers them
    Text t = SampleText();
    t.text.bytes.fill('c');
    t.regionIndex = 1;
    t.font.lfFaceName.fill('d');
    const QByteArray file = Header(640, 480, QByteArray(260, 'a'), 0, 0, 2) + Entry(p) + Entry(t);
    ASSERT_TRUE(WriteFile(Path("unterminated.vmz"), file));

    CollageModel m;
    ASSERT_TRUE(project::LoadProject(m, Path("unterminated.vmz")));
    EXPECT_EQ(m.BackgroundImagePath(), QString(260, QLatin1Char('a')));
    EXPECT_EQ(std::get<Photo>(m.ItemAt(0)).path.Value(), QString(260, QLatin1Char('b')));
    EXPECT_EQ(std::get<Text>(m.ItemAt(1)).text.Value(), QString(1000, QLatin1Char('c')));
    EXPECT_EQ(std::get<Text>(m.ItemAt(1)).font.FaceName(), QString(32, QLatin1Char('d')));
    ASSERT_TRUE(project::SaveProject(m, Path("again.vmz")));
    EXPECT_EQ(ReadFile(Path("again.vmz")), file);
}

TEST_F(ProjectFile, NonFiniteNumbersMakeTheFileInvalid)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Photo nanScale = SamplePhoto();
    nanScale.drawScale = nan;
    ClipArt infHit = SampleClipArt();
    infHit.hitScale = inf;
    Photo nanGamma = SamplePhoto();
    nanGamma.tuning.tuneGamma = nan;
    Text nanTransparency = SampleText();
    nanTransparency.transparency = -inf;
    BrushStamp nanAngle;
    nanAngle.angle = nan;

    for (const CanvasItem& bad : {CanvasItem(nanScale), CanvasItem(infHit), CanvasItem(nanGamma), CanvasItem(nanTransparency), CanvasItem(nanAngle)}) {
        const QByteArray file = Header(1000, 1000, "/new.png", 0, 1, 3) + Entry(SamplePhoto()) + Entry(bad) + Entry(SampleText());
        ASSERT_TRUE(WriteFile(Path("nan.vmz"), file));
        CollageModel m;
        MakeEarlierCollage(m);
        const project::LoadResult result = project::LoadProjectFile(m, Path("nan.vmz"));
        EXPECT_EQ(result.status, project::LoadStatus::Invalid) << KindName(KindOf(bad));
        EXPECT_TRUE(result.problem.contains(QStringLiteral("item 1"))) << result.problem.toStdString();
        // The canvas is left reset: no item of the file, the earlier size and background.
        EXPECT_EQ(m.ItemCount(), 0);
        EXPECT_EQ(m.RegionCount(), 0);
        EXPECT_EQ(m.HistoryIndex(), -1);
        EXPECT_EQ(m.CanvasWidth(), 800);
        EXPECT_EQ(m.BackgroundImagePath(), QStringLiteral("/old/bg.png"));
        EXPECT_TRUE(m.Modified());
        EXPECT_FALSE(project::LoadProject(m, Path("nan.vmz")));
    }
}

TEST_F(ProjectFile, CanvasSizesOutsideOneTo32768AreRefused)
{
    for (const auto& [w, h] : {std::pair{0, 480}, std::pair{-4, 480}, std::pair{32769, 480}, std::pair{640, 0}, std::pair{640, 40000}, std::pair{std::numeric_limits<std::int32_t>::min(), 1}}) {
        ASSERT_TRUE(WriteFile(Path("size.vmz"), Header(w, h, "", 0, 0, 1) + Entry(SamplePhoto())));
        CollageModel m;
        MakeEarlierCollage(m);
        EXPECT_EQ(project::LoadProjectFile(m, Path("size.vmz")).status, project::LoadStatus::Invalid) << w << " x " << h;
        EXPECT_EQ(m.CanvasWidth(), 800);
        EXPECT_EQ(m.CanvasHeight(), 600);
        EXPECT_EQ(m.ItemCount(), 0);
    }
    ASSERT_TRUE(WriteFile(Path("max.vmz"), Header(32768, 1, "", 0, 0, 0)));
    CollageModel m;
    EXPECT_TRUE(project::LoadProject(m, Path("max.vmz")));
    EXPECT_EQ(m.CanvasWidth(), 32768);
}

TEST_F(ProjectFile, AFileThatCannotBeOpenedCountsAsLoaded)
{
    CollageModel m;
    MakeEarlierCollage(m);
    const project::LoadResult result = project::LoadProjectFile(m, Path("missing.vmz"));
    EXPECT_EQ(result.status, project::LoadStatus::CannotOpen);
    EXPECT_TRUE(project::LoadProject(m, Path("missing.vmz")));
    EXPECT_EQ(m.ItemCount(), 0);
    EXPECT_EQ(m.CanvasWidth(), 800);
    EXPECT_EQ(m.BackgroundImagePath(), QStringLiteral("/old/bg.png"));
    EXPECT_FALSE(m.Modified());
}

TEST_F(ProjectFile, SavingReplacesAnEarlierFileWhole)
{
    ASSERT_TRUE(WriteFile(Path("over.vmz"), QByteArray(5000, 'x')));
    CollageModel m;
    ASSERT_TRUE(project::SaveProject(m, Path("over.vmz")));
    EXPECT_EQ(ReadFile(Path("over.vmz")).size(), 280);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"over.vmz"}) << "no temporary file left";
}

TEST_F(ProjectFile, AFailedSaveReportsFailureKeepsModifiedAndTheEarlierFile)
{
    CollageModel m;
    MakeEarlierCollage(m);
    const project::SaveResult noFolder = project::SaveProjectFile(m, Path("no/such/folder/p.vmz"));
    EXPECT_FALSE(noFolder.ok);
    EXPECT_FALSE(noFolder.problem.isEmpty());
    EXPECT_TRUE(m.Modified());

    // A write that fails part-way: the file-size limit stops the temporary file at 300
    // bytes, so the 684-byte project cannot be written whole.
    const QByteArray earlier(1000, 'e');
    ASSERT_TRUE(WriteFile(Path("keep.vmz"), earlier));
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 300;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const project::SaveResult partial = project::SaveProjectFile(m, Path("keep.vmz"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(partial.ok);
    EXPECT_FALSE(partial.problem.isEmpty());
    EXPECT_TRUE(m.Modified());
    EXPECT_EQ(ReadFile(Path("keep.vmz")), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.vmz"});
}

namespace {

// A 3 x 2 picture whose every byte differs, as a calendar or an effect result would be held.
std::vector<std::uint8_t> SamplePixels(int width, int height, std::uint8_t seed)
{
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(seed + i * 7);
    return pixels;
}

} // namespace

TEST_F(ProjectFile, BufferItemsKeepTheirPixelsAcrossSaveAndOpen)
{
    CollageModel m;
    const auto unused = SamplePixels(2, 2, 1);
    const auto calendar = SamplePixels(3, 2, 50);
    ASSERT_TRUE(m.AddPictureItem(unused, 2, 2));
    ASSERT_TRUE(m.AddPictureItem(calendar, 3, 2));
    m.SelectOnly(0);
    m.DeleteSelected(); // buffer 0 is named by no item any more
    ASSERT_EQ(m.ItemCount(), 1);
    ASSERT_TRUE(project::SaveProject(m, Path("calendar.vmz")));

    const QByteArray bytes = ReadFile(Path("calendar.vmz"));
    const int block = project::kHeaderSize + 4 + ClipArt::kSize;
    ASSERT_EQ(bytes.size(), block + 8 + 8 + 3 * 2 * 4);
    EXPECT_EQ(bytes.mid(block, 4), QByteArray("MBUF"));
    EXPECT_EQ(At(bytes, block + 4), 1);
    // The item names its place in the block, not the running program's list.
    EXPECT_EQ(At(bytes, project::kHeaderSize + 4 + ClipArt::Off::sourceIndex), 0);

    // Another program run already holds buffers: the file's go behind them.
    CollageModel other;
    ASSERT_TRUE(other.AddPictureItem(unused, 2, 2));
    ASSERT_TRUE(other.AddPictureItem(unused, 2, 2));
    const project::LoadResult result = project::LoadProjectFile(other, Path("calendar.vmz"));
    ASSERT_EQ(result.status, project::LoadStatus::Loaded) << result.problem.toStdString();
    ASSERT_EQ(other.ItemCount(), 1);
    const auto& item = std::get<ClipArt>(other.ItemAt(0));
    ASSERT_EQ(item.fromMemory, 1);
    const PictureBuffer* buffer = other.PictureBufferAt(item.sourceIndex);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(item.sourceIndex, 2);
    EXPECT_EQ(buffer->width, 3);
    EXPECT_EQ(buffer->height, 2);
    EXPECT_EQ(buffer->pixels, calendar);
    EXPECT_FALSE(other.Modified());

    // Saving the reopened collage writes the same block, the item naming its place in it
    // again (the record's region index is the running program's and may differ).
    ASSERT_TRUE(project::SaveProject(other, Path("again.vmz")));
    const QByteArray again = ReadFile(Path("again.vmz"));
    EXPECT_EQ(again.mid(block), bytes.mid(block));
    EXPECT_EQ(At(again, project::kHeaderSize + 4 + ClipArt::Off::sourceIndex), 0);
}

TEST_F(ProjectFile, CollagesWithoutBufferItemsStayThePlainFormat)
{
    CollageModel m;
    const auto pixels = SamplePixels(2, 2, 9);
    ASSERT_TRUE(m.AddPictureItem(pixels, 2, 2));
    m.SelectOnly(0);
    m.DeleteSelected();
    ASSERT_TRUE(project::SaveProject(m, Path("plain.vmz")));
    EXPECT_EQ(ReadFile(Path("plain.vmz")).size(), project::kHeaderSize);

    // A plain file whose buffer item names an index of another program run: the item
    // stays and names no buffer, never one of this run's.
    ClipArt orphan = SampleClipArt();
    orphan.fromMemory = 1;
    orphan.sourceIndex = 0;
    ASSERT_TRUE(WriteFile(Path("orphan.vmz"), Header(640, 480, "", 0, 0, 1) + Entry(orphan)));
    CollageModel other;
    ASSERT_TRUE(other.AddPictureItem(pixels, 2, 2));
    ASSERT_TRUE(project::LoadProject(other, Path("orphan.vmz")));
    ASSERT_EQ(other.ItemCount(), 1);
    EXPECT_EQ(other.PictureBufferAt(std::get<ClipArt>(other.ItemAt(0)).sourceIndex), nullptr);
}

TEST_F(ProjectFile, ABrokenBufferBlockIsReportedAndAllocatesNothingItDoesNotHold)
{
    ClipArt item = SampleClipArt();
    item.fromMemory = 1;
    item.sourceIndex = 0;
    const QByteArray plain = Header(640, 480, "", 0, 0, 1) + Entry(item);
    auto block = [](std::int32_t count, std::int32_t width, std::int32_t height, qsizetype pixelBytes) {
        QByteArray b("MBUF");
        b += QByteArray(12, '\0');
        auto* p = reinterpret_cast<std::uint8_t*>(b.data());
        le::WriteI32(p + 4, count);
        le::WriteI32(p + 8, width);
        le::WriteI32(p + 12, height);
        return b + QByteArray(pixelBytes, '\x7f');
    };
    const QByteArray whole = plain + block(1, 2, 2, 16);
    // Cut anywhere inside the block: the item stays, the load says the file ends early.
    for (qsizetype size = plain.size() + 4; size < whole.size(); ++size) {
        QByteArray cut = whole.left(size);
        QBuffer device(&cut);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        CollageModel m;
        const project::LoadResult result = project::LoadProjectFrom(m, device);
        EXPECT_EQ(result.status, project::LoadStatus::Truncated) << size;
        EXPECT_EQ(m.ItemCount(), 1);
        EXPECT_EQ(m.PictureBufferCount(), 0);
    }
    // Sizes that cannot be right are refused before any pixel memory is taken: a header
    // claiming 30000 x 30000 (3.6 GB) in a file of a few bytes.
    for (const QByteArray& hostile : {block(-1, 2, 2, 0), block(70000, 2, 2, 0), block(1, 0, 2, 0),
                                      block(1, 2, -5, 0), block(1, 40000, 2, 0), block(1, 30000, 30000, 64)}) {
        QByteArray bytes = plain + hostile;
        QBuffer device(&bytes);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        CollageModel m;
        const project::LoadResult result = project::LoadProjectFrom(m, device);
        EXPECT_NE(result.status, project::LoadStatus::Loaded);
        EXPECT_FALSE(result.problem.isEmpty());
        EXPECT_EQ(m.PictureBufferCount(), 0);
    }
    // Bytes after the last entry that are no block are not ours and change nothing.
    QByteArray trailing = plain + QByteArray("something else");
    QBuffer device(&trailing);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    CollageModel m;
    EXPECT_EQ(project::LoadProjectFrom(m, device).status, project::LoadStatus::Loaded);
}
