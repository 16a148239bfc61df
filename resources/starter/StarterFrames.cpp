// The starter photo frames: 640 x 480 pictures, opaque where the frame is, transparent in
// the opening (and outside a shaped outer edge). The stated opening always covers the
// transparent hole, so the photo, drawn into the opening, fills it.

#include "StarterArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <functional>

namespace art {

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

struct Stop {
    double at;
    QColor colour;
};

QColor Mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor Profile(const std::vector<Stop>& stops, double u)
{
    if (u <= stops.front().at)
        return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (u <= stops[i].at)
            return Mix(stops[i - 1].colour, stops[i].colour, (u - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
    }
    return stops.back().colour;
}

QColor Scaled(const QColor& c, double k)
{
    return QColor(std::clamp(int(c.red() * k), 0, 255), std::clamp(int(c.green() * k), 0, 255),
                  std::clamp(int(c.blue() * k), 0, 255), c.alpha());
}

// A moulding of width b around the picture with mitred corners. paintStrip fills a strip
// of the given length and b high whose row 0 is the outer edge.
using StripPainter = std::function<void(QImage& strip, int side)>;

void MitredBorder(QImage& image, int b, const StripPainter& paintStrip)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPolygonF clips[4] = {
        QPolygonF({QPointF(0, 0), QPointF(kW, 0), QPointF(kW - b, b), QPointF(b, b)}),
        QPolygonF({QPointF(kW, 0), QPointF(kW, kH), QPointF(kW - b, kH - b), QPointF(kW - b, b)}),
        QPolygonF({QPointF(0, kH), QPointF(kW, kH), QPointF(kW - b, kH - b), QPointF(b, kH - b)}),
        QPolygonF({QPointF(0, 0), QPointF(b, b), QPointF(b, kH - b), QPointF(0, kH)}),
    };
    const QTransform places[4] = {
        QTransform(),                              // top: as drawn
        QTransform(0, 1, -1, 0, kW, 0),            // right: (x, y) -> (W - y, x)
        QTransform(1, 0, 0, -1, 0, kH),            // bottom: flipped
        QTransform(0, 1, 1, 0, 0, 0),              // left: (x, y) -> (y, x)
    };
    for (int side = 0; side < 4; ++side) {
        const int length = (side % 2 == 0) ? kW : kH;
        QImage strip = Filled(length, b, Qt::black);
        paintStrip(strip, side);
        p.save();
        QPainterPath clip;
        clip.addPolygon(clips[side]);
        clip.closeSubpath();
        p.setClipPath(clip);
        p.setTransform(places[side]);
        p.drawImage(0, 0, strip);
        p.restore();
    }
    // The mitre joints: a faint dark line from each corner inwards.
    p.setPen(QPen(QColor(0, 0, 0, 60), 1.0));
    p.drawLine(QPointF(0, 0), QPointF(b, b));
    p.drawLine(QPointF(kW, 0), QPointF(kW - b, b));
    p.drawLine(QPointF(0, kH), QPointF(b, kH - b));
    p.drawLine(QPointF(kW, kH), QPointF(kW - b, kH - b));
}

// Cuts the hole, then lays a soft shadow of the frame's inner edge over the photo.
void CutHole(QImage& image, const QPainterPath& hole, int shadowAlpha = 90, int shadowBlur = 5)
{
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillPath(hole, Qt::transparent);
    }
    if (shadowAlpha <= 0)
        return;
    QImage shadow = Filled(kW, kH, QColor(0, 0, 0, shadowAlpha));
    {
        QPainter p(&shadow);
        p.setRenderHint(QPainter::Antialiasing);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.translate(2, 3);
        p.fillPath(hole, Qt::transparent);
    }
    shadow = Blur(shadow, shadowBlur);
    QImage inside = Canvas(kW, kH);
    {
        QPainter p(&inside);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(hole, Qt::white);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.drawImage(0, 0, shadow);
    }
    QPainter p(&image);
    p.drawImage(0, 0, inside);
}

QPainterPath RectHole(double left, double top, double right, double bottom, double radius = 0.0)
{
    QPainterPath hole;
    hole.addRoundedRect(QRectF(QPointF(left, top), QPointF(right, bottom)), radius, radius);
    return hole;
}

Frame Make(const char* name, QImage image, double left, double top, double right, double bottom)
{
    return Frame{QString::fromLatin1(name), std::move(image),
                 {float(left / kW), float(top / kH), float(right / kW), float(bottom / kH)}};
}

// Per-pixel wood: long grain lines that wander, rings of darker late wood, fine noise.
void WoodStrip(QImage& strip, int side)
{
    Random random(100 + side);
    const QColor light(170, 108, 58);
    const QColor dark(92, 52, 24);
    const double phase = random.Uniform(0, 6.28);
    const double b = strip.height();
    for (int y = 0; y < strip.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(strip.scanLine(y));
        const double u = y / b;
        // Profile across the moulding: a rounded outer lip, a flat, a step down to the photo.
        double shade = 1.0;
        if (u < 0.18)
            shade = 0.85 + 0.35 * std::sin(u / 0.18 * 3.14159 * 0.5 + 0.4);
        else if (u > 0.8)
            shade = 0.78 - 0.2 * (u - 0.8) / 0.2;
        for (int x = 0; x < strip.width(); ++x) {
            // Straight grain that drifts slowly along the moulding.
            const double t = y * 1.15 + 1.6 * std::sin(x * 0.005 + phase) + 0.7 * std::sin(x * 0.023 + 2 * phase);
            const double grain = std::pow(0.5 + 0.5 * std::sin(t + 0.6 * std::sin(y * 0.37 + phase)), 3.0);
            const double fleck = random.Uniform(-0.05, 0.05);
            QColor c = Mix(light, dark, grain * 0.45 + 0.25 + fleck);
            row[x] = Scaled(c, shade).rgba();
        }
    }
    // A thin gold slip at the inner edge.
    QPainter p(&strip);
    QLinearGradient slip(0, b - 7, 0, b);
    slip.setColorAt(0, QColor(120, 90, 40));
    slip.setColorAt(0.4, QColor(226, 190, 110));
    slip.setColorAt(1, QColor(110, 80, 34));
    p.fillRect(QRectF(0, b - 7, strip.width(), 7), slip);
}

void ProfileStrip(QImage& strip, const std::vector<Stop>& stops, double noise, int seed, bool brushed)
{
    Random random(static_cast<std::uint32_t>(seed));
    const double b = strip.height();
    std::vector<double> rowNoise(static_cast<std::size_t>(strip.height()));
    for (double& n : rowNoise)
        n = random.Uniform(-noise, noise);
    for (int y = 0; y < strip.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(strip.scanLine(y));
        const QColor c = Profile(stops, (y + 0.5) / b);
        for (int x = 0; x < strip.width(); ++x) {
            const double n = brushed ? rowNoise[static_cast<std::size_t>(y)] * 0.6 + random.Uniform(-noise, noise) * 0.4
                                     : random.Uniform(-noise, noise);
            row[x] = Scaled(c, 1.0 + n).rgba();
        }
    }
}

Frame ClassicWood()
{
    const int b = 58;
    QImage image = Canvas(kW, kH);
    MitredBorder(image, b, WoodStrip);
    CutHole(image, RectHole(b, b, kW - b, kH - b));
    return Make("classic-wood", image, b, b, kW - b, kH - b);
}

Frame Gilt()
{
    const int b = 64;
    QImage image = Canvas(kW, kH);
    const std::vector<Stop> gold{{0.0, QColor(96, 66, 22)},   {0.08, QColor(214, 172, 84)}, {0.2, QColor(250, 224, 140)},
                                 {0.32, QColor(170, 120, 44)}, {0.46, QColor(120, 82, 28)},  {0.58, QColor(236, 200, 112)},
                                 {0.7, QColor(190, 140, 56)},  {0.84, QColor(248, 220, 134)}, {0.93, QColor(140, 98, 36)},
                                 {1.0, QColor(70, 48, 18)}};
    MitredBorder(image, b, [&](QImage& strip, int side) {
        ProfileStrip(strip, gold, 0.04, 200 + side, false);
        // A row of beads along the hollow of the moulding.
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing);
        for (double x = 6; x < strip.width(); x += 11) {
            QRadialGradient bead(QPointF(x - 1.2, 0.46 * b - 1.2), 4.6);
            bead.setColorAt(0, QColor(255, 244, 190));
            bead.setColorAt(0.5, QColor(214, 168, 76));
            bead.setColorAt(1, QColor(110, 74, 24));
            p.setBrush(bead);
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(x, 0.46 * b), 4.2, 4.2);
        }
    });
    CutHole(image, RectHole(b, b, kW - b, kH - b), 110);
    return Make("gilt", image, b, b, kW - b, kH - b);
}

Frame WhiteMat()
{
    const int frame = 20;
    const int mat = 64;
    const int b = frame + mat;
    QImage image = Filled(kW, kH, QColor(247, 246, 241));
    MitredBorder(image, frame, [](QImage& strip, int side) {
        ProfileStrip(strip, {{0, QColor(60, 60, 62)}, {0.35, QColor(28, 28, 30)}, {1, QColor(12, 12, 12)}}, 0.03,
                     300 + side, false);
    });
    // The mat's bevelled cut: a light bevel facing the light, shadowed on the far sides.
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF cut(b - 6, b - 6, kW - 2 * b + 12, kH - 2 * b + 12);
    p.fillRect(cut, QColor(232, 226, 210));
    p.setPen(QPen(QColor(255, 255, 255), 1.5));
    p.drawLine(cut.topLeft(), cut.topRight());
    p.drawLine(cut.topLeft(), cut.bottomLeft());
    p.setPen(QPen(QColor(200, 192, 172), 1.5));
    p.drawLine(cut.bottomLeft(), cut.bottomRight());
    p.drawLine(cut.topRight(), cut.bottomRight());
    // A faint shadow of the frame on the mat.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 0, 26 - 4 * i), 1.0));
        p.drawRect(QRectF(frame + i + 0.5, frame + i + 0.5, kW - 2 * (frame + i) - 1, kH - 2 * (frame + i) - 1));
    }
    p.end();
    CutHole(image, RectHole(b, b, kW - b, kH - b), 70, 3);
    return Make("white-mat", image, b, b, kW - b, kH - b);
}

Frame InstantPhoto()
{
    QImage image = Filled(kW, kH, QColor(250, 249, 244));
    Random random(400);
    for (int y = 0; y < kH; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kW; ++x)
            row[x] = Scaled(QColor::fromRgba(row[x]), 1.0 - random.Uniform(0.0, 0.025)).rgba();
    }
    const double side = 34;
    const double top = 34;
    const double bottom = kH - 116;
    {
        QPainter p(&image);
        p.setPen(QPen(QColor(0, 0, 0, 40), 1.0));
        p.drawRect(QRectF(0.5, 0.5, kW - 1, kH - 1));
    }
    CutHole(image, RectHole(side, top, kW - side, bottom), 70, 3);
    return Make("instant-photo", image, side, top, kW - side, bottom);
}

Frame FilmStrip()
{
    const int band = 66;
    const int edge = 14;
    QImage image = Filled(kW, kH, QColor(22, 20, 19));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A warm sheen along the bands.
    QLinearGradient sheen(0, 0, 0, band);
    sheen.setColorAt(0, QColor(60, 44, 30, 90));
    sheen.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 0, kW, band), sheen);
    // Sprocket holes, cut out so whatever is behind the film shows through.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    for (double x = 10; x + 20 < kW; x += 34) {
        p.drawRoundedRect(QRectF(x, 20, 20, 15), 3, 3);
        p.drawRoundedRect(QRectF(x, kH - 35, 20, 15), 3, 3);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(232, 150, 48));
    p.drawText(QPointF(24, band - 10), QStringLiteral("MONTARA 400"));
    p.drawText(QPointF(kW - 110, band - 10), QStringLiteral("MONTARA 400"));
    p.drawText(QPointF(40, kH - band + 20), QStringLiteral("14"));
    p.drawText(QPointF(330, kH - band + 20), QStringLiteral("\u25b6 14A"));
    p.end();
    CutHole(image, RectHole(edge, band, kW - edge, kH - band, 4), 60, 2);
    return Make("film-strip", image, edge, band, kW - edge, kH - band);
}

Frame TornPaper()
{
    QImage image = Filled(kW, kH, QColor(251, 250, 246));
    Random random(600);
    const QPainterPath hole = RoughRectPath(QRectF(54, 54, kW - 108, kH - 108), 7.0, 5.0, random);
    // The torn edge shows the paper's fibres: a grey-white rim just outside the hole.
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(222, 220, 212), 5.0));
        p.drawPath(hole);
        p.setPen(QPen(QColor(238, 236, 230), 2.0));
        p.translate(-1.5, -1.5);
        p.drawPath(hole);
    }
    CutHole(image, hole, 110, 4);
    const QRectF bounds = hole.boundingRect();
    return Make("torn-paper", image, std::floor(bounds.left()), std::floor(bounds.top()), std::ceil(bounds.right()),
                std::ceil(bounds.bottom()));
}

Frame Rounded()
{
    const int b = 46;
    QImage image = Canvas(kW, kH);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, kH);
    fill.setColorAt(0, QColor(84, 178, 186));
    fill.setColorAt(1, QColor(38, 122, 140));
    p.setBrush(fill);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, kW, kH), 60, 60);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 70), 2.0));
    p.drawRoundedRect(QRectF(3, 3, kW - 6, kH - 6), 57, 57);
    p.setPen(QPen(QColor(255, 255, 255), 4.0));
    p.drawRoundedRect(QRectF(b - 4, b - 4, kW - 2 * b + 8, kH - 2 * b + 8), 36, 36);
    p.end();
    CutHole(image, RectHole(b, b, kW - b, kH - b, 32));
    return Make("rounded", image, b, b, kW - b, kH - b);
}

Frame VintageOval()
{
    QImage image = Filled(kW, kH, QColor(216, 198, 160));
    Random random(800);
    for (int y = 0; y < kH; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kW; ++x)
            row[x] = Scaled(QColor::fromRgba(row[x]), 1.0 + random.Uniform(-0.035, 0.035)).rgba();
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Aged edges.
    QRadialGradient age(QPointF(kW / 2.0, kH / 2.0), kW * 0.62);
    age.setColorAt(0.55, QColor(90, 60, 20, 0));
    age.setColorAt(1.0, QColor(90, 60, 20, 110));
    p.fillRect(QRect(0, 0, kW, kH), age);
    const QRectF oval(76, 58, kW - 152, kH - 116);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 112, 50), 3.0));
    p.drawEllipse(oval.adjusted(-12, -12, 12, 12));
    p.setPen(QPen(QColor(196, 160, 92), 1.5));
    p.drawEllipse(oval.adjusted(-18, -18, 18, 18));
    // Corner ornaments: small leaves pointing to the oval.
    for (int corner = 0; corner < 4; ++corner) {
        const QPointF at((corner % 2) ? kW - 52.0 : 52.0, (corner / 2) ? kH - 46.0 : 46.0);
        p.save();
        p.translate(at);
        p.rotate(45 + 90 * ((corner == 1) ? 1 : (corner == 3) ? 2 : (corner == 2) ? 3 : 0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(150, 112, 50));
        for (int i = -1; i <= 1; ++i) {
            p.save();
            p.rotate(i * 38);
            p.drawPath(LeafPath(QRectF(-6, -26, 12, 26)));
            p.restore();
        }
        p.drawEllipse(QPointF(0, 0), 3.5, 3.5);
        p.restore();
    }
    p.end();
    MitredBorder(image, 16, [](QImage& strip, int side) {
        ProfileStrip(strip, {{0, QColor(80, 50, 26)}, {0.3, QColor(140, 96, 56)}, {0.7, QColor(92, 60, 30)}, {1, QColor(52, 32, 14)}},
                     0.05, 810 + side, false);
    });
    QPainterPath hole;
    hole.addEllipse(oval);
    CutHole(image, hole, 90, 4);
    return Make("vintage-oval", image, oval.left(), oval.top(), oval.right(), oval.bottom());
}

Frame BrushedSilver()
{
    const int b = 50;
    QImage image = Canvas(kW, kH);
    const std::vector<Stop> silver{{0, QColor(120, 124, 130)}, {0.12, QColor(236, 238, 242)}, {0.3, QColor(176, 180, 186)},
                                   {0.55, QColor(214, 218, 224)}, {0.8, QColor(150, 154, 160)}, {0.9, QColor(228, 230, 234)},
                                   {1, QColor(96, 100, 106)}};
    MitredBorder(image, b, [&](QImage& strip, int side) { ProfileStrip(strip, silver, 0.05, 900 + side, true); });
    CutHole(image, RectHole(b, b, kW - b, kH - b));
    return Make("brushed-silver", image, b, b, kW - b, kH - b);
}

Frame ModernBlack()
{
    const int b = 30;
    QImage image = Canvas(kW, kH);
    MitredBorder(image, b, [](QImage& strip, int side) {
        ProfileStrip(strip, {{0, QColor(70, 70, 74)}, {0.1, QColor(34, 34, 36)}, {0.85, QColor(16, 16, 17)}, {1, QColor(54, 54, 56)}},
                     0.015, 1000 + side, false);
    });
    QPainter p(&image);
    p.setPen(QPen(QColor(255, 255, 255), 3.0));
    p.drawRect(QRectF(b + 1.5, b + 1.5, kW - 2 * b - 3, kH - 2 * b - 3));
    p.end();
    CutHole(image, RectHole(b + 3, b + 3, kW - b - 3, kH - b - 3), 80, 3);
    return Make("modern-black", image, b + 3, b + 3, kW - b - 3, kH - b - 3);
}

Frame PolkaDots()
{
    const int b = 50;
    QImage image = Canvas(kW, kH);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(238, 98, 140));
    p.drawRoundedRect(QRectF(0, 0, kW, kH), 28, 28);
    p.setBrush(QColor(255, 255, 255, 235));
    for (int row = 0; row * 26 < kH + 26; ++row) {
        for (int col = 0; col * 26 < kW + 26; ++col)
            p.drawEllipse(QPointF(col * 26 + (row % 2) * 13 + 6, row * 26 + 8), 6.5, 6.5);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255), 6.0));
    p.drawRoundedRect(QRectF(b - 5, b - 5, kW - 2 * b + 10, kH - 2 * b + 10), 22, 22);
    p.end();
    CutHole(image, RectHole(b, b, kW - b, kH - b, 18));
    return Make("polka-dots", image, b, b, kW - b, kH - b);
}

Frame Garden()
{
    const int b = 54;
    QImage image = Filled(kW, kH, QColor(214, 234, 190));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Random random(1200);
    const QColor greens[] = {QColor(76, 140, 60), QColor(104, 170, 72), QColor(56, 112, 50), QColor(140, 190, 90)};
    // Leaves along the four sides, turned along the edge, some reaching over the photo.
    for (int i = 0; i < 150; ++i) {
        const int side = random.Int(0, 3);
        const double along = random.Uniform(0, 1);
        const double across = random.Uniform(8, b + 4);
        QPointF at = side == 0 ? QPointF(along * kW, across)
                   : side == 1 ? QPointF(kW - across, along * kH)
                   : side == 2 ? QPointF(along * kW, kH - across)
                               : QPointF(across, along * kH);
        const double size = random.Uniform(16, 30);
        p.save();
        p.translate(at);
        p.rotate(random.Uniform(0, 360));
        p.setPen(Qt::NoPen);
        p.setBrush(greens[random.Int(0, 3)]);
        p.drawPath(LeafPath(QRectF(-size * 0.35, -size, size * 0.7, size)));
        p.setPen(QPen(QColor(40, 80, 30, 120), 1.0));
        p.drawLine(QPointF(0, -size * 0.9), QPointF(0, 0));
        p.restore();
    }
    // A few small flowers among them.
    for (int i = 0; i < 18; ++i) {
        const double t = random.Uniform(0, 1);
        const int side = i % 4;
        const QPointF at = side == 0 ? QPointF(t * kW, 20) : side == 1 ? QPointF(kW - 20, t * kH)
                         : side == 2 ? QPointF(t * kW, kH - 20) : QPointF(20, t * kH);
        p.setPen(Qt::NoPen);
        p.setBrush(i % 3 == 0 ? QColor(255, 255, 255) : QColor(250, 214, 80));
        p.drawPath(FlowerPath(QRectF(at.x() - 9, at.y() - 9, 18, 18), 5, 0.4));
        p.setBrush(QColor(240, 150, 40));
        p.drawEllipse(at, 2.6, 2.6);
    }
    p.end();
    CutHole(image, RectHole(b, b, kW - b, kH - b, 8), 60, 3);
    // Leaves that reach over the photo's edge are drawn again over the hole.
    QImage over = Canvas(kW, kH);
    {
        QPainter q(&over);
        q.setRenderHint(QPainter::Antialiasing);
        Random again(1300);
        for (int i = 0; i < 26; ++i) {
            const int side = i % 4;
            const double along = again.Uniform(0.05, 0.95);
            const QPointF at = side == 0 ? QPointF(along * kW, b + 2) : side == 1 ? QPointF(kW - b - 2, along * kH)
                             : side == 2 ? QPointF(along * kW, kH - b - 2) : QPointF(b + 2, along * kH);
            const double size = again.Uniform(18, 26);
            q.save();
            q.translate(at);
            q.rotate(side * 90 + again.Uniform(-40, 40) + 180);
            q.setPen(Qt::NoPen);
            q.setBrush(greens[again.Int(0, 3)]);
            q.drawPath(LeafPath(QRectF(-size * 0.35, -size, size * 0.7, size)));
            q.restore();
        }
    }
    QPainter p2(&image);
    p2.drawImage(0, 0, over);
    p2.end();
    return Make("garden", image, b - 2, b - 2, kW - b + 2, kH - b + 2);
}

Frame Hearts()
{
    const int b = 52;
    QImage image = Filled(kW, kH, QColor(253, 232, 238));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Random random(1400);
    const QColor reds[] = {QColor(226, 54, 82), QColor(244, 120, 150), QColor(200, 30, 64), QColor(252, 170, 190)};
    for (int i = 0; i < 120; ++i) {
        const int side = random.Int(0, 3);
        const double along = random.Uniform(0, 1);
        const double across = random.Uniform(6, b - 10);
        const QPointF at = side == 0 ? QPointF(along * kW, across) : side == 1 ? QPointF(kW - across, along * kH)
                         : side == 2 ? QPointF(along * kW, kH - across) : QPointF(across, along * kH);
        const double size = random.Uniform(12, 26);
        p.save();
        p.translate(at);
        p.rotate(random.Uniform(-25, 25));
        p.setPen(Qt::NoPen);
        p.setBrush(reds[random.Int(0, 3)]);
        p.drawPath(HeartPath(QRectF(-size / 2, -size / 2, size, size * 0.92)));
        p.restore();
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255), 4.0));
    p.drawRoundedRect(QRectF(b - 4, b - 4, kW - 2 * b + 8, kH - 2 * b + 8), 14, 14);
    p.end();
    CutHole(image, RectHole(b, b, kW - b, kH - b, 12));
    return Make("hearts", image, b, b, kW - b, kH - b);
}

Frame PostageStamp()
{
    const int inset = 46;
    QImage image = Canvas(kW, kH);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, kW, kH), QColor(252, 251, 247));
    // Perforations: half circles bitten out of every edge.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    for (double x = 12; x < kW; x += 24) {
        p.drawEllipse(QPointF(x, 0), 8, 8);
        p.drawEllipse(QPointF(x, kH), 8, 8);
    }
    for (double y = 12; y < kH; y += 24) {
        p.drawEllipse(QPointF(0, y), 8, 8);
        p.drawEllipse(QPointF(kW, y), 8, 8);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(QColor(176, 60, 52), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(inset - 8, inset - 8, kW - 2 * inset + 16, kH - 2 * inset + 16));
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(176, 60, 52));
    p.drawText(QRectF(inset, kH - inset + 6, kW - 2 * inset, 30), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("50"));
    font.setPixelSize(13);
    font.setBold(false);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(font);
    p.drawText(QRectF(inset, kH - inset + 6, kW - 2 * inset, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("MONTARA POST"));
    p.end();
    CutHole(image, RectHole(inset, inset, kW - inset, kH - inset), 60, 2);
    return Make("postage-stamp", image, inset, inset, kW - inset, kH - inset);
}

} // namespace

std::vector<Frame> StarterFrames()
{
    return {ClassicWood(), Gilt(),         WhiteMat(),    InstantPhoto(), FilmStrip(), TornPaper(), Rounded(),
            VintageOval(), BrushedSilver(), ModernBlack(), PolkaDots(),    Garden(),    Hearts(),    PostageStamp()};
}

} // namespace art
