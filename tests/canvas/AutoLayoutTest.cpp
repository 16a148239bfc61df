#include "canvas/AutoLayout.h"
#include "canvas/CollageModel.h"
#include "persist/ProjectFile.h"
#include "support/ToolRun.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

// Mixed portrait and landscape photos, as a camera and a phone give them.
std::vector<QSize> MixedPhotos(int count)
{
    static const QSize kinds[] = {{4000, 3000}, {3000, 4000}, {1920, 1080}, {1080, 1920}, {2000, 2000}, {3000, 2000},
                                  {640, 480},   {2000, 3000}, {5000, 1000}, {800, 2400}};
    std::vector<QSize> sizes;
    for (int i = 0; i < count; ++i)
        sizes.push_back(kinds[(i * 7 + 3) % std::size(kinds)]);
    return sizes;
}

QRect Shown(const autolayout::Placement& p)
{
    return QRect(p.position, p.display);
}

// The rules every layout keeps: every photo shown, inside the canvas and its cell, no
// two photos overlapping, at least `spacing` apart.
void CheckLayout(const std::vector<autolayout::Placement>& placements, std::size_t count, QSize canvas, int spacing,
                 const char* what)
{
    ASSERT_EQ(placements.size(), count) << what;
    const QRect whole(QPoint(0, 0), canvas);
    for (std::size_t i = 0; i < placements.size(); ++i) {
        const QRect r = Shown(placements[i]);
        ASSERT_FALSE(r.isEmpty()) << what << " photo " << i;
        ASSERT_EQ(r.width() % 4, 0);
        ASSERT_EQ(r.height() % 4, 0);
        ASSERT_TRUE(whole.contains(r)) << what << " photo " << i;
        const QRectF cell = placements[i].cell;
        ASSERT_GE(r.left(), cell.left() - 1e-6) << what << " photo " << i;
        ASSERT_LE(r.left() + r.width(), cell.right() + 1e-6) << what << " photo " << i;
        for (std::size_t j = 0; j < i; ++j) {
            const QRect o = Shown(placements[j]);
            ASSERT_FALSE(r.intersects(o)) << what << " photos " << j << " and " << i;
            // Apart by at least the spacing on one axis.
            const int dx = std::max(o.left() - (r.left() + r.width()), r.left() - (o.left() + o.width()));
            const int dy = std::max(o.top() - (r.top() + r.height()), r.top() - (o.top() + o.height()));
            ASSERT_GE(std::max(dx, dy), spacing) << what << " photos " << j << " and " << i;
        }
    }
}

// Photos in reading order: each one after the previous one in its row, or in a lower row.
void CheckOrder(const std::vector<autolayout::Placement>& placements, const char* what)
{
    for (std::size_t i = 1; i < placements.size(); ++i) {
        const QRectF a = placements[i - 1].cell;
        const QRectF b = placements[i].cell;
        const bool sameRow = std::abs(a.top() - b.top()) < 1e-6;
        ASSERT_TRUE(sameRow ? b.left() > a.left() : b.top() > a.top()) << what << " photo " << i;
    }
}

} // namespace

TEST(AutoLayout, EveryModeKeepsPhotosApartInsideTheCanvasAndInOrder)
{
    const QSize canvas(1600, 1200);
    for (int count : {1, 2, 3, 5, 7, 12, 50, 200}) {
        const std::vector<QSize> sources = MixedPhotos(count);
        for (auto [mode, name] : {std::pair{autolayout::Mode::Grid, "grid"}, std::pair{autolayout::Mode::Mosaic, "mosaic"},
                                  std::pair{autolayout::Mode::Fill, "fill"}}) {
            SCOPED_TRACE(testing::Message() << name << " of " << count);
            const autolayout::Options options{mode, 10, 20};
            const auto placements = autolayout::Compute(sources, canvas, options);
            CheckLayout(placements, sources.size(), canvas, options.spacing, name);
            CheckOrder(placements, name);
            // The margin is kept on every side.
            for (const auto& p : placements)
                ASSERT_TRUE(QRect(20, 20, 1560, 1160).contains(Shown(p)));
        }
    }
}

TEST(AutoLayout, MosaicKeepsEveryPhotoWholeAndFillsRowsToTheWidth)
{
    const QSize canvas(2000, 1500);
    for (int count : {1, 2, 3, 5, 7, 12, 50}) {
        const std::vector<QSize> sources = MixedPhotos(count);
        const auto placements = autolayout::Compute(sources, canvas, {autolayout::Mode::Mosaic, 12, 0});
        ASSERT_EQ(placements.size(), sources.size());
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const QSize s = sources[i];
            const QSize d = placements[i].display;
            EXPECT_EQ(placements[i].crop, QRect(QPoint(0, 0), s)) << "no cropping";
            // The aspect is kept to the 4-pixel rounding of each side.
            const double aspect = double(s.width()) / s.height();
            EXPECT_LE(std::abs(d.width() - d.height() * aspect), 4 + 4 * aspect) << count << " photo " << i;
            // Every photo fills its cell to the rounding: under 4 pixels on the side that binds;
            // on the other the cell's whole-pixel edges add up to a pixel times the aspect.
            const double slackW = placements[i].cell.width() - d.width();
            const double slackH = placements[i].cell.height() - d.height();
            EXPECT_LT(std::min(slackW, slackH), 4.0);
            EXPECT_LT(std::max(slackW, slackH), 5.0 + std::max(aspect, 1 / aspect));
        }
        // Each row's cells reach from the left edge of the rows to their right edge.
        double right = 0;
        for (const auto& p : placements)
            right = std::max(right, p.cell.right());
        double left = canvas.width();
        for (const auto& p : placements)
            left = std::min(left, p.cell.left());
        for (std::size_t i = 0; i + 1 < placements.size(); ++i) {
            const bool lastOfRow = std::abs(placements[i + 1].cell.top() - placements[i].cell.top()) > 1e-6;
            if (lastOfRow)
                EXPECT_NEAR(placements[i].cell.right(), right, 1e-3);
            else
                EXPECT_NEAR(placements[i + 1].cell.left() - placements[i].cell.right(), 12.0, 1e-6);
        }
    }
}

TEST(AutoLayout, FillCropsCentrallyAndFillsEveryCell)
{
    const std::vector<QSize> sources = MixedPhotos(7);
    const auto placements = autolayout::Compute(sources, QSize(1200, 800), {autolayout::Mode::Fill, 8, 8});
    ASSERT_EQ(placements.size(), 7u);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const auto& p = placements[i];
        EXPECT_LT(p.cell.width() - p.display.width(), 5.0) << i;
        EXPECT_LT(p.cell.height() - p.display.height(), 5.0) << i;
        // Central: equal margins cut off each side, to a pixel.
        const QSize s = sources[i];
        EXPECT_LE(std::abs(p.crop.left() - (s.width() - p.crop.right() - 1)), 1) << i;
        EXPECT_LE(std::abs(p.crop.top() - (s.height() - p.crop.bottom() - 1)), 1) << i;
        EXPECT_TRUE(QRect(QPoint(0, 0), s).contains(p.crop));
    }
}

TEST(AutoLayout, GridColumnsFollowThePhotosAspect)
{
    // Four 2:1 photos on a square canvas: one column of 4:1 cells and 2 x 2 square cells are
    // equally far from 2:1, and the first wins; on a wide canvas one row of 2:1 cells.
    const std::vector<QSize> wide(4, QSize(2000, 1000));
    EXPECT_EQ(autolayout::GridColumns(wide, QSizeF(1000, 1000), 0), 1);
    EXPECT_EQ(autolayout::GridColumns(wide, QSizeF(4000, 500), 0), 4);
    const std::vector<QSize> square(4, QSize(500, 500));
    EXPECT_EQ(autolayout::GridColumns(square, QSizeF(1000, 1000), 0), 2);
    EXPECT_EQ(autolayout::GridColumns(square, QSizeF(4000, 1000), 0), 4);
}

TEST(AutoLayout, CanvasAspectKeepsTheWidthWithinTheLimits)
{
    EXPECT_EQ(autolayout::CanvasForAspect(QSize(1600, 1000), 4, 3), QSize(1600, 1200));
    EXPECT_EQ(autolayout::CanvasForAspect(QSize(1600, 1000), 9, 16), QSize(1600, 2844));
    EXPECT_EQ(autolayout::CanvasForAspect(QSize(3200, 1000), 9, 16), QSize(3200, 3200));
    EXPECT_EQ(autolayout::CanvasForAspect(QSize(1600, 1000), 0, 0), QSize(1600, 1000));
    // A margin that leaves no room places nothing.
    EXPECT_TRUE(autolayout::Compute(MixedPhotos(3), QSize(100, 100), {autolayout::Mode::Grid, 0, 50}).empty());
}

TEST(AutoLayout, ApplyIsOneUndoStepThatRestoresTheCollageAndItsSize)
{
    CollageModel m;
    ASSERT_TRUE(m.SetCanvasSize(1200, 900));
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p/a.jpg"), 4000, 3000, 10, 10));
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/p/b.jpg"), 3000, 4000, 300, 40));
    ASSERT_TRUE(m.AddPictureItem(std::vector<std::uint8_t>(16 * 16 * 4, 200), 16, 16)); // stays where it is
    std::get<Photo>(m.ItemAt(1)).angle = 30.0f;
    m.RecordStep();
    const int stepsBefore = m.HistoryIndex();
    std::vector<CanvasItem> before;
    for (int i = 0; i < m.ItemCount(); ++i)
        before.push_back(m.ItemAt(i));

    const std::vector<autolayout::PhotoSource> photos{
        {0, {}, {}}, {1, {}, {}}, {-1, QStringLiteral("/p/c.jpg"), QSize(1920, 1080)}};
    ASSERT_TRUE(autolayout::Apply(m, photos, {autolayout::Mode::Fill, 10, 10}, 1, 1));
    EXPECT_EQ(m.HistoryIndex(), stepsBefore + 1);
    EXPECT_EQ(QSize(m.CanvasWidth(), m.CanvasHeight()), QSize(1200, 1200));
    ASSERT_EQ(m.ItemCount(), 4);
    ClipArt kept = std::get<ClipArt>(before[2]);
    kept.selected = 0; // the layout leaves nothing selected
    EXPECT_EQ(std::get<ClipArt>(m.ItemAt(2)), kept);
    const auto& b = std::get<Photo>(m.ItemAt(1));
    EXPECT_EQ(b.angle, 0.0f);
    EXPECT_NE(b.cropBottom - b.cropTop, 4000); // cropped to its cell
    EXPECT_TRUE(m.Modified());

    m.Undo();
    EXPECT_EQ(QSize(m.CanvasWidth(), m.CanvasHeight()), QSize(1200, 900));
    ASSERT_EQ(m.ItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CanvasItem item = m.ItemAt(i);
        SetSelected(item, IsSelected(before[std::size_t(i)]));
        EXPECT_TRUE(item == before[std::size_t(i)]) << i;
    }
    m.Redo();
    EXPECT_EQ(QSize(m.CanvasWidth(), m.CanvasHeight()), QSize(1200, 1200));
    EXPECT_EQ(m.ItemCount(), 4);
}

TEST(AutoLayout, TheToolMakesAProjectThatRenders)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList pictures;
    const QSize sizes[] = {{400, 300}, {300, 400}, {500, 250}, {240, 240}, {320, 180}};
    for (int i = 0; i < 5; ++i) {
        QImage image(sizes[i], QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 60, 200, 220));
        const QString path = dir.filePath(QStringLiteral("p%1.png").arg(i));
        ASSERT_TRUE(image.save(path));
        pictures << path;
    }
    const QString project = dir.filePath(QStringLiteral("layout.vmz"));
    const ToolRun made = RunTool(QStringList{QStringLiteral("layout"), QStringLiteral("--mode"), QStringLiteral("mosaic"),
                                                QStringLiteral("--spacing"), QStringLiteral("6"), QStringLiteral("--aspect"),
                                                QStringLiteral("16:9"), QStringLiteral("--width"), QStringLiteral("800"), project}
                                    + pictures);
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    CollageModel m;
    ASSERT_TRUE(project::LoadProject(m, project));
    EXPECT_EQ(m.ItemCount(), 5);
    EXPECT_EQ(m.CanvasWidth(), 800);
    EXPECT_EQ(m.CanvasHeight(), 448); // 450 rounded down to a multiple of 4

    const QString out = dir.filePath(QStringLiteral("layout.png"));
    const ToolRun rendered = RunTool({QStringLiteral("render"), project, out});
    ASSERT_EQ(rendered.status, 0) << rendered.err.toStdString();
    const QImage picture(out);
    ASSERT_EQ(picture.size(), QSize(800, 448));
    // The first photo's colour is at its centre.
    const auto& first = std::get<Photo>(m.ItemAt(0));
    const QPoint centre(first.posX + 20, first.posY + 20);
    EXPECT_EQ(picture.pixelColor(centre).hue(), 0);

    EXPECT_EQ(RunTool({QStringLiteral("layout"), QStringLiteral("--mode"), QStringLiteral("spiral"), project}).status, 2);
}
