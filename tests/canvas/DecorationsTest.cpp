#include "canvas/Decorations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace decor;

namespace {

QImage Row(const std::vector<QRgb>& pixels, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(static_cast<int>(pixels.size()), 1, QImage::Format_ARGB32);
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, 0, pixels[static_cast<std::size_t>(x)]);
    return image.convertToFormat(format);
}

std::vector<QRgb> Pixels(const QImage& row)
{
    std::vector<QRgb> out;
    for (int x = 0; x < row.width(); ++x)
        out.push_back(row.pixel(x, 0));
    return out;
}

struct ShapeCase {
    const char* what;
    QRgb shape;
    QRgb photo;
    QRgb expected;
};

} // namespace

TEST(Decorations, MaskIndexNamesMaskOrShapeEntry)
{
    EXPECT_EQ(MaskSourceOf(0).kind, MaskKind::None);
    EXPECT_EQ(MaskSourceOf(-7).kind, MaskKind::None);
    const MaskSource first = MaskSourceOf(1);
    EXPECT_EQ(first.kind, MaskKind::PhotoMask);
    EXPECT_EQ(first.entry, 0);
    const MaskSource lastMask = MaskSourceOf(5000);
    EXPECT_EQ(lastMask.kind, MaskKind::PhotoMask);
    EXPECT_EQ(lastMask.entry, 4999);
    const MaskSource firstShape = MaskSourceOf(5001);
    EXPECT_EQ(firstShape.kind, MaskKind::Shape);
    EXPECT_EQ(firstShape.entry, 0);
    EXPECT_EQ(MaskSourceOf(5003).entry, 2);
}

TEST(Decorations, PhotoMaskAlphaIsInverseBlueAndColoursStay)
{
    const QRgb photo = qRgba(10, 20, 30, 77);
    EXPECT_EQ(MaskPixel(photo, qRgba(1, 2, 0, 9)), qRgba(10, 20, 30, 255));
    EXPECT_EQ(MaskPixel(photo, qRgba(0, 0, 1, 255)), qRgba(10, 20, 30, 254));
    EXPECT_EQ(MaskPixel(photo, qRgba(255, 255, 254, 0)), qRgba(10, 20, 30, 1));
    EXPECT_EQ(MaskPixel(photo, qRgba(0, 0, 255, 255)), qRgba(10, 20, 30, 0));

    // Through the picture: a premultiplied display ends as plain ARGB with its colours,
    // a mask of another format is read as ARGB.
    QImage display = Row({qRgb(200, 100, 50), qRgb(1, 2, 3), qRgb(255, 255, 255)},
                         QImage::Format_ARGB32_Premultiplied);
    const QImage mask = Row({qRgb(9, 9, 0), qRgb(9, 9, 128), qRgb(9, 9, 255)}, QImage::Format_RGB32);
    ASSERT_TRUE(ApplyPhotoMask(display, mask));
    EXPECT_EQ(display.format(), QImage::Format_ARGB32);
    EXPECT_EQ(Pixels(display),
              (std::vector<QRgb>{qRgba(200, 100, 50, 255), qRgba(1, 2, 3, 127), qRgba(255, 255, 255, 0)}));
}

TEST(Decorations, ShapePixelRules)
{
    const QRgb photo = qRgb(40, 90, 200);
    // Expected values worked out by hand from the rules; the boundary cases sit one step
    // either side of every comparison, the rounding cases where a floating-point
    // evaluation of the blends falls just short of the exact integer.
    const std::vector<ShapeCase> cases{
        {"alpha 4 hides the photo", qRgba(0, 0, 0, 4), photo, qRgba(40, 90, 200, 0)},
        {"alpha 5, grey: 5 * 192 / 255 = 3", qRgba(100, 100, 100, 5), photo, qRgba(50, 50, 50, 3)},
        {"inner colour even at alpha 5", qRgba(200, 165, 100, 5), photo, qRgba(40, 90, 200, 255)},
        {"inner colour, green 156", qRgba(200, 156, 100, 255), photo, qRgba(40, 90, 200, 255)},
        {"inner colour, green 174", qRgba(200, 174, 100, 255), photo, qRgba(40, 90, 200, 255)},
        {"green 155 is not inner", qRgba(200, 155, 100, 255), photo, qRgba(149, 169, 212, 225)},
        {"green 175 is not inner", qRgba(200, 175, 100, 255), photo, qRgba(149, 169, 212, 225)},
        {"red-blue 11 is inner", qRgba(111, 165, 100, 255), photo, qRgba(40, 90, 200, 255)},
        {"red-blue 10 is not inner", qRgba(110, 165, 100, 255), photo, qRgba(149, 169, 212, 225)},
        {"alpha 150: 150 * 192 / 255 = 112 (not rounded)", qRgba(100, 100, 100, 150), photo,
         qRgba(50, 50, 50, 112)},
        {"alpha 151, grey shading 2 (75 + 100) / 3", qRgba(100, 100, 100, 151), photo, qRgba(116, 116, 116, 80)},
        {"green 29 gives light grey", qRgba(100, 29, 0, 255), photo, qRgba(220, 220, 220, 80)},
        {"green 30 blends", qRgba(100, 30, 0, 255), photo, qRgba(220, 220, 220, 225)},
        {"grey at alpha 220 stays light", qRgba(3, 100, 3, 220), photo, qRgba(220, 220, 220, 80)},
        {"grey at alpha 219, blue 3 gives 52", qRgba(3, 100, 3, 219), photo, qRgba(52, 52, 52, 80)},
        {"grey at alpha 219, blue 84 gives 106", qRgba(84, 100, 84, 219), photo, qRgba(106, 106, 106, 80)},
        {"grey, blue 0 gives 50", qRgba(0, 100, 0, 160), photo, qRgba(50, 50, 50, 80)},
        {"red-blue 5 is still grey", qRgba(8, 100, 3, 219), photo, qRgba(52, 52, 52, 80)},
        {"red-blue 6 blends", qRgba(9, 100, 3, 219), qRgb(0, 255, 100), qRgba(217, 220, 218, 225)},
        {"blend blue 12 over 50, 16, 255", qRgba(32, 100, 12, 255), qRgb(50, 16, 255), qRgba(212, 210, 221, 225)},
        {"blend blue 65 over 16, 67, 118", qRgba(85, 100, 65, 255), qRgb(16, 67, 118), qRgba(168, 181, 194, 225)},
        {"blend blue 255 is the photo", qRgba(0, 100, 255, 200), qRgb(16, 67, 118), qRgba(16, 67, 118, 225)},
    };
    for (const ShapeCase& c : cases)
        EXPECT_EQ(ShapePixel(c.photo, c.shape), c.expected) << c.what;

    // The same through the pictures.
    std::vector<QRgb> shapes, photos, expected;
    for (const ShapeCase& c : cases) {
        shapes.push_back(c.shape);
        photos.push_back(c.photo);
        expected.push_back(c.expected);
    }
    QImage display = Row(photos);
    ASSERT_TRUE(ApplyShape(display, Row(shapes)));
    EXPECT_EQ(Pixels(display), expected);
}

TEST(Decorations, MaskOfAnotherSizeOrNoneLeavesThePhoto)
{
    const QImage original = Row({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    QImage display = original;
    EXPECT_FALSE(ApplyPhotoMask(display, Row({qRgb(0, 0, 0)})));
    EXPECT_FALSE(ApplyShape(display, QImage()));
    EXPECT_FALSE(ApplyMaskPicture(display, MaskKind::None, Row({0u, 0u})));
    EXPECT_EQ(Pixels(display), Pixels(original));
    QImage empty;
    EXPECT_FALSE(ApplyPhotoMask(empty, QImage()));

    ASSERT_TRUE(ApplyMaskPicture(display, MaskKind::Shape, Row({qRgba(0, 0, 0, 0), qRgba(200, 165, 100, 255)})));
    EXPECT_EQ(Pixels(display), (std::vector<QRgb>{qRgba(1, 2, 3, 0), qRgba(4, 5, 6, 255)}));
    ASSERT_TRUE(ApplyMaskPicture(display, MaskKind::PhotoMask, Row({qRgb(0, 0, 55), qRgb(0, 0, 0)})));
    EXPECT_EQ(Pixels(display), (std::vector<QRgb>{qRgba(1, 2, 3, 200), qRgba(4, 5, 6, 255)}));
}

TEST(Decorations, FrameOpeningWidenedByOneHundredthOnEverySide)
{
    // Left and top 0 give negative positions, truncated toward zero (-10.5 -> -10).
    EXPECT_EQ(FrameOpeningRect(1050, 850, 0.0f, 0.0f, 1.0f, 1.0f), QRect(-10, -8, 1071, 867));
    EXPECT_EQ(FrameOpeningRect(1000, 800, 0.25f, 0.5f, 0.75f, 1.0f), QRect(240, 392, 520, 416));
    // The fractions are stored as floats: 0.9f - 0.1f is a little under 0.8, so the
    // widened width 819.99997 truncates to 819.
    EXPECT_EQ(FrameOpeningRect(1000, 1000, 0.1f, 0.1f, 0.9f, 0.9f), QRect(90, 90, 819, 819));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float big = std::numeric_limits<float>::max();
    EXPECT_TRUE(FrameOpeningRect(1000, 1000, nan, 0.1f, 0.9f, 0.9f).isNull());
    // Fractions outside 0..1 are clamped: the photo never leaves the frame's area by more
    // than the widening.
    EXPECT_EQ(FrameOpeningRect(1000, 1000, 0.9f, 0.1f, big, 0.9f), FrameOpeningRect(1000, 1000, 0.9f, 0.1f, 1.0f, 0.9f));
    EXPECT_EQ(FrameOpeningRect(1000, 1000, -big, -0.5f, big, 1.05f), QRect(-10, -10, 1020, 1020));
    EXPECT_TRUE(FrameOpeningRect(std::numeric_limits<int>::max(), 1000, 0.5f, 0.1f, 0.9f, 0.9f).isNull());
}

TEST(Decorations, FrameImageIsTheFrameAtDisplaySize)
{
    QImage uniform(3, 2, QImage::Format_ARGB32);
    uniform.fill(qRgba(200, 100, 50, 128));
    const QImage scaled = BuildFrameImage(uniform, 7, 5);
    ASSERT_EQ(scaled.size(), QSize(7, 5));
    EXPECT_EQ(scaled.format(), QImage::Format_ARGB32_Premultiplied);
    const QImage plain = scaled.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const QRgb p = plain.pixel(x, y);
            EXPECT_EQ(qAlpha(p), 128);
            EXPECT_NEAR(qRed(p), 200, 2);
            EXPECT_NEAR(qGreen(p), 100, 2);
            EXPECT_NEAR(qBlue(p), 50, 2);
        }
    }

    // Halving two black and two white columns keeps black on the left, white on the right.
    const QImage halves = Row({qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 255, 255)});
    const QImage half = BuildFrameImage(halves, 2, 1);
    ASSERT_EQ(half.size(), QSize(2, 1));
    EXPECT_LT(qRed(half.pixel(0, 0)), 64);
    EXPECT_GT(qRed(half.pixel(1, 0)), 191);

    // At its own size the frame is unchanged.
    const QImage same = BuildFrameImage(halves, 4, 1);
    EXPECT_EQ(Pixels(same), Pixels(halves));

    EXPECT_TRUE(BuildFrameImage(QImage(), 4, 4).isNull());
    EXPECT_TRUE(BuildFrameImage(halves, 0, 4).isNull());
    EXPECT_TRUE(BuildFrameImage(halves, 4, -1).isNull());
    EXPECT_TRUE(BuildFrameImage(halves, 20000, 20000).isNull());
}
