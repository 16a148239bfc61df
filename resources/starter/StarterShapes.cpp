// The starter photo masks, shapes and brushes.
//
// Masks: the photo's alpha becomes 255 minus the mask's blue, so black shows the photo,
// white hides it and greys fade it. Shapes: the inner colour (255, 165, 0) shows the
// photo; the border (255, 255, 0) becomes a light rim over it; the soft shadow (alpha at
// most 150) becomes a dark shadow. Brushes: only the alpha counts when stamping (the stamp
// takes the chosen colour); their own colours are what the brush panel shows.

#include "StarterArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <cmath>
#include <functional>
#include <numbers>

namespace art {

namespace {

constexpr int kMaskW = 480;
constexpr int kMaskH = 360;

// Draws the black parts with draw, softens them by blur pixels and lays them on white.
Named Mask(const char* name, int blur, const std::function<void(QPainter&)>& draw)
{
    QImage shape = Canvas(kMaskW, kMaskH);
    {
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        draw(p);
    }
    shape = Blur(shape, blur);
    QImage mask = Filled(kMaskW, kMaskH, Qt::white);
    QPainter p(&mask);
    p.drawImage(0, 0, shape);
    p.end();
    return {QString::fromLatin1(name), mask};
}

QRectF Centred(double width, double height)
{
    return QRectF((kMaskW - width) / 2.0, (kMaskH - height) / 2.0, width, height);
}

// Brush-stroke edges: overlapping dry strokes whose bristles fray at both ends.
void BrushStrokes(QPainter& p)
{
    Random random(2100);
    for (double y = 58; y <= kMaskH - 58; y += 16) {
        const double x0 = 52 + random.Uniform(-16, 22);
        const double x1 = kMaskW - 52 + random.Uniform(-22, 16);
        const double width = random.Uniform(20, 28);
        QPainterPath stroke;
        stroke.moveTo(x0, y + random.Uniform(-3, 3));
        stroke.cubicTo(x0 + (x1 - x0) * 0.33, y + random.Uniform(-6, 6), x0 + (x1 - x0) * 0.66, y + random.Uniform(-6, 6),
                       x1, y + random.Uniform(-3, 3));
        p.strokePath(stroke, QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
        // Bristles running out past both ends.
        for (int i = 0; i < 14; ++i) {
            const double by = y + random.Uniform(-width / 2, width / 2);
            const double left = random.Uniform(6, 34);
            const double right = random.Uniform(6, 34);
            const QPen bristle(Qt::black, random.Uniform(1.2, 3.2), Qt::SolidLine, Qt::RoundCap);
            p.setPen(bristle);
            p.drawLine(QPointF(x0 + 2, by), QPointF(x0 - left, by + random.Uniform(-2, 2)));
            p.drawLine(QPointF(x1 - 2, by), QPointF(x1 + right, by + random.Uniform(-2, 2)));
            p.setPen(Qt::NoPen);
        }
    }
}

// A solid middle that breaks up into spray towards the edges.
void Spatter(QPainter& p)
{
    Random random(2200);
    p.drawRoundedRect(QRectF(84, 74, kMaskW - 168, kMaskH - 148), 18, 18);
    for (int i = 0; i < 2600; ++i) {
        const double x = random.Uniform(20, kMaskW - 20);
        const double y = random.Uniform(20, kMaskH - 20);
        const double dx = std::max(0.0, std::max(84 - x, x - (kMaskW - 84)));
        const double dy = std::max(0.0, std::max(74 - y, y - (kMaskH - 74)));
        const double d = std::hypot(dx, dy);
        if (random.Uniform(0, 1) > std::exp(-d / 22.0))
            continue;
        p.drawEllipse(QPointF(x, y), random.Uniform(1.0, 4.5), random.Uniform(1.0, 4.5));
    }
}

constexpr QColor kInner(255, 165, 0);
constexpr QColor kRim(255, 255, 0);

// A shape picture: shadow, rim and inner colour of one outline. The outline is given in
// a box that leaves room for the rim and the shadow.
Named Shape(const char* name, int width, int height, const QPainterPath& outline)
{
    constexpr double kRimWidth = 12.0;
    QImage shadow = Canvas(width, height);
    {
        QPainter p(&shadow);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(5, 7);
        p.fillPath(outline, QColor(0, 0, 0, 140));
        p.strokePath(outline, QPen(QColor(0, 0, 0, 140), kRimWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    shadow = Blur(shadow, 4);
    QImage picture = Canvas(width, height);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(0, 0, shadow);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillPath(outline, kInner);
    p.strokePath(outline, QPen(kRim, kRimWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.end();
    return {QString::fromLatin1(name), picture};
}

QRectF ShapeBox(int width, int height)
{
    return QRectF(12, 12, width - 30, height - 32);
}

// A brush picture: the outline filled with a colour (or a custom drawing), soft edges.
Named Brush(const char* name, int size, const std::function<void(QPainter&, const QRectF&)>& draw)
{
    QImage picture = Canvas(size, size);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    draw(p, QRectF(3, 3, size - 6, size - 6));
    p.end();
    return {QString::fromLatin1(name), picture};
}

std::function<void(QPainter&, const QRectF&)> Fill(QPainterPath (*outline)(const QRectF&), QColor colour)
{
    return [outline, colour](QPainter& p, const QRectF& box) { p.fillPath(outline(box), colour); };
}

void Snowflake(QPainter& p, const QRectF& box)
{
    const QPointF c = box.center();
    const double r = box.width() / 2 - 2;
    p.setPen(QPen(QColor(70, 140, 210), box.width() / 16, Qt::SolidLine, Qt::RoundCap));
    for (int arm = 0; arm < 6; ++arm) {
        p.save();
        p.translate(c);
        p.rotate(arm * 60);
        p.drawLine(QPointF(0, 0), QPointF(0, -r));
        for (double t : {0.45, 0.72}) {
            const double len = r * (t < 0.5 ? 0.3 : 0.22);
            p.drawLine(QPointF(0, -r * t), QPointF(len * 0.8, -r * t - len * 0.7));
            p.drawLine(QPointF(0, -r * t), QPointF(-len * 0.8, -r * t - len * 0.7));
        }
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 140, 210));
    p.drawEllipse(c, r * 0.12, r * 0.12);
}

void SoftDot(QPainter& p, const QRectF& box)
{
    QRadialGradient g(box.center(), box.width() / 2);
    g.setColorAt(0, QColor(40, 110, 220, 255));
    g.setColorAt(0.5, QColor(40, 110, 220, 200));
    g.setColorAt(1, QColor(40, 110, 220, 0));
    p.setBrush(g);
    p.drawEllipse(box);
}

void Bubble(QPainter& p, const QRectF& box)
{
    QRadialGradient g(box.center(), box.width() / 2);
    g.setColorAt(0, QColor(60, 180, 220, 40));
    g.setColorAt(0.8, QColor(60, 180, 220, 90));
    g.setColorAt(0.94, QColor(40, 150, 200, 255));
    g.setColorAt(1, QColor(40, 150, 200, 0));
    p.setBrush(g);
    p.drawEllipse(box);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QRectF(box.left() + box.width() * 0.24, box.top() + box.height() * 0.2, box.width() * 0.2,
                         box.height() * 0.13));
}

void Confetti(QPainter& p, const QRectF& box)
{
    Random random(2300);
    const QColor colours[] = {QColor(240, 80, 90), QColor(250, 190, 40), QColor(60, 170, 230), QColor(110, 200, 90),
                              QColor(170, 90, 220)};
    for (int i = 0; i < 22; ++i) {
        p.save();
        p.translate(box.left() + random.Uniform(8, box.width() - 8), box.top() + random.Uniform(8, box.height() - 8));
        p.rotate(random.Uniform(0, 180));
        p.setBrush(colours[i % 5]);
        if (i % 3 == 0)
            p.drawEllipse(QPointF(0, 0), 3.5, 3.5);
        else
            p.drawRect(QRectF(-5, -2, 10, 4.5));
        p.restore();
    }
}

void Grass(QPainter& p, const QRectF& box)
{
    Random random(2400);
    for (int i = 0; i < 11; ++i) {
        const double x = box.left() + box.width() * (0.1 + 0.8 * i / 10.0) + random.Uniform(-3, 3);
        const double h = box.height() * random.Uniform(0.55, 0.95);
        const double lean = random.Uniform(-0.25, 0.25) * box.width();
        QPainterPath blade;
        blade.moveTo(x - 4, box.bottom());
        blade.quadTo(x - 2 + lean * 0.3, box.bottom() - h * 0.6, x + lean, box.bottom() - h);
        blade.quadTo(x + 2 + lean * 0.3, box.bottom() - h * 0.6, x + 4, box.bottom());
        blade.closeSubpath();
        p.fillPath(blade, i % 2 ? QColor(70, 150, 60) : QColor(100, 180, 70));
    }
}

void SoftCloud(QPainter& p, const QRectF& box)
{
    QImage soft = Canvas(int(box.right() + 3), int(box.bottom() + 3));
    {
        QPainter q(&soft);
        q.setRenderHint(QPainter::Antialiasing);
        q.fillPath(CloudPath(box.adjusted(6, 16, -6, -10)), QColor(120, 150, 190));
    }
    p.drawImage(0, 0, Blur(soft, 3));
}

} // namespace

std::vector<Named> StarterMasks()
{
    return {
        Mask("soft-oval-vignette", 0,
             [](QPainter& p) {
                 p.scale(1.0, double(kMaskH) / kMaskW);
                 QRadialGradient g(QPointF(kMaskW / 2.0, kMaskW / 2.0), kMaskW / 2.0);
                 g.setColorAt(0, Qt::black);
                 g.setColorAt(0.62, Qt::black);
                 g.setColorAt(1, QColor(0, 0, 0, 0));
                 p.setBrush(g);
                 p.drawRect(QRectF(0, 0, kMaskW, kMaskW));
             }),
        Mask("feathered-rectangle", 14, [](QPainter& p) { p.drawRect(Centred(kMaskW - 96, kMaskH - 96)); }),
        Mask("heart", 3, [](QPainter& p) { p.drawPath(HeartPath(Centred(300, 290))); }),
        Mask("star", 2, [](QPainter& p) { p.drawPath(StarPath(Centred(320, 320), 5, 0.46)); }),
        Mask("brush-stroke-edge", 1, BrushStrokes),
        Mask("circle", 1, [](QPainter& p) { p.drawEllipse(Centred(320, 320)); }),
        Mask("soft-rounded-rectangle", 5,
             [](QPainter& p) { p.drawRoundedRect(Centred(kMaskW - 80, kMaskH - 80), 56, 56); }),
        Mask("cloud", 4, [](QPainter& p) { p.drawPath(CloudPath(Centred(420, 300))); }),
        Mask("spatter-edge", 1, Spatter),
        Mask("fade-to-right", 0,
             [](QPainter& p) {
                 QLinearGradient g(0, 0, kMaskW, 0);
                 g.setColorAt(0.35, Qt::black);
                 g.setColorAt(0.95, QColor(0, 0, 0, 0));
                 p.setBrush(g);
                 p.drawRect(QRectF(0, 0, kMaskW, kMaskH));
             }),
        Mask("hexagon", 1, [](QPainter& p) { p.drawPath(PolygonPath(Centred(330, 330), 6, 30)); }),
        Mask("diamond", 1, [](QPainter& p) { p.drawPath(PolygonPath(Centred(340, 330), 4, 0)); }),
    };
}

std::vector<Named> StarterShapes()
{
    const auto square = [](QPainterPath (*outline)(const QRectF&), const char* name) {
        return Shape(name, 320, 320, outline(ShapeBox(320, 320)));
    };
    return {
        square(HeartPath, "heart"),
        Shape("star", 320, 320, StarPath(ShapeBox(320, 320), 5, 0.48)),
        Shape("circle", 320, 320,
              [] {
                  QPainterPath p;
                  p.addEllipse(ShapeBox(320, 320));
                  return p;
              }()),
        Shape("hexagon", 320, 300, PolygonPath(ShapeBox(320, 300), 6, 30)),
        Shape("cloud", 360, 260, CloudPath(ShapeBox(360, 260))),
        Shape("speech-bubble", 360, 300, SpeechBubblePath(ShapeBox(360, 300))),
        Shape("rounded-square", 320, 320,
              [] {
                  QPainterPath p;
                  p.addRoundedRect(ShapeBox(320, 320), 48, 48);
                  return p;
              }()),
        Shape("diamond", 300, 340, PolygonPath(ShapeBox(300, 340), 4, 0)),
        Shape("flower", 320, 320, FlowerPath(ShapeBox(320, 320), 6, 0.55)),
        Shape("crescent-moon", 300, 320, CrescentPath(ShapeBox(300, 320))),
        Shape("badge", 320, 320, ScallopedCirclePath(ShapeBox(320, 320), 16)),
        Shape("butterfly", 360, 300, ButterflyPath(ShapeBox(360, 300))),
    };
}

std::vector<Named> StarterBrushes()
{
    return {
        Brush("star", 96, Fill([](const QRectF& b) { return StarPath(b, 5, 0.45); }, QColor(246, 190, 30))),
        Brush("heart", 96, Fill(HeartPath, QColor(226, 48, 78))),
        Brush("soft-dot", 64, SoftDot),
        Brush("snowflake", 96, Snowflake),
        Brush("leaf", 96, [](QPainter& p, const QRectF& box) {
            p.translate(box.center());
            p.rotate(30);
            p.translate(-box.center());
            p.fillPath(LeafPath(box.adjusted(14, 0, -14, 0)), QColor(80, 160, 60));
            p.setPen(QPen(QColor(40, 100, 30), 2.0));
            p.drawLine(QPointF(box.center().x(), box.top() + 10), QPointF(box.center().x(), box.bottom()));
        }),
        Brush("sparkle", 96, Fill(SparklePath, QColor(250, 200, 50))),
        Brush("flower", 96, [](QPainter& p, const QRectF& box) {
            p.fillPath(FlowerPath(box, 5, 0.6), QColor(240, 120, 170));
            p.setBrush(QColor(250, 210, 60));
            p.drawEllipse(box.center(), box.width() * 0.14, box.width() * 0.14);
        }),
        Brush("butterfly", 96, Fill(ButterflyPath, QColor(150, 80, 200))),
        Brush("music-note", 96, Fill(MusicNotePath, QColor(50, 50, 60))),
        Brush("paw-print", 96, Fill(PawPath, QColor(140, 90, 50))),
        Brush("bubble", 96, Bubble),
        Brush("confetti", 96, Confetti),
        Brush("grass", 96, Grass),
        Brush("cloud", 96, SoftCloud),
        Brush("moon", 96, Fill(CrescentPath, QColor(240, 200, 70))),
    };
}

} // namespace art
