#pragma once

// Drawing helpers of the starter-art generator: transparent canvases, blur, noise, and
// the outlines (heart, star, cloud, ...) that frames, masks, shapes and brushes share.
// Everything is deterministic: the same sources give the same pictures on every build.

#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <random>

namespace art {

// A transparent premultiplied canvas.
QImage Canvas(int width, int height);
// A canvas filled with one opaque colour.
QImage Filled(int width, int height, QColor colour);

// Blurs every channel of a premultiplied picture (three box passes, close to a Gaussian).
QImage Blur(const QImage& picture, int radius);

// The smallest rectangle holding every pixel with alpha above threshold.
QRect OpaqueBounds(const QImage& picture, int threshold = 0);

// Deterministic random numbers.
class Random {
public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}
    double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(engine_); }
    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }

private:
    std::mt19937 engine_;
};

// Outlines, each filling the rectangle it is given.
QPainterPath HeartPath(const QRectF& box);
QPainterPath StarPath(const QRectF& box, int points, double innerRatio);
QPainterPath CloudPath(const QRectF& box);
QPainterPath PolygonPath(const QRectF& box, int corners, double rotationDegrees);
QPainterPath SpeechBubblePath(const QRectF& box);
QPainterPath FlowerPath(const QRectF& box, int petals, double innerRatio);
QPainterPath LeafPath(const QRectF& box);
QPainterPath CrescentPath(const QRectF& box);
QPainterPath ScallopedCirclePath(const QRectF& box, int scallops);
QPainterPath SparklePath(const QRectF& box);
QPainterPath ButterflyPath(const QRectF& box);
QPainterPath PawPath(const QRectF& box);
QPainterPath MusicNotePath(const QRectF& box);
// A closed outline whose edge wanders randomly by up to amplitude pixels (torn paper,
// brush strokes); step is the distance between points along the edge.
QPainterPath RoughRectPath(const QRectF& box, double amplitude, double step, Random& random);

bool Save(const QImage& picture, const QString& path);

} // namespace art
