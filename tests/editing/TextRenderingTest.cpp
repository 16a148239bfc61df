#include "editing/TextRendering.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <optional>

namespace {

constexpr std::uint32_t kRed = 0x0000FF;   // COLORREF
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kWhite = 0xFFFFFF;

LogFont Font(int height, const char* face = "Liberation Sans")
{
    LogFont f;
    f.lfHeight = height;
    f.SetFaceName(QString::fromUtf8(face));
    return f;
}

QImage Canvas(QSize size, int dotsPerMeter = 3780)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::transparent);
    return image;
}

// One item drawn at the origin of a picture of its box, unpremultiplied for reading.
QImage Render(int style, const QString& text, const LogFont& font, std::uint32_t c1, std::uint32_t c2,
    int alpha = 255, int dotsPerMeter = 3780)
{
    const QSize box = MeasureText(font, text);
    QImage image = Canvas(box, dotsPerMeter);
    QPainter painter(&image);
    DrawStyledText(painter, style, text, font, QRect(QPoint(0, 0), box), c1, c2, alpha);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The columns of the one glyph "I" on a row: first and last pixel of at least `minAlpha`.
std::optional<std::pair<int, int>> Stroke(const QImage& image, int y, int minAlpha = 255)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (qAlpha(image.pixel(x, y)) >= minAlpha) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    if (first < 0)
        return std::nullopt;
    return std::pair{first, last};
}

// Rows with any pixel of at least `minAlpha`, first and last.
std::pair<int, int> InkRows(const QImage& image, int minAlpha = 255)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= minAlpha) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

// Runs of rows with ink (alpha 128 or more), one per line of a text without descenders
// and without a soft copy.
int InkBands(const QImage& image)
{
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = qAlpha(image.pixel(x, y)) >= 128;
        bands += ink && !inBand;
        inBand = ink;
    }
    return bands;
}

int Distance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

QRgb Lerp(QRgb a, QRgb b, double t)
{
    auto mix = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
}

} // namespace

TEST(TextMeasure, PointsAtNinetySixDpiWithPaddingAndLines)
{
    // lfHeight 48 -> (48 x 15) div 20 = 36 points = 48 pixels at 96 dpi.
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans")});
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setPixelSize(48);
    const QFontMetricsF m(f);
    const QSize box = MeasureText(Font(48), QStringLiteral("Text"));
    EXPECT_EQ(box.width(), static_cast<int>(m.horizontalAdvance(QStringLiteral("Text")) + 48.0 / 3));
    EXPECT_EQ(box.height(), static_cast<int>(m.lineSpacing()));

    // 47 -> 705 div 20 = 35 points (46.67 pixels), not 35.25.
    QFont p35(f);
    QImage ref = Canvas({1, 1});
    p35.setPointSizeF(35.0);
    const QFontMetricsF m35(QFont(p35, &ref), &ref);
    EXPECT_EQ(MeasureText(Font(47), QStringLiteral("Text")).height(), static_cast<int>(m35.lineSpacing()));
    EXPECT_NE(MeasureText(Font(47), QStringLiteral("Text")).height(), MeasureText(Font(48), QStringLiteral("Text")).height());

    // Lines: every line break form starts a line; trailing spaces do not widen the box.
    const QSize one = MeasureText(Font(48), QStringLiteral("Ab"));
    EXPECT_EQ(MeasureText(Font(48), QStringLiteral("Ab\nAb")).height(), static_cast<int>(2 * m.lineSpacing()));
    EXPECT_EQ(MeasureText(Font(48), QStringLiteral("Ab\r\nAb\rAb")).height(), static_cast<int>(3 * m.lineSpacing()));
    EXPECT_EQ(MeasureText(Font(48), QStringLiteral("Ab\nA")).width(), one.width());
    EXPECT_EQ(MeasureText(Font(48), QStringLiteral("Ab   ")).width(), one.width());
    EXPECT_EQ(MeasureText(Font(48), QString()), QSize(0, 0));
}

TEST(TextMeasure, FacesFallBackAndHostileHeightsStayBounded)
{
    // An empty face name measures as the application's default font.
    const QSize empty = MeasureText(Font(48, ""), QStringLiteral("Text"));
    LogFont byDefault = Font(48);
    byDefault.SetFaceName(QGuiApplication::font().family());
    EXPECT_EQ(empty, MeasureText(byDefault, QStringLiteral("Text")));
    // A face fontconfig does not know measures (and draws) in its substitute.
    const QSize unknown = MeasureText(Font(48, "No Such Face 4711"), QStringLiteral("Text"));
    EXPECT_GT(unknown.width(), 40);
    const QImage drawn = Render(3, QStringLiteral("Text"), Font(48, "No Such Face 4711"), kRed, kRed);
    EXPECT_GE(InkRows(drawn).first, 0);

    EXPECT_EQ(MeasureText(Font(INT_MAX), QStringLiteral("x")), MeasureText(Font(1024), QStringLiteral("x")));
    EXPECT_EQ(MeasureText(Font(INT_MIN), QStringLiteral("x")), MeasureText(Font(1024), QStringLiteral("x")));
    EXPECT_EQ(MeasureText(Font(-48), QStringLiteral("x")), MeasureText(Font(48), QStringLiteral("x")));
    EXPECT_GT(MeasureText(Font(0), QStringLiteral("x")).height(), 0);
}

TEST(TextDraw, AlphaAndDefaultColours)
{
    EXPECT_EQ(TextAlpha(0.5f), 127);
    EXPECT_EQ(TextAlpha(0.0f), 255);
    EXPECT_EQ(TextAlpha(1.0f), 0);
    EXPECT_EQ(TextAlpha(-3.0f), 255);
    EXPECT_EQ(TextAlpha(std::nanf("")), 255);
    EXPECT_EQ(DefaultStyleColours(4).colour1, 0x000019C6u); // RGB(198, 25, 0)
    EXPECT_EQ(DefaultStyleColours(4).colour2, 0x0000FFFFu); // RGB(255, 255, 0)
    EXPECT_EQ(DefaultStyleColours(42).colour1, DefaultStyleColours(0).colour1);

    // Transparency 0.5 reaches the pixels: the inside of a hatched glyph has alpha 127.
    const QImage half = Render(3, QStringLiteral("I"), Font(120), kRed, kRed, TextAlpha(0.5f));
    const int y = half.height() / 2;
    int maxAlpha = 0;
    for (int x = 0; x < half.width(); ++x)
        maxAlpha = std::max(maxAlpha, qAlpha(half.pixel(x, y)));
    EXPECT_EQ(maxAlpha, 127);
}

TEST(TextDraw, PathPresetsUseBoldEmOf43)
{
    // lfHeight 48: the path is bold at em 43. The cap height of "H" tells the size.
    const QImage image = Render(3, QStringLiteral("H"), Font(48), kBlue, kBlue);
    const auto [top, bottom] = InkRows(image, 128);
    QFont bold;
    bold.setFamilies({QStringLiteral("Liberation Sans")});
    bold.setWeight(QFont::Bold);
    bold.setHintingPreference(QFont::PreferNoHinting);
    bold.setPixelSize(43);
    QPainterPath h;
    h.addText(0, 0, bold, QStringLiteral("H"));
    EXPECT_NEAR(bottom - top + 1, h.boundingRect().height(), 1.5);
    bold.setPixelSize(48);
    QPainterPath h48;
    h48.addText(0, 0, bold, QStringLiteral("H"));
    EXPECT_GT(h48.boundingRect().height() - (bottom - top + 1), 2.0);
}

TEST(TextDraw, SameBoxAndPixelsWhateverTheDeviceResolution)
{
    for (int style : {0, 4}) {
        const QImage at96 = Render(style, QStringLiteral("Dpi"), Font(48), kRed, kBlue, 255, 3780);
        const QImage at192 = Render(style, QStringLiteral("Dpi"), Font(48), kRed, kBlue, 255, 7559);
        ASSERT_EQ(at96.size(), at192.size());
        int differing = 0;
        for (int y = 0; y < at96.height(); ++y)
            for (int x = 0; x < at96.width(); ++x)
                differing += Distance(at96.pixel(x, y), at192.pixel(x, y)) > 3
                    || std::abs(qAlpha(at96.pixel(x, y)) - qAlpha(at192.pixel(x, y))) > 1;
        EXPECT_EQ(differing, 0) << "style " << style;
    }
}

TEST(TextDraw, StyleOutsideRangeDrawsBrownToCreamGradient)
{
    for (int style : {8, -1, INT_MAX}) {
        const QImage image = Render(style, QStringLiteral("I"), Font(120), kRed, kGreen, 127);
        const int height = image.height();
        const auto [top, bottom] = InkRows(image);
        ASSERT_GE(top, 0);
        const auto stroke = Stroke(image, (top + bottom) / 2);
        ASSERT_TRUE(stroke);
        const int x = (stroke->first + stroke->second) / 2;
        // The fixed colours are opaque whatever the alpha; the gradient runs over the box.
        for (int y : {top, bottom}) {
            const QRgb pixel = image.pixel(x, y);
            EXPECT_EQ(qAlpha(pixel), 255);
            const QRgb expected = Lerp(qRgb(0xD2, 0x69, 0x1E), qRgb(0xFA, 0xEB, 0xD7), (y + 0.5) / height);
            EXPECT_LE(Distance(pixel, expected), 12) << "style " << style << " y " << y;
        }
        EXPECT_LT(qGreen(image.pixel(x, top)) + 60, qGreen(image.pixel(x, bottom)));
        // No soft copy: nothing beside the stroke.
        EXPECT_EQ(qAlpha(image.pixel(stroke->first - 4, (top + bottom) / 2)), 0);
    }
}

TEST(TextDraw, StringPresetsGradientAndSoftCopy)
{
    // Style 0: colour 1 at the top to colour 2 at the bottom; soft copy in colour 2.
    const QImage s0 = Render(0, QStringLiteral("I"), Font(200), kRed, kBlue);
    auto [top, bottom] = InkRows(s0);
    ASSERT_GE(top, 0);
    auto mid = (top + bottom) / 2;
    auto stroke = Stroke(s0, mid);
    ASSERT_TRUE(stroke);
    int x = (stroke->first + stroke->second) / 2;
    EXPECT_GT(qRed(s0.pixel(x, top)), qBlue(s0.pixel(x, top)));
    EXPECT_GT(qBlue(s0.pixel(x, bottom)), qRed(s0.pixel(x, bottom)));
    const QRgb glow0 = s0.pixel(stroke->first - 3, mid);
    EXPECT_GT(qAlpha(glow0), 0);
    EXPECT_GT(qBlue(glow0), 200);
    EXPECT_LT(qRed(glow0), 40);

    // Style 1: colour 2 at 60 % of the height, colour 1 above and below; glow in colour 1.
    const QImage s1 = Render(1, QStringLiteral("I"), Font(200), kRed, kBlue);
    std::tie(top, bottom) = InkRows(s1);
    mid = (top + bottom) / 2;
    stroke = Stroke(s1, mid);
    ASSERT_TRUE(stroke);
    x = (stroke->first + stroke->second) / 2;
    const int at60 = static_cast<int>(s1.height() * 0.6);
    ASSERT_LT(at60, bottom);
    EXPECT_GT(qBlue(s1.pixel(x, at60)), 240);
    EXPECT_GT(qRed(s1.pixel(x, top)), qRed(s1.pixel(x, at60)) + 60);
    EXPECT_GT(qRed(s1.pixel(x, bottom)), qRed(s1.pixel(x, at60)) + 30);
    const QRgb glow1 = s1.pixel(stroke->first - 3, mid);
    EXPECT_GT(qAlpha(glow1), 0);
    EXPECT_GT(qRed(glow1), 200);
    EXPECT_LT(qBlue(glow1), 40);
}

namespace {

// Every pixel well inside a hatched glyph takes the pattern's colour for its device
// position: foreground (colour 2) where `set` says so, else background (colour 1).
void ExpectHatch(const QImage& image, QPoint offset, const std::function<bool(int, int)>& set, QRgb fore, QRgb back)
{
    int inside = 0, foreground = 0;
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            bool solid = true;
            for (int dy = -4; dy <= 4 && solid; ++dy)
                for (int dx = -4; dx <= 4 && solid; ++dx)
                    solid = x + dx >= 0 && y + dy >= 0 && x + dx < image.width() && y + dy < image.height()
                        && qAlpha(image.pixel(x + dx, y + dy)) == 255;
            if (!solid)
                continue;
            ++inside;
            const bool isFore = set((x + offset.x()) % 8, (y + offset.y()) % 8);
            foreground += isFore;
            ASSERT_EQ(image.pixel(x, y), isFore ? fore : back) << x << "," << y;
        }
    }
    EXPECT_GT(inside, 200);
    EXPECT_GT(foreground, 0);
}

} // namespace

TEST(TextDraw, HatchPresetsOnTheDeviceGrid)
{
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    auto dotted = [](int x, int y) { return (y == 0 && x % 2 == 0) || (x == 0 && y % 2 == 0); };
    auto five = [](int x, int y) { return (x == 0 && y == 0) || (x == 5 && y == 3) || (x == 2 && y == 6); };
    auto weave = [](int x, int y) {
        return ((x / 4 + y / 4) % 2 == 0) ? (x - y + 8) % 4 == 0 : (x + y) % 4 == 3;
    };

    // Style 2: dotted grid, colour 2 on colour 1, and the grey outline at the edge.
    const QImage s2 = Render(2, QStringLiteral("I"), Font(200), kRed, kBlue);
    ExpectHatch(s2, {0, 0}, dotted, blue, red);
    const int mid = s2.height() / 2;
    const auto stroke = Stroke(s2, mid, 60);
    ASSERT_TRUE(stroke);
    EXPECT_LE(Distance(s2.pixel(stroke->first, mid), qRgb(0xA8, 0xA8, 0xA8)), 9);
    EXPECT_LE(Distance(s2.pixel(stroke->second, mid), qRgb(0xA8, 0xA8, 0xA8)), 9);

    // Style 3: 5 percent, also when the item is moved and scaled: the pattern stays on
    // the device's pixel grid.
    ExpectHatch(Render(3, QStringLiteral("I"), Font(200), kRed, kBlue), {0, 0}, five, blue, red);
    {
        const QSize box = MeasureText(Font(200), QStringLiteral("I"));
        QImage moved = Canvas(box * 1.5 + QSize(3, 5));
        QPainter painter(&moved);
        painter.translate(3, 5);
        painter.scale(1.5, 1.5);
        DrawStyledText(painter, 3, QStringLiteral("I"), Font(200), QRect(QPoint(0, 0), box), kRed, kBlue, 255);
        painter.end();
        ExpectHatch(moved.convertToFormat(QImage::Format_ARGB32), {0, 0}, five, blue, red);
    }

    // Style 5: weave inside the outline, with the 2-pixel outline in colour 1.
    const QImage s5 = Render(5, QStringLiteral("I"), Font(200), kRed, kBlue);
    ExpectHatch(s5, {0, 0}, weave, blue, red);
    const auto edge = Stroke(s5, mid, 250);
    ASSERT_TRUE(edge);
    EXPECT_EQ(s5.pixel(edge->first, mid), red);
}

TEST(TextDraw, OutlinePresets)
{
    // Style 4: gradient inside, glow in colour 1, and an outline whose colour follows
    // the direction of each segment: the two sides of the stem differ.
    const QImage s4 = Render(4, QStringLiteral("I"), Font(200), kRed, kBlue);
    const auto [top, bottom] = InkRows(s4, 250);
    ASSERT_GE(top, 0);
    const int mid = (top + bottom) / 2;
    const auto stroke = Stroke(s4, mid, 250);
    ASSERT_TRUE(stroke);
    const int centre = (stroke->first + stroke->second) / 2;
    EXPECT_GT(qRed(s4.pixel(centre, top + 3)), qBlue(s4.pixel(centre, top + 3)));
    EXPECT_GT(qBlue(s4.pixel(centre, bottom - 3)), qRed(s4.pixel(centre, bottom - 3)));
    const QRgb inner = s4.pixel(centre, mid);
    const int leftBias = qRed(s4.pixel(stroke->first, mid)) - qBlue(s4.pixel(stroke->first, mid));
    const int rightBias = qRed(s4.pixel(stroke->second, mid)) - qBlue(s4.pixel(stroke->second, mid));
    const int innerBias = qRed(inner) - qBlue(inner);
    EXPECT_TRUE((leftBias > innerBias + 20 && rightBias < innerBias - 20)
        || (rightBias > innerBias + 20 && leftBias < innerBias - 20))
        << leftBias << " " << innerBias << " " << rightBias;
    const QRgb glow4 = s4.pixel(stroke->first - 4, mid);
    EXPECT_GT(qAlpha(glow4), 0);
    EXPECT_GT(qRed(glow4), 200);

    // Style 6: solid colour 2, a 2-pixel outline of colour 1, glow of colour 2 outside.
    const QImage s6 = Render(6, QStringLiteral("I"), Font(200), kWhite, kBlue);
    const auto s6stroke = Stroke(s6, mid, 250);
    ASSERT_TRUE(s6stroke);
    EXPECT_EQ(s6.pixel((s6stroke->first + s6stroke->second) / 2, mid), qRgb(0, 0, 255));
    bool whiteEdge = false;
    for (int x = s6stroke->first; x < s6stroke->first + 4; ++x)
        whiteEdge = whiteEdge || s6.pixel(x, mid) == qRgb(255, 255, 255);
    EXPECT_TRUE(whiteEdge);
    const QRgb glow6 = s6.pixel(s6stroke->first - 5, mid);
    EXPECT_GT(qAlpha(glow6), 0);
    EXPECT_GT(qBlue(glow6), 200);
    EXPECT_LT(qRed(glow6), 60);

    // Style 7: only the soft copy: colour 1 inside with a colour 2 rim, and soft edges
    // (alpha ramps over several pixels instead of jumping).
    const QImage s7 = Render(7, QStringLiteral("I"), Font(200), kBlue, kRed);
    const auto solid = Stroke(s7, mid, 250);
    const auto faint = Stroke(s7, mid, 10);
    ASSERT_TRUE(solid && faint);
    EXPECT_GE(solid->first - faint->first, 2);
    const QRgb core = s7.pixel((solid->first + solid->second) / 2, mid);
    EXPECT_GT(qBlue(core), 200);
    EXPECT_LT(qRed(core), 60);
    int reddest = 0;
    for (int x = faint->first; x < solid->first + 4; ++x)
        reddest = std::max(reddest, qRed(s7.pixel(x, mid)) - qBlue(s7.pixel(x, mid)));
    EXPECT_GT(reddest, 100);
}

TEST(TextDraw, MultiLineAndLongTexts)
{
    // Both drawings lay out line by line.
    for (int style : {0, 3, 9}) {
        EXPECT_EQ(InkBands(Render(style, QStringLiteral("I\nI"), Font(48), kRed, kBlue)), 2) << style;
        EXPECT_EQ(InkBands(Render(style, QStringLiteral("I\r\nI\rI"), Font(48), kRed, kBlue)), 3) << style;
    }

    // The longest text a record holds is drawn whole: its last line has ink.
    QString text;
    while (text.size() + 37 <= 996)
        text += QString(36, QLatin1Char('m')) + QLatin1Char('\n');
    text += QString(999 - text.size(), QLatin1Char('W'));
    ASSERT_EQ(text.size(), 999);
    const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
    EXPECT_EQ(InkBands(Render(3, text, Font(24), kRed, kBlue)), lines);
    EXPECT_EQ(InkBands(Render(9, text, Font(24), kRed, kBlue)), lines);
}

TEST(TextDraw, NothingForEmptyTextOrAnInactivePainter)
{
    QImage image = Canvas({50, 50});
    QPainter painter(&image);
    DrawStyledText(painter, 0, QString(), Font(48), QRect(0, 0, 50, 50), kRed, kBlue, 255);
    painter.end();
    EXPECT_EQ(InkRows(image.convertToFormat(QImage::Format_ARGB32), 1).first, -1);
    QPainter inactive;
    DrawStyledText(inactive, 0, QStringLiteral("x"), Font(48), QRect(0, 0, 50, 50), kRed, kBlue, 255);

    // An item far off the picture draws nothing; a hugely enlarged one draws the part
    // that shows (its soft copy is made for that part only).
    QImage view = Canvas({64, 64});
    QPainter p(&view);
    p.translate(-100000, 0);
    DrawStyledText(p, 4, QStringLiteral("far away"), Font(48), QRect(0, 0, 200, 60), kRed, kBlue, 255);
    p.end();
    EXPECT_EQ(InkRows(view.convertToFormat(QImage::Format_ARGB32), 1).first, -1);

    p.begin(&view);
    // Item point (240, 600), inside the stem of the "h" at em 921, at the view's centre.
    p.translate(32 - 240 * 200, 32 - 600 * 200);
    p.scale(200, 200);
    DrawStyledText(p, 7, QStringLiteral("huge"), Font(1024), QRect(0, 0, 2000, 1200), kBlue, kRed, 255);
    p.end();
    const QRgb centre = view.convertToFormat(QImage::Format_ARGB32).pixel(32, 32);
    EXPECT_GT(qAlpha(centre), 200);
    EXPECT_GT(qBlue(centre), 200);
}
