#include "ui/skin/SkinArt.h"

#include "ui/skin/SkinGeometry.h"

#include "editing/SliderArtwork.h"
#include "ui/ComboBoxRules.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

#include <algorithm>
#include <functional>

namespace skin {

namespace {

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A 1-pixel rounded edge around the whole image, filled with the face colour.
void RoundedFace(QImage& image, QColor face, QColor edge, qreal radius)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(edge, 1));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, image.width() - 1, image.height() - 1), radius, radius);
}

QImage CaptionBar()
{
    const StripLayout& s = kCaptionStrip;
    QImage image(s.artLength, s.artThickness, QImage::Format_ARGB32_Premultiplied);
    image.fill(kCaptionBar);
    QPainter p(&image);
    const int w = image.width();
    const int h = image.height();
    p.fillRect(1, 1, w - 2, 1, QColor(255, 255, 255, 110)); // light top edge
    p.fillRect(0, h - 1, w, 1, kCaptionLine);
    p.fillRect(0, 0, w, 1, kWindowOutline);
    p.fillRect(0, 0, 1, h, kWindowOutline);
    p.fillRect(w - 1, 0, 1, h, kWindowOutline);
    return image;
}

// The borders are the window's outline and leave the dialog's own background showing, so the
// same pieces serve the grey dialogs and the lighter batch dialog.
QImage BottomBorder()
{
    const StripLayout& s = kBottomStrip;
    QImage image = Blank(s.artLength, s.artThickness);
    QPainter p(&image);
    const int w = image.width();
    const int h = image.height();
    p.fillRect(0, h - 1, w, 1, kWindowOutline);
    p.fillRect(0, 0, 1, h, kWindowOutline);
    p.fillRect(w - 1, 0, 1, h, kWindowOutline);
    return image;
}

QImage SideBorder(bool right)
{
    QImage image = Blank(kSideStrip.artWidth, kSideStrip.artHeight);
    QPainter p(&image);
    p.fillRect(right ? image.width() - 1 : 0, 0, 1, image.height(), kWindowOutline);
    return image;
}

QImage CloseButton(ButtonState state)
{
    QImage image(kCloseWidth, kCloseHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(kCaptionBar); // sits on the caption bar
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QColor glyph = kCloseGlyph;
    if (state == kStateHover || state == kStatePressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(state == kStateHover ? kCloseHover : kClosePressed);
        p.drawRoundedRect(QRectF(0, 0, image.width(), image.height()), 3, 3);
        glyph = Qt::white;
    }
    p.setPen(QPen(glyph, 1.6, Qt::SolidLine, Qt::RoundCap));
    const QPointF c(image.width() / 2.0, image.height() / 2.0);
    constexpr qreal kArm = 3.5;
    p.drawLine(c + QPointF(-kArm, -kArm), c + QPointF(kArm, kArm));
    p.drawLine(c + QPointF(-kArm, kArm), c + QPointF(kArm, -kArm));
    return image;
}

// Pixmaps live in the application's pixmap cache, which goes away with the application;
// an evicted picture is simply drawn again.
QPixmap FromCache(const QString& key, const std::function<QImage()>& draw)
{
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    const QImage image = draw();
    if (image.isNull())
        return {};
    pixmap = QPixmap::fromImage(image);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace

QImage DrawButtonArt(ButtonState state, int height, ButtonArtStyle style)
{
    QImage image = Blank(kButtonArtWidth, std::max(1, height));
    if (style == ButtonArtStyle::kTool && (state == kStateNormal || state == kStateDisabled))
        return image;
    switch (state) {
    case kStateHover:
        RoundedFace(image, kButtonHoverFace, kAccent, kButtonCorner);
        break;
    case kStatePressed:
        RoundedFace(image, kAccentTint, kAccentDark, kButtonCorner);
        break;
    case kStateDisabled:
        RoundedFace(image, kButtonDisabledFace, kButtonDisabledEdge, kButtonCorner);
        break;
    case kStateNormal:
        RoundedFace(image, kButtonFace, kButtonEdge, kButtonCorner);
        break;
    }
    return image;
}

QPixmap ButtonArt(ButtonState state, int height, ButtonArtStyle style)
{
    return FromCache(QStringLiteral("skin/button/%1/%2/%3").arg(int(style)).arg(int(state)).arg(height),
                     [=] { return DrawButtonArt(state, height, style); });
}

QImage DrawArt(int bitmap)
{
    switch (bitmap) {
    case kBmpBottomBorder:
        return BottomBorder();
    case kBmpLeftBorder:
        return SideBorder(false);
    case kBmpRightBorder:
        return SideBorder(true);
    case kBmpCaptionBar:
        return CaptionBar();
    case kBmpCloseNormal:
        return CloseButton(kStateNormal);
    case kBmpCloseHover:
        return CloseButton(kStateHover);
    case kBmpClosePressed:
        return CloseButton(kStatePressed);
    case kBmpComboFace:
        return combo::DrawComboFaceBitmap();
    case kBmpSliderTrack:
        return slider::MakeTrackBitmap();
    case kBmpSliderThumb:
        return slider::MakeThumbBitmap();
    default:
        return {};
    }
}

QPixmap Art(int bitmap)
{
    return FromCache(QStringLiteral("skin/art/%1").arg(bitmap), [=] { return DrawArt(bitmap); });
}

QImage DrawCheckArt(bool checked)
{
    QImage image = Blank(kCheckBoxSize, kCheckBoxSize);
    if (!checked) {
        RoundedFace(image, kPanelBackground, kCheckEdge, kButtonCorner);
        return image;
    }
    RoundedFace(image, kAccent, kAccentDark, kButtonCorner);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath mark;
    mark.moveTo(4, 8.5);
    mark.lineTo(7, 11.5);
    mark.lineTo(12, 5);
    p.drawPath(mark);
    return image;
}

QPixmap CheckArt(bool checked)
{
    return FromCache(QStringLiteral("skin/check/%1").arg(checked ? 1 : 0), [=] { return DrawCheckArt(checked); });
}

} // namespace skin
