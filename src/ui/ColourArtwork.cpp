#include "ui/ColourArtwork.h"

#include "ui/skin/Skin.h"

#include <QPainter>
#include <QPainterPath>

#include <vector>

#include <algorithm>

namespace colours {

namespace {

constexpr int kSliceRows = 6;          // rows kept at the top and bottom when the face is resized
constexpr double kFaceCorner = 3.0;    // corner radius of the face
constexpr int kSeparatorInset = 4;     // the line before the arrow stops this far from the edges
constexpr int kArrowTop = 7;           // the arrow lies in rows 7 .. 13; rows 7 and 14 are plain
constexpr int kArrowRows = 7;

} // namespace

QImage MakePickerFace(FaceLook look)
{
    QImage image(kFaceWidth, kFaceHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QColor face = skin::kButtonFace;
    QColor edge = skin::kButtonEdge;
    QColor glyph = skin::kButtonGlyph;
    switch (look) {
    case FaceLook::Normal:
        break;
    case FaceLook::Hover:
        face = skin::kButtonHoverFace;
        edge = skin::kAccent;
        glyph = skin::kAccentDark;
        break;
    case FaceLook::Pressed:
        face = skin::kAccentTint;
        edge = skin::kAccent;
        glyph = skin::kAccentDark;
        break;
    case FaceLook::Disabled:
        face = skin::kButtonDisabledFace;
        edge = skin::kFrameColour;
        glyph = skin::kDisabledText;
        break;
    }

    const QRectF outline(0.5, 0.5, kFaceWidth - 1.0, kFaceHeight - 1.0);
    painter.setPen(QPen(edge, 1.0));
    painter.setBrush(face);
    painter.drawRoundedRect(outline, kFaceCorner, kFaceCorner);

    // The right cap: a thin line before it and a chevron pointing down in its middle.
    const double capLeft = kFaceWidth - kFaceRightCap;
    painter.setPen(QPen(look == FaceLook::Normal ? skin::kFrameColour : edge, 1.0));
    painter.drawLine(QPointF(capLeft + 0.5, kSeparatorInset), QPointF(capLeft + 0.5, kFaceHeight - kSeparatorInset));
    const QPointF centre(capLeft + kFaceRightCap / 2.0 + 0.5, kFaceHeight / 2.0 + 1.0);
    QPainterPath chevron;
    chevron.moveTo(centre + QPointF(-3.5, -2.0));
    chevron.lineTo(centre + QPointF(0.0, 1.5));
    chevron.lineTo(centre + QPointF(3.5, -2.0));
    painter.setPen(QPen(glyph, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(chevron);
    return image;
}

void DrawPickerFace(QPainter& painter, const QRect& target, const QImage& face)
{
    if (target.width() <= 0 || target.height() <= 0)
        return;
    // Column pieces: source x and width, destination x and width.
    const int leftCap = std::min(kFaceLeftCap, target.width() / 2);
    const int rightCap = std::min(kFaceRightCap, target.width() - leftCap);
    const int middle = target.width() - leftCap - rightCap;
    struct Piece {
        int sx, sw, dx, dw;
    };
    const Piece columns[3] = {
        {0, leftCap, target.left(), leftCap},
        {kFaceLeftCap, kFaceMiddle, target.left() + leftCap, middle},
        {kFaceWidth - rightCap, rightCap, target.right() + 1 - rightCap, rightCap},
    };
    // Row pieces. A target no taller than the face: top, stretched middle, bottom. A taller
    // one keeps the arrow's rows whole in the middle and stretches one plain row above and
    // one below them, so the arrow is not drawn out.
    const int rows = target.height();
    std::vector<Piece> rowPieces;
    if (rows <= kFaceHeight) {
        const int edgeRows = std::min(kSliceRows, rows / 2);
        rowPieces = {
            {0, edgeRows, target.top(), edgeRows},
            {kSliceRows, kFaceHeight - 2 * kSliceRows, target.top() + edgeRows, rows - 2 * edgeRows},
            {kFaceHeight - edgeRows, edgeRows, target.bottom() + 1 - edgeRows, edgeRows},
        };
    } else {
        const int above = (rows - kFaceHeight) / 2;
        const int below = rows - kFaceHeight - above;
        const int arrowBottom = kArrowTop + kArrowRows;
        rowPieces = {
            {0, kArrowTop, target.top(), kArrowTop},
            {kArrowTop, 1, target.top() + kArrowTop, above},
            {kArrowTop, kArrowRows, target.top() + kArrowTop + above, kArrowRows},
            {arrowBottom, 1, target.top() + arrowBottom + above, below},
            {arrowBottom, kFaceHeight - arrowBottom, target.top() + arrowBottom + above + below,
             kFaceHeight - arrowBottom},
        };
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const Piece& column : columns) {
        if (column.dw <= 0)
            continue;
        for (const Piece& row : rowPieces) {
            if (row.dw <= 0)
                continue;
            painter.drawImage(QRect(column.dx, row.dx, column.dw, row.dw), face,
                              QRect(column.sx, row.sx, column.sw, row.sw));
        }
    }
    painter.restore();
}

QImage MakeDialogButtonGlyph(bool hover, bool pressed)
{
    constexpr int kSize = 16;
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor face = pressed ? skin::kAccentTint : hover ? skin::kButtonHoverFace : skin::kButtonFace;
    const QColor edge = hover || pressed ? skin::kAccent : skin::kButtonEdge;
    painter.setPen(QPen(edge, 1.0));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(0.5, 0.5, kSize - 1.0, kSize - 1.0), 2.5, 2.5);

    // Three squares, red and green on top, yellow below, each with a dark hairline.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(skin::kSwatchEdge);
    const int off = pressed ? 1 : 0;
    painter.setBrush(skin::kDialogGlyphRed);
    painter.drawRect(3 + off, 3 + off, 4, 4);
    painter.setBrush(skin::kDialogGlyphGreen);
    painter.drawRect(8 + off, 3 + off, 4, 4);
    painter.setBrush(skin::kDialogGlyphYellow);
    painter.drawRect(5 + off, 8 + off, 4, 4);
    return image;
}

} // namespace colours
