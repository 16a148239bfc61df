#include "canvas/CanvasCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <cmath>

namespace cursors {

namespace {

constexpr QPoint kCentre(15, 15);

QImage Blank()
{
    QImage image(kCursorSide, kCursorSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Draws a path twice: a wide white halo, then the black line on it.
void StrokeWithHalo(QPainter& painter, const QPainterPath& path, qreal width)
{
    painter.strokePath(path, QPen(Qt::white, width + 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.strokePath(path, QPen(Qt::black, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
}

} // namespace

CursorPicture StampCursorPicture()
{
    QImage image = Blank();
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        // Half-pixel centres keep one-pixel lines on whole pixels.
        const QPointF c(kCentre.x() + 0.5, kCentre.y() + 0.5);
        QPainterPath cross;
        cross.moveTo(c.x(), c.y() - 13);
        cross.lineTo(c.x(), c.y() - 4);
        cross.moveTo(c.x(), c.y() + 4);
        cross.lineTo(c.x(), c.y() + 13);
        cross.moveTo(c.x() - 13, c.y());
        cross.lineTo(c.x() - 4, c.y());
        cross.moveTo(c.x() + 4, c.y());
        cross.lineTo(c.x() + 13, c.y());
        QPainterPath ring;
        ring.addEllipse(c, 8.0, 8.0);
        StrokeWithHalo(painter, ring, 1.0);
        StrokeWithHalo(painter, cross, 1.0);
        // The dab itself: one black pixel on white at the hotspot.
        painter.fillRect(QRect(kCentre - QPoint(1, 1), QSize(3, 3)), Qt::white);
        painter.fillRect(QRect(kCentre, QSize(1, 1)), Qt::black);
    }
    return {image, kCentre};
}

CursorPicture RotationCursorPicture()
{
    QImage image = Blank();
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QPointF c(kCentre.x() + 0.5, kCentre.y() + 0.5);
        constexpr qreal kRadius = 10.0;
        // From the left (180 degrees) clockwise over the top round to the bottom (Qt's
        // angles run counter-clockwise, so the sweep is negative).
        QPainterPath arc;
        const QRectF box(c.x() - kRadius, c.y() - kRadius, 2 * kRadius, 2 * kRadius);
        arc.arcMoveTo(box, 200.0);
        arc.arcTo(box, 200.0, -250.0); // ends at -50 degrees, lower right
        StrokeWithHalo(painter, arc, 2.0);

        // The arrow head at the arc's end, along the clockwise tangent there. On screen
        // (y down) the end lies at angle phi = 50 degrees; clockwise runs along
        // (-sin phi, cos phi), outwards along (cos phi, sin phi).
        const QPointF end = arc.currentPosition();
        const qreal phi = 50.0 * 3.14159265358979 / 180.0;
        const QPointF along(-std::sin(phi), std::cos(phi));
        const QPointF out(std::cos(phi), std::sin(phi));
        QPolygonF head;
        head << end + along * 7.0 << end - along * 1.0 + out * 4.5 << end - along * 1.0 - out * 4.5;
        QPainterPath headPath;
        headPath.addPolygon(head);
        headPath.closeSubpath();
        painter.strokePath(headPath, QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(headPath, Qt::black);

        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.fillRect(QRect(kCentre - QPoint(1, 1), QSize(3, 3)), Qt::white);
        painter.fillRect(QRect(kCentre, QSize(1, 1)), Qt::black);
    }
    return {image, kCentre};
}

} // namespace cursors
