#include "library/LibraryFiles.h"
#include "library/ResourcePack.h"

#include "base/LittleEndian.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace library;

namespace {

struct Installed {
    QTemporaryDir dir;
    QString data;
    std::vector<InstallResult> results;
};

// The starter packs built into the editor, installed into a new data folder.
const Installed& FirstStart()
{
    static Installed installed = [] {
        Installed i;
        i.data = i.dir.filePath(QStringLiteral("Data/"));
        i.results = InstallStarterPacks(i.data);
        return i;
    }();
    return installed;
}

int CountOf(const QString& path)
{
    QFile file(path);
    std::uint8_t bytes[4] = {};
    if (!file.open(QIODevice::ReadOnly) || file.read(reinterpret_cast<char*>(bytes), 4) != 4)
        return -1;
    return le::ReadI32(bytes);
}

double OpaqueShare(const QImage& picture)
{
    int opaque = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            opaque += qAlpha(picture.pixel(x, y)) > 128;
    }
    return double(opaque) / (picture.width() * picture.height());
}

} // namespace

TEST(StarterPacks, FirstStartFillsEveryPanel)
{
    const Installed& i = FirstStart();
    ASSERT_EQ(i.results.size(), 5u);
    for (const InstallResult& r : i.results)
        EXPECT_EQ(r.status, InstallStatus::Installed) << r.message.toStdString();
    EXPECT_GE(CountOf(i.data + kPhotoFramesThumbFile), 12);
    EXPECT_GE(CountOf(i.data + kPhotoMasksThumbFile), 10);
    EXPECT_GE(CountOf(i.data + kShapeThumbFile), 10);
    EXPECT_GE(CountOf(i.data + kBrushesFile), 12);
    EXPECT_GE(CountOf(i.data + kClipArtsFile), 40);
    EXPECT_EQ(CountOf(i.data + kPhotoFramesFile), CountOf(i.data + kPhotoFramesThumbFile));
    EXPECT_EQ(CountOf(i.data + kPhotoMasksFile), CountOf(i.data + kPhotoMasksThumbFile));
    EXPECT_EQ(CountOf(i.data + kShapeFile), CountOf(i.data + kShapeThumbFile));
    // Recorded like any pack: a second start installs nothing.
    EXPECT_EQ(CountOf(i.data + kResInfoFile), 5);
    EXPECT_TRUE(InstallStarterPacks(i.data).empty());
}

// Every frame's opening is a hole: the photo drawn into it shows through its middle.
TEST(StarterPacks, FramesHaveTransparentOpenings)
{
    const QString frames = FirstStart().data + kPhotoFramesFile;
    const int count = CountOf(frames);
    for (int n = 0; n < count; ++n) {
        SCOPED_TRACE(n);
        const std::optional<ImageEntry> entry = ReadImageEntry(frames, n, LibraryLayout::ImageWithOpening);
        ASSERT_TRUE(entry);
        const FrameOpening o = *ReadFrameOpening(frames, n);
        EXPECT_GT(o.right - o.left, 0.6f);
        EXPECT_GT(o.bottom - o.top, 0.55f);
        const QImage& picture = entry->picture;
        // Points of the ellipse inscribed in the opening, so that oval openings count too.
        for (float fx : {0.25f, 0.5f, 0.75f}) {
            for (float fy : {0.25f, 0.5f, 0.75f}) {
                const int x = static_cast<int>(picture.width() * (o.left + (o.right - o.left) * fx));
                const int y = static_cast<int>(picture.height() * (o.top + (o.bottom - o.top) * fy));
                EXPECT_EQ(qAlpha(picture.pixel(x, y)), 0) << x << "," << y;
            }
        }
        // And the frame itself is there: its corner is not transparent.
        EXPECT_GT(qAlpha(picture.pixel(picture.width() / 2, 4)), 200);
    }
}

// Masks are grey pictures with both what shows (black) and what hides (white); shapes
// hold the inner colour that shows the photo and a rim around it.
TEST(StarterPacks, MasksAndShapesFollowTheirPixelRules)
{
    const QString masks = FirstStart().data + kPhotoMasksFile;
    for (int n = 0; n < CountOf(masks); ++n) {
        SCOPED_TRACE(n);
        const std::optional<ImageEntry> entry = ReadImageEntry(masks, n, LibraryLayout::Image);
        ASSERT_TRUE(entry);
        int black = 0;
        int white = 0;
        for (int y = 0; y < entry->picture.height(); y += 3) {
            for (int x = 0; x < entry->picture.width(); x += 3) {
                const QRgb p = entry->picture.pixel(x, y);
                ASSERT_LE(std::abs(qRed(p) - qBlue(p)), 2);
                black += qBlue(p) < 10;
                white += qBlue(p) > 245;
            }
        }
        EXPECT_GT(black, 100);
        EXPECT_GT(white, 100);
    }
    const QString shapes = FirstStart().data + kShapeFile;
    for (int n = 0; n < CountOf(shapes); ++n) {
        SCOPED_TRACE(n);
        const std::optional<ImageEntry> entry = ReadImageEntry(shapes, n, LibraryLayout::Image);
        ASSERT_TRUE(entry);
        const QImage& picture = entry->picture;
        EXPECT_EQ(ReadShapeSize(shapes, n), picture.size());
        int inner = 0;
        int rim = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y);
                const bool isInner = qAlpha(p) >= 5 && std::abs(qRed(p) - qBlue(p)) > 10 && std::abs(qGreen(p) - 165) < 10;
                inner += isInner;
                rim += !isInner && qAlpha(p) > 150;
            }
        }
        EXPECT_GT(inner, picture.width() * picture.height() / 8);
        EXPECT_GT(rim, picture.width() * 2);
        // The shape panel shows the shape file's own pixels.
        EXPECT_EQ(ReadThumbnailEntry(FirstStart().data + kShapeThumbFile, n).size(), picture.size());
    }
}

// Brushes stamp with their alpha; clip-art is drawn from its pixels at a sensible size.
TEST(StarterPacks, BrushesAndClipArtAreDrawnPictures)
{
    const QString brushes = FirstStart().data + kBrushesFile;
    for (int n = 0; n < CountOf(brushes); ++n) {
        SCOPED_TRACE(n);
        const QImage brush = ReadThumbnailEntry(brushes, n);
        ASSERT_FALSE(brush.isNull());
        EXPECT_LE(brush.width(), 128);
        EXPECT_EQ(qAlpha(brush.pixel(0, 0)), 0);
        EXPECT_GT(OpaqueShare(brush), 0.05);
    }
    const QString clipArt = FirstStart().data + kClipArtsFile;
    for (int n = 0; n < CountOf(clipArt); ++n) {
        SCOPED_TRACE(n);
        const QImage picture = ReadThumbnailEntry(clipArt, n);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(std::max(picture.width(), picture.height()), 200);
        EXPECT_GT(std::min(picture.width(), picture.height()), 20);
    }
}
