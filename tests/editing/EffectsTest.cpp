#include "editing/Effects.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace {

QImage Picture(int width, int height, const std::function<QRgb(int, int)>& colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colour(x, y));
    return image;
}

QRgb Grey(int v)
{
    return qRgb(v, v, v);
}

// Grey noise around mid-grey, far enough from 0 and 255 that no filter clamps it.
QImage Noisy(int amplitude = 40)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> d(128 - amplitude, 128 + amplitude);
    return Picture(48, 40, [&](int, int) { return Grey(d(random)); });
}

QImage Effect(int id, const QImage& image)
{
    CollagePicture picture = CollagePictureFromImage(image);
    EXPECT_TRUE(ApplyEffect(id, picture)) << id;
    EXPECT_EQ(picture.width, image.width());
    EXPECT_EQ(picture.height, image.height());
    return ImageFromCollagePicture(picture);
}

// Mean squared difference of each inner pixel's green from its 3 x 3 neighbourhood mean.
double LocalVariance(const QImage& image)
{
    double sum = 0;
    int n = 0;
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            double mean = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i)
                    mean += qGreen(image.pixel(x + i, y + j));
            mean /= 9;
            const double d = qGreen(image.pixel(x, y)) - mean;
            sum += d * d;
            ++n;
        }
    }
    return sum / n;
}

double Mean(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qGreen(image.pixel(x, y));
    return sum / (image.width() * image.height());
}

int CountAbove(const QImage& image, int level)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGreen(image.pixel(x, y)) > level;
    return n;
}

} // namespace

TEST(Effects, CollagePictureIsBottomUpBlueGreenRed)
{
    const QImage image = Picture(5, 3, [](int x, int y) { return qRgb(x * 50, y * 100, 7); });
    const CollagePicture picture = CollagePictureFromImage(image);
    ASSERT_EQ(picture.pixels.size(), 5u * 3 * 3);
    // The first row is the picture's bottom row (y = 2), pixels blue, green, red.
    EXPECT_EQ(picture.pixels[0], 7);
    EXPECT_EQ(picture.pixels[1], 200);
    EXPECT_EQ(picture.pixels[2], 0);
    EXPECT_EQ(picture.pixels[3 * 4 + 2], 200); // x = 4: red 200
    EXPECT_EQ(ImageFromCollagePicture(picture), image);
}

TEST(Effects, UnknownIdsAndBadBuffersChangeNothing)
{
    for (int id : {11979, 11983, 11987, 11995, 0, -1})
        EXPECT_FALSE(IsEffectCommand(id)) << id;
    for (int id = 11980; id <= 11994; ++id)
        EXPECT_EQ(IsEffectCommand(id), id != 11983 && id != 11987) << id;

    CollagePicture picture = CollagePictureFromImage(Noisy());
    const CollagePicture before = picture;
    EXPECT_FALSE(ApplyEffect(11983, picture));
    EXPECT_EQ(picture.pixels, before.pixels);
    picture.pixels.pop_back();
    EXPECT_FALSE(ApplyEffect(kEffectBlur, picture));
    CollagePicture empty;
    EXPECT_FALSE(ApplyEffect(kEffectBlur, empty));
    EXPECT_TRUE(ImageFromCollagePicture(picture).isNull());
}

TEST(Effects, SmoothingKernelsLowerLocalVarianceAndKeepFlatAreas)
{
    const QImage noisy = Noisy();
    const double original = LocalVariance(noisy);
    const double blur = LocalVariance(Effect(kEffectBlur, noisy));
    const double soften = LocalVariance(Effect(kEffectSoften, noisy));
    const double gaussian3 = LocalVariance(Effect(kEffectGaussian3, noisy));
    const double gaussian5 = LocalVariance(Effect(kEffectGaussian5, noisy));
    EXPECT_LT(blur, original * 0.3);
    EXPECT_LT(gaussian3, original * 0.5);
    EXPECT_LT(gaussian5, original * 0.3);
    EXPECT_LT(soften, original * 0.8);
    EXPECT_GT(soften, blur); // the heavy centre weight keeps more detail
    EXPECT_NEAR(Mean(Effect(kEffectBlur, noisy)), Mean(noisy), 1.5);

    // Kernels that sum to their divisor leave a flat picture as it is (the 5 x 5 sums to
    // 52, the soften kernel to 16).
    const QImage flat = Picture(16, 16, [](int, int) { return qRgb(200, 100, 50); });
    for (int id : {kEffectBlur, kEffectSoften, kEffectGaussian3, kEffectGaussian5, kEffectSharpen})
        EXPECT_EQ(Effect(id, flat), flat) << id;

    // Rows come back in their order: a picture white on top stays white on top.
    const QImage halves = Picture(16, 16, [](int, int y) { return Grey(y < 8 ? 255 : 0); });
    const QImage blurred = Effect(kEffectBlur, halves);
    EXPECT_EQ(qGreen(blurred.pixel(5, 1)), 255);
    EXPECT_EQ(qGreen(blurred.pixel(5, 14)), 0);
}

TEST(Effects, SharpenRaisesLocalVariance)
{
    const QImage gentle = Noisy(10);
    EXPECT_GT(LocalVariance(Effect(kEffectSharpen, gentle)), LocalVariance(gentle) * 2.0);
}

TEST(Effects, EmbossCentresOn127)
{
    const QImage flat = Picture(12, 12, [](int, int) { return qRgb(30, 200, 90); });
    const QImage embossed = Effect(kEffectEmboss, flat);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(embossed.pixel(x, y), qRgb(127, 127, 127)) << x << "," << y;
    const QImage relief = Effect(kEffectEmboss, Noisy());
    EXPECT_NEAR(Mean(relief), 127.0, 3.0);
    EXPECT_GT(LocalVariance(relief), 10.0);
    // A diagonal edge stands out from the grey.
    const QImage step = Effect(kEffectEmboss, Picture(12, 12, [](int x, int) { return Grey(x < 6 ? 0 : 200); }));
    EXPECT_NE(qGreen(step.pixel(6, 6)), 127);
    EXPECT_EQ(qGreen(step.pixel(2, 6)), 127);
}

TEST(Effects, ErodeDarkensBrightDotsDilateSpreadsThem)
{
    auto dots = [](int x, int y) { return Grey((x % 8 == 3 && y % 8 == 3) ? 255 : 20); };
    const QImage picture = Picture(32, 32, dots);
    ASSERT_EQ(CountAbove(picture, 128), 16);
    const QImage eroded = Effect(kEffectErode, picture);
    EXPECT_EQ(CountAbove(eroded, 128), 0);
    EXPECT_EQ(qGreen(eroded.pixel(3, 3)), 20);
    const QImage dilated = Effect(kEffectDilate, picture);
    EXPECT_EQ(CountAbove(dilated, 128), 16 * 4); // every dot becomes 2 x 2
    EXPECT_EQ(qGreen(dilated.pixel(3, 3)), 255);

    // Dark areas grow under erosion, shrink under dilation.
    const QImage dark = Picture(32, 32, [](int x, int y) { return Grey((x == 10 && y == 10) ? 0 : 230); });
    EXPECT_EQ(32 * 32 - CountAbove(Effect(kEffectErode, dark), 128), 4);
    EXPECT_EQ(32 * 32 - CountAbove(Effect(kEffectDilate, dark), 128), 0);
}

TEST(Effects, MedianEdgeAndContour)
{
    // Median (3) removes isolated specks.
    const QImage specks = Picture(24, 24, [](int x, int y) { return Grey((x * 7 + y * 3) % 11 == 0 ? 255 : 90); });
    const QImage median = Effect(kEffectMedian, specks);
    EXPECT_EQ(CountAbove(median, 128), 0);

    // Edge (2): black where flat, light along a step.
    const QImage step = Picture(16, 16, [](int x, int) { return Grey(x < 8 ? 40 : 220); });
    const QImage edge = Effect(kEffectEdge, step);
    EXPECT_EQ(qGreen(edge.pixel(3, 5)), 0);
    EXPECT_EQ(qGreen(edge.pixel(12, 5)), 0);
    EXPECT_EQ(qGreen(std::max(edge.pixel(7, 5), edge.pixel(8, 5))), 180);

    // Contour: white where flat, a dark line along the step.
    const QImage contour = Effect(kEffectContour, step);
    EXPECT_EQ(contour.pixel(3, 5), qRgb(255, 255, 255));
    EXPECT_EQ(contour.pixel(12, 5), qRgb(255, 255, 255));
    EXPECT_LT(qGreen(contour.pixel(8, 5)), 100);
}

TEST(Effects, NoiseAndJitter)
{
    // Noise (50) on flat grey: spread within +-25, about the same mean.
    const QImage flat = Picture(40, 40, [](int, int) { return Grey(128); });
    const QImage noisy = Effect(kEffectNoise, flat);
    EXPECT_GT(LocalVariance(noisy), 50.0);
    EXPECT_NEAR(Mean(noisy), 128.0, 3.0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const QRgb p = noisy.pixel(x, y);
            ASSERT_LE(std::abs(qGreen(p) - 128), 25);
            ASSERT_EQ(qRed(p), qGreen(p)); // the same amount on every channel
        }

    // Jitter (2): every pixel comes from a place at most 2 away; many have moved.
    const QImage coded = Picture(40, 40, [](int x, int y) { return qRgb(0, y * 6, x * 6); });
    const QImage jittered = Effect(kEffectJitter, coded);
    int moved = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const QRgb p = jittered.pixel(x, y);
            ASSERT_EQ(qBlue(p) % 6, 0);
            ASSERT_EQ(qGreen(p) % 6, 0);
            const int sx = qBlue(p) / 6, sy = qGreen(p) / 6;
            ASSERT_LE(std::abs(sx - x), 2);
            ASSERT_LE(std::abs(sy - y), 2);
            moved += sx != x || sy != y;
        }
    EXPECT_GT(moved, 40 * 40 / 2);
}
