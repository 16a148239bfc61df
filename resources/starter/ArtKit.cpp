#include "ArtKit.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace art {

namespace {

constexpr double kPi = std::numbers::pi;

// One horizontal and one vertical box pass over premultiplied ARGB.
void BoxPass(QImage& image, int radius, bool horizontal)
{
    const int w = image.width();
    const int h = image.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    std::vector<QRgb> line(static_cast<std::size_t>(length));
    for (int l = 0; l < lines; ++l) {
        const auto at = [&](int i) -> QRgb& {
            return horizontal ? reinterpret_cast<QRgb*>(image.scanLine(l))[i] : reinterpret_cast<QRgb*>(image.scanLine(i))[l];
        };
        for (int i = 0; i < length; ++i)
            line[static_cast<std::size_t>(i)] = at(i);
        int sum[4] = {0, 0, 0, 0};
        const auto add = [&](int i, int sign) {
            const QRgb p = line[static_cast<std::size_t>(std::clamp(i, 0, length - 1))];
            sum[0] += sign * qAlpha(p);
            sum[1] += sign * qRed(p);
            sum[2] += sign * qGreen(p);
            sum[3] += sign * qBlue(p);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        const int n = 2 * radius + 1;
        for (int i = 0; i < length; ++i) {
            at(i) = qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n);
            add(i + radius + 1, 1);
            add(i - radius, -1);
        }
    }
}

QPointF Polar(const QPointF& centre, double rx, double ry, double degrees)
{
    const double a = (degrees - 90.0) * kPi / 180.0;
    return centre + QPointF(rx * std::cos(a), ry * std::sin(a));
}

// Maps a path drawn in a unit box (0..1) onto box.
QPainterPath ToBox(const QPainterPath& unit, const QRectF& box)
{
    QTransform t;
    t.translate(box.left(), box.top());
    t.scale(box.width(), box.height());
    return t.map(unit);
}

// Unites parts drawn in the unit box after mapping each onto box: the boolean operations
// flatten curves, and they do it finely only at the final size.
QPainterPath UniteInBox(const std::vector<QPainterPath>& parts, const QRectF& box)
{
    QPainterPath united;
    for (const QPainterPath& part : parts)
        united = united.united(ToBox(part, box));
    return united;
}

QPainterPath Ellipse(const QPointF& centre, double rx, double ry, double degrees = 0.0)
{
    QPainterPath e;
    e.addEllipse(QPointF(0, 0), rx, ry);
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(degrees);
    return t.map(e);
}

} // namespace

QImage Canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage Filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

QImage Blur(const QImage& picture, int radius)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius <= 0)
        return image;
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(image, radius, true);
        BoxPass(image, radius, false);
    }
    return image;
}

QRect OpaqueBounds(const QImage& picture, int threshold)
{
    int left = picture.width();
    int top = picture.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(row[x]) > threshold) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QPainterPath HeartPath(const QRectF& box)
{
    QPainterPath p;
    p.moveTo(0.5, 0.98);
    p.cubicTo(0.38, 0.84, 0.0, 0.62, 0.0, 0.31);
    p.cubicTo(0.0, 0.12, 0.14, 0.0, 0.28, 0.0);
    p.cubicTo(0.39, 0.0, 0.47, 0.07, 0.5, 0.16);
    p.cubicTo(0.53, 0.07, 0.61, 0.0, 0.72, 0.0);
    p.cubicTo(0.86, 0.0, 1.0, 0.12, 1.0, 0.31);
    p.cubicTo(1.0, 0.62, 0.62, 0.84, 0.5, 0.98);
    p.closeSubpath();
    return ToBox(p, box);
}

QPainterPath StarPath(const QRectF& box, int points, double innerRatio)
{
    QPainterPath p;
    const QPointF c(0.5, 0.53);
    for (int i = 0; i < 2 * points; ++i) {
        const double r = (i % 2 == 0) ? 0.5 : 0.5 * innerRatio;
        const QPointF pt = Polar(c, r, r, i * 180.0 / points);
        if (i == 0)
            p.moveTo(pt);
        else
            p.lineTo(pt);
    }
    p.closeSubpath();
    return ToBox(p, box);
}

QPainterPath CloudPath(const QRectF& box)
{
    QPainterPath base;
    base.addRoundedRect(QRectF(0.14, 0.50, 0.72, 0.40), 0.2, 0.2);
    return UniteInBox({Ellipse({0.20, 0.61}, 0.18, 0.23), Ellipse({0.38, 0.40}, 0.20, 0.26), Ellipse({0.64, 0.33}, 0.20, 0.27),
                       Ellipse({0.80, 0.56}, 0.18, 0.24), Ellipse({0.52, 0.67}, 0.22, 0.27), base},
                      box);
}

QPainterPath PolygonPath(const QRectF& box, int corners, double rotationDegrees)
{
    QPainterPath p;
    const QPointF c(0.5, 0.5);
    for (int i = 0; i < corners; ++i) {
        const QPointF pt = Polar(c, 0.5, 0.5, rotationDegrees + i * 360.0 / corners);
        if (i == 0)
            p.moveTo(pt);
        else
            p.lineTo(pt);
    }
    p.closeSubpath();
    return ToBox(p, box);
}

QPainterPath SpeechBubblePath(const QRectF& box)
{
    QPainterPath body;
    body.addRoundedRect(QRectF(0.0, 0.0, 1.0, 0.76), 0.22, 0.28);
    QPainterPath tail;
    tail.moveTo(0.22, 0.6);
    tail.lineTo(0.14, 1.0);
    tail.lineTo(0.46, 0.7);
    tail.closeSubpath();
    return UniteInBox({body, tail}, box);
}

QPainterPath FlowerPath(const QRectF& box, int petals, double innerRatio)
{
    const QPointF c(0.5, 0.5);
    const double petal = 0.5 * (1.0 - innerRatio);
    std::vector<QPainterPath> parts;
    for (int i = 0; i < petals; ++i)
        parts.push_back(Ellipse(Polar(c, 0.5 - petal, 0.5 - petal, i * 360.0 / petals), petal, petal));
    parts.push_back(Ellipse(c, 0.5 - petal, 0.5 - petal));
    return UniteInBox(parts, box);
}

QPainterPath LeafPath(const QRectF& box)
{
    QPainterPath p;
    p.moveTo(0.5, 0.0);
    p.cubicTo(0.95, 0.25, 0.9, 0.7, 0.52, 0.9);
    p.lineTo(0.52, 1.0);
    p.lineTo(0.48, 1.0);
    p.lineTo(0.48, 0.9);
    p.cubicTo(0.1, 0.7, 0.05, 0.25, 0.5, 0.0);
    p.closeSubpath();
    return ToBox(p, box);
}

QPainterPath CrescentPath(const QRectF& box)
{
    QPainterPath outer;
    outer.addEllipse(QRectF(0.0, 0.0, 1.0, 1.0));
    QPainterPath inner;
    inner.addEllipse(QRectF(0.28, -0.08, 0.92, 0.92));
    return ToBox(outer, box).subtracted(ToBox(inner, box));
}

QPainterPath ScallopedCirclePath(const QRectF& box, int scallops)
{
    const QPointF c(0.5, 0.5);
    const double r = 0.5 * std::sin(kPi / scallops) / (1.0 + std::sin(kPi / scallops));
    std::vector<QPainterPath> parts;
    for (int i = 0; i < scallops; ++i)
        parts.push_back(Ellipse(Polar(c, 0.5 - r, 0.5 - r, i * 360.0 / scallops), r, r));
    parts.push_back(Ellipse(c, 0.5 - r, 0.5 - r));
    return UniteInBox(parts, box);
}

QPainterPath SparklePath(const QRectF& box)
{
    QPainterPath p;
    p.moveTo(0.5, 0.0);
    p.quadTo(0.56, 0.44, 1.0, 0.5);
    p.quadTo(0.56, 0.56, 0.5, 1.0);
    p.quadTo(0.44, 0.56, 0.0, 0.5);
    p.quadTo(0.44, 0.44, 0.5, 0.0);
    p.closeSubpath();
    return ToBox(p, box);
}

QPainterPath ButterflyPath(const QRectF& box)
{
    // Wings point away from the body: the upper ones up and out, the lower ones down and out.
    return UniteInBox({Ellipse({0.29, 0.30}, 0.26, 0.18, 40), Ellipse({0.71, 0.30}, 0.26, 0.18, -40),
                       Ellipse({0.32, 0.70}, 0.18, 0.12, -50), Ellipse({0.68, 0.70}, 0.18, 0.12, 50),
                       Ellipse({0.5, 0.5}, 0.05, 0.3)},
                      box);
}

QPainterPath PawPath(const QRectF& box)
{
    return UniteInBox({Ellipse({0.5, 0.69}, 0.26, 0.23), Ellipse({0.12, 0.43}, 0.10, 0.13, -20),
                       Ellipse({0.32, 0.20}, 0.10, 0.14, -8), Ellipse({0.68, 0.20}, 0.10, 0.14, 8),
                       Ellipse({0.88, 0.43}, 0.10, 0.13, 20)},
                      box);
}

QPainterPath MusicNotePath(const QRectF& box)
{
    QPainterPath stem;
    stem.addRect(QRectF(0.44, 0.08, 0.07, 0.74));
    QPainterPath flag;
    flag.moveTo(0.44, 0.04);
    flag.cubicTo(0.6, 0.14, 0.92, 0.2, 0.8, 0.52);
    flag.cubicTo(0.84, 0.3, 0.62, 0.26, 0.51, 0.26);
    flag.lineTo(0.44, 0.26);
    flag.closeSubpath();
    return UniteInBox({Ellipse({0.3, 0.82}, 0.2, 0.14, -20), stem, flag}, box);
}

QPainterPath RoughRectPath(const QRectF& box, double amplitude, double step, Random& random)
{
    QPainterPath p;
    const QPointF corners[4] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
    double offset = 0.0;
    bool first = true;
    for (int side = 0; side < 4; ++side) {
        const QPointF a = corners[side];
        const QPointF b = corners[(side + 1) % 4];
        const QPointF along = b - a;
        const double length = std::hypot(along.x(), along.y());
        const QPointF normal(along.y() / length, -along.x() / length); // outward for a clockwise walk
        const int steps = std::max(1, static_cast<int>(length / step));
        for (int i = 0; i < steps; ++i) {
            // A random walk pulled back to the edge, with an occasional sharp tooth.
            offset = 0.7 * offset + random.Uniform(-amplitude, amplitude) * 0.6;
            double tooth = random.Uniform(0.0, 1.0) < 0.15 ? random.Uniform(-amplitude, amplitude) : 0.0;
            const QPointF pt = a + along * (double(i) / steps) + normal * (offset + tooth);
            if (first) {
                p.moveTo(pt);
                first = false;
            } else {
                p.lineTo(pt);
            }
        }
    }
    p.closeSubpath();
    return p;
}

bool Save(const QImage& picture, const QString& path)
{
    return picture.convertToFormat(QImage::Format_ARGB32).save(path, "PNG");
}

} // namespace art
