#include "editing/ColourMatrix.h"
#include "editing/Tuning.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

void ExpectNear(const ColourMatrix& a, const ColourMatrix& b, float tolerance)
{
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            EXPECT_NEAR(a.At(i, j), b.At(i, j), tolerance) << "[" << i << "][" << j << "]";
}

void ExpectLastColumnFixed(const ColourMatrix& m)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m.At(i, 4), 0.0f);
    EXPECT_EQ(m.At(4, 4), 1.0f);
}

float Luminance(const std::array<float, 4>& v)
{
    return 0.3086f * v[0] + 0.6094f * v[1] + 0.082f * v[2];
}

QImage Solid(QRgb argb, QSize size = {4, 3})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(argb);
    return image;
}

// A rotation in the colour plane (x, y) as a plain 3 x 3 in double, in the row-vector
// convention: red = (1, 0, 0) turns towards green for a positive angle in plane (1, 0).
using M3 = std::array<std::array<double, 3>, 3>;
M3 Rotation(double degrees, int x, int y)
{
    M3 r{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    const double a = degrees * 3.14159265358979323846 / 180.0;
    r[x][x] = r[y][y] = std::cos(a);
    r[y][x] = std::sin(a);
    r[x][y] = -std::sin(a);
    return r;
}
M3 Times(const M3& a, const M3& b)
{
    M3 p{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                p[i][j] += a[i][k] * b[k][j];
    return p;
}

} // namespace

TEST(ColourMatrixAlgebra, OperationsOrdersAndConventions)
{
    // Prepend acts first on a pixel, append last.
    ColourMatrix m;
    m.Scale(2, 2, 2, 1, MatrixOrder::Prepend);
    m.Translate(0.1f, 0.1f, 0.1f, 0, MatrixOrder::Append);
    auto v = m.TransformVector({0.25f, 0.5f, 0, 1});
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    EXPECT_FLOAT_EQ(v[1], 1.1f);
    EXPECT_FLOAT_EQ(v[3], 1.0f);
    ColourMatrix n;
    n.Scale(2, 2, 2, 1, MatrixOrder::Prepend);
    n.Translate(0.1f, 0.1f, 0.1f, 0, MatrixOrder::Prepend);
    v = n.TransformVector({0.25f, 0.5f, 0, 1});
    EXPECT_FLOAT_EQ(v[0], 0.7f);
    ExpectLastColumnFixed(m);

    // RotateColour(phi, 1, 0): red turns towards green.
    ColourMatrix r;
    r.RotateColour(-36.0f, 1, 0, MatrixOrder::Prepend);
    v = r.TransformVector({1, 0, 0, 1});
    EXPECT_NEAR(v[0], 0.809017f, 1e-6);
    EXPECT_NEAR(v[1], -0.587785f, 1e-6);
    EXPECT_NEAR(v[2], 0.0f, 1e-6);

    // Saturation 0 turns every colour into its luminance grey.
    ColourMatrix grey;
    grey.Saturation(0.0f, MatrixOrder::Append);
    v = grey.TransformVector({1, 0, 0, 1});
    EXPECT_FLOAT_EQ(v[0], 0.3086f);
    EXPECT_FLOAT_EQ(v[1], 0.3086f);
    EXPECT_FLOAT_EQ(v[2], 0.3086f);

    // Shear: axis x gains d1 x axis y1 and d2 x axis y2.
    ColourMatrix s;
    s.ShearColour(2, 0, 0.5f, 1, 0.25f, MatrixOrder::Prepend);
    v = s.TransformVector({0.4f, 0.8f, 0.1f, 1});
    EXPECT_FLOAT_EQ(v[2], 0.1f + 0.2f + 0.2f);
    EXPECT_FLOAT_EQ(v[0], 0.4f);

    // Axes out of range change nothing.
    ColourMatrix untouched;
    untouched.RotateColour(30, 5, 0, MatrixOrder::Prepend);
    untouched.ShearColour(-1, 0, 1, 1, 1, MatrixOrder::Append);
    EXPECT_TRUE(untouched.IsIdentity());
}

TEST(ColourMatrixAlgebra, HueRotatesAboutGreyKeepingLuminance)
{
    for (float phi : {30.0f, 120.0f, -75.0f, 180.0f}) {
        ColourMatrix m;
        m.RotateHue(phi);
        ExpectLastColumnFixed(m);
        // Greys stay grey to within two levels (the 35-degree tilt only approximates the
        // grey axis's 35.26); luminance is kept exactly.
        const auto grey = m.TransformVector({0.5f, 0.5f, 0.5f, 1});
        EXPECT_NEAR(grey[0], 0.5f, 0.008);
        EXPECT_NEAR(grey[1], 0.5f, 0.008);
        EXPECT_NEAR(grey[2], 0.5f, 0.008);
        for (const std::array<float, 4>& colour : {std::array<float, 4>{1, 0, 0, 1}, {0.2f, 0.7f, 0.4f, 1}}) {
            EXPECT_NEAR(Luminance(m.TransformVector(colour)), Luminance(colour), 2e-4) << phi;
        }
        const auto red = m.TransformVector({1, 0, 0, 1});
        EXPECT_GT(std::abs(red[0] - 1.0f), 0.1f) << phi; // the hue did move
    }
    ColourMatrix full;
    full.RotateHue(360.0f);
    ExpectNear(full, ColourMatrix(), 1e-5f);
}

TEST(ItemMatrix, DefaultSlidersGiveIdentityAndGammaOne)
{
    const Tuning t = TuningFromSliders(TuningPositions{}, false);
    EXPECT_EQ(t.tuneOn, 1);
    ExpectNear(ItemColourMatrix(1.0f, t), ColourMatrix(), 1e-6f);
    EXPECT_EQ(ItemGamma(t), 1.0f);
}

TEST(ItemMatrix, HueEndsAgreeAndColorRotatesEachPlane)
{
    TuningPositions low, high;
    low.hue = 0;
    high.hue = 36000;
    const ColourMatrix a = ItemColourMatrix(1.0f, TuningFromSliders(low, false));
    const ColourMatrix b = ItemColourMatrix(1.0f, TuningFromSliders(high, false));
    ExpectNear(a, b, 1e-5f);
    EXPECT_GT(std::abs(a.At(0, 0) - 1.0f), 0.5f); // a half turn of hue, not the identity

    // "Color" at 0: -36 degrees in planes (2, 1), then (0, 2), then (1, 0), as seen from
    // a pixel.
    TuningPositions colour;
    colour.color = 0;
    const Tuning t = TuningFromSliders(colour, false);
    EXPECT_FLOAT_EQ(t.tuneRotation, -36.0f);
    const ColourMatrix m = ItemColourMatrix(1.0f, t);
    const M3 expected = Times(Times(Rotation(-36, 2, 1), Rotation(-36, 0, 2)), Rotation(-36, 1, 0));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(m.At(i, j), expected[i][j], 2e-6) << i << "," << j;
}

TEST(ItemMatrix, ContrastBrightnessOpacityAndReset)
{
    TuningPositions p;
    p.contrast = 20;
    EXPECT_FLOAT_EQ(TuningFromSliders(p, false).tuneScale, 0.2f);

    // Brightness 0: offset -1, every colour black; alpha is kept.
    TuningPositions dark;
    dark.brightness = 0;
    const Tuning black = TuningFromSliders(dark, false);
    EXPECT_FLOAT_EQ(black.tuneOffset, -1.0f);
    const QImage out = TunedImage(Solid(qRgba(255, 255, 255, 200)), ItemColourMatrix(1.0f, black), 1.0f);
    EXPECT_EQ(out.pixel(2, 1), qRgba(0, 0, 0, 200));

    // Contrast scales before the opacity and the offset: 2 x 100 + 0.2 x 255 = 251.
    TuningPositions bright;
    bright.contrast = 200;
    bright.brightness = 120;
    const QImage lit = TunedImage(Solid(qRgba(100, 50, 10, 255)), ItemColourMatrix(0.5f, TuningFromSliders(bright, false)), 1.0f);
    EXPECT_EQ(lit.pixel(0, 0), qRgba(251, 151, 71, 128));

    // Reset: neutral values with tuning off; tuned values left in a record are ignored.
    TuningPositions tuned;
    tuned.hue = 5000;
    tuned.gamma = 300;
    Tuning reset = TuningFromSliders(TuningPositions{}, true);
    EXPECT_EQ(reset.tuneOn, 0);
    reset.tuneHue = 77.0f;
    reset.tuneGamma = 3.0f;
    ColourMatrix opacityOnly;
    opacityOnly.Scale(1, 1, 1, 0.5f, MatrixOrder::Prepend);
    EXPECT_EQ(ItemColourMatrix(0.5f, reset), opacityOnly);
    EXPECT_EQ(ItemGamma(reset), 1.0f);
    EXPECT_NE(ItemColourMatrix(0.5f, TuningFromSliders(tuned, false)), opacityOnly);
}

TEST(ApplyMatrix, MatchesThePerPixelProductOnUnpremultipliedPixels)
{
    // A random picture through a busy matrix: every pixel agrees with the matrix applied
    // to its (red, green, blue, alpha) vector, clamped and rounded.
    QImage picture(67, 13, QImage::Format_ARGB32); // odd width: loop tails too
    std::mt19937 random(7);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, random());
    TuningPositions p;
    p.contrast = 150;
    p.brightness = 90;
    p.saturation = 180;
    p.hue = 25000;
    p.color = 12000;
    const ColourMatrix m = ItemColourMatrix(0.8f, TuningFromSliders(p, false));
    const QImage out = TunedImage(picture, m, 1.0f);
    ASSERT_EQ(out.format(), QImage::Format_ARGB32);
    auto level = [](float v) { return static_cast<int>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    int off = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb in = picture.pixel(x, y);
            const auto v = m.TransformVector({qRed(in) / 255.0f, qGreen(in) / 255.0f, qBlue(in) / 255.0f, qAlpha(in) / 255.0f});
            const QRgb got = out.pixel(x, y);
            off += std::abs(qRed(got) - level(v[0])) > 1 || std::abs(qGreen(got) - level(v[1])) > 1
                || std::abs(qBlue(got) - level(v[2])) > 1 || std::abs(qAlpha(got) - level(v[3])) > 1;
        }
    }
    EXPECT_EQ(off, 0);

    // A premultiplied picture is tuned on its unpremultiplied colours: red 100 at alpha
    // 128 plus an offset of 51 is 151, not (50 + 51) / 0.5.
    TuningPositions plus;
    plus.brightness = 120;
    const QImage half = Solid(qRgba(100, 0, 0, 128)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb tuned = TunedImage(half, ItemColourMatrix(1.0f, TuningFromSliders(plus, false)), 1.0f).pixel(0, 0);
    EXPECT_NEAR(qRed(tuned), 151, 1);
    EXPECT_EQ(qAlpha(tuned), 128);
}

TEST(ApplyMatrix, GammaAfterClampOnColoursOnly)
{
    // Gamma 2 on 128: (128 / 255)^2 x 255 = 64.25; alpha untouched.
    QImage out = TunedImage(Solid(qRgba(128, 255, 0, 77)), ColourMatrix(), 2.0f);
    EXPECT_EQ(out.pixel(1, 1), qRgba(64, 255, 0, 77));
    // Gamma 0.2 lifts the darks: (10 / 255)^0.2 x 255 = 133.4.
    out = TunedImage(Solid(qRgba(10, 10, 10, 255)), ColourMatrix(), 0.2f);
    EXPECT_EQ(qRed(out.pixel(0, 0)), 133);
    // The clamp comes first: an offset beyond white stays white under any gamma.
    ColourMatrix over;
    over.Translate(0.5f, 0.5f, 0.5f, 0, MatrixOrder::Append);
    out = TunedImage(Solid(qRgba(200, 200, 200, 255)), over, 3.0f);
    EXPECT_EQ(out.pixel(0, 0), qRgba(255, 255, 255, 255));
}

TEST(ApplyMatrix, IdentityCostsNothingAndDamagedValuesStaySafe)
{
    // Identity with gamma 1: the result shares the source's pixels (no copy, no pass).
    const QImage source = Solid(qRgba(1, 2, 3, 4), {300, 200});
    const QImage same = TunedImage(source, ColourMatrix(), 1.0f);
    EXPECT_EQ(same.constBits(), source.constBits());
    EXPECT_TRUE(TunedImage(QImage(), ColourMatrix(), 2.0f).isNull());

    // NaN and infinite values from a damaged record give defined pixels.
    Tuning broken;
    broken.tuneOn = 1;
    broken.tuneScale = std::nanf("");
    broken.tuneOffset = INFINITY;
    broken.tuneGamma = std::nanf("");
    const QImage out = TunedImage(Solid(qRgba(9, 9, 9, 255)), ItemColourMatrix(1.0f, broken), ItemGamma(broken));
    EXPECT_FALSE(out.isNull());
    EXPECT_EQ(qRed(out.pixel(0, 0)), 0);

    // Opacity alone draws through the painter: half of red over white.
    QImage target(4, 4, QImage::Format_ARGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    ColourMatrix opacity;
    opacity.Scale(1, 1, 1, 0.5f, MatrixOrder::Prepend);
    DrawTunedImage(painter, QRectF(0, 0, 4, 4), Solid(qRgb(255, 0, 0)), opacity, 1.0f);
    painter.end();
    EXPECT_NEAR(qGreen(target.pixel(1, 1)), 128, 1);
    EXPECT_EQ(qRed(target.pixel(1, 1)), 255);
}

TEST(TuningSliders, PositionsToValues)
{
    TuningPositions top;
    top.contrast = 400;
    top.brightness = 200;
    top.saturation = 300;
    top.hue = 36000;
    top.gamma = 20;
    top.color = 36000;
    const Tuning t = TuningFromSliders(top, false);
    EXPECT_FLOAT_EQ(t.tuneScale, 4.0f);
    EXPECT_FLOAT_EQ(t.tuneOffset, 1.0f);
    EXPECT_FLOAT_EQ(t.tuneSaturation, 3.0f);
    EXPECT_FLOAT_EQ(t.tuneHue, 180.0f);
    EXPECT_FLOAT_EQ(t.tuneGamma, 0.2f);
    EXPECT_FLOAT_EQ(t.tuneRotation, 36.0f);

    // Neutral exactly at the defaults.
    const Tuning n = TuningFromSliders(TuningPositions{}, false);
    EXPECT_EQ(n.tuneScale, 1.0f);
    EXPECT_EQ(n.tuneOffset, 0.0f);
    EXPECT_EQ(n.tuneSaturation, 1.0f);
    EXPECT_EQ(n.tuneHue, 0.0f);
    EXPECT_EQ(n.tuneGamma, 1.0f);
    EXPECT_EQ(n.tuneRotation, 0.0f);

    // Double precision, then float: hue 12345 is float(-56.55), which single-precision
    // arithmetic misses.
    TuningPositions odd;
    odd.hue = 12345;
    EXPECT_EQ(TuningFromSliders(odd, false).tuneHue, static_cast<float>(-56.55));
    EXPECT_NE(static_cast<float>(-56.55), 12345 * 0.01f - 180.0f);

    // Positions beyond a slider's range count as its end.
    TuningPositions wild;
    wild.contrast = 5;
    wild.gamma = 100000;
    EXPECT_FLOAT_EQ(TuningFromSliders(wild, false).tuneScale, 0.2f);
    EXPECT_FLOAT_EQ(TuningFromSliders(wild, false).tuneGamma, 4.0f);

    EXPECT_STREQ(kTuningSliders[kColor].label, "Color");
    EXPECT_EQ(kTuningSliders[kSaturation].id, 10003);
}
