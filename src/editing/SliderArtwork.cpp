#include "editing/SliderArtwork.h"

#include "editing/SliderGeometry.h"
#include "ui/skin/Skin.h"

#include <QPainter>
#include <QPainterPath>

namespace slider {

namespace {

// The groove: 5 pixels high, centred in the 11-pixel track, with round ends 2 pixels in
// from the bitmap's ends.
constexpr double kGrooveTop = 3.0;
constexpr double kGrooveHeight = 5.0;
constexpr double kGrooveInset = 2.0;

} // namespace

QImage MakeTrackBitmap()
{
    QImage image(kTrackBitmapWidth, kTrackBitmapHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(skin::kPanelBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF groove(kGrooveInset + 0.5, kGrooveTop + 0.5, kTrackBitmapWidth - 2 * kGrooveInset - 1.0,
                        kGrooveHeight - 1.0);
    painter.setPen(QPen(skin::kSliderGrooveEdge, 1.0));
    painter.setBrush(skin::kSliderGroove);
    painter.drawRoundedRect(groove, groove.height() / 2, groove.height() / 2);
    return image;
}

QImage MakeThumbBitmap(ThumbLook look)
{
    QImage image(kThumbWidth, kThumbHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QColor ring = skin::kSliderThumbRing;
    QColor dot = skin::kAccent;
    double dotRadius = 2.5;
    if (look == ThumbLook::Hover) {
        ring = skin::kAccent;
        dot = skin::kSliderThumbHover;
        dotRadius = 3.0;
    } else if (look == ThumbLook::Pressed) {
        ring = skin::kAccentDark;
        dot = skin::kAccentDark;
        dotRadius = 3.0;
    }

    // The capsule fills the bitmap but for half a pixel, so its edge stays crisp.
    const QRectF capsule(0.5, 0.5, kThumbWidth - 1.0, kThumbHeight - 1.0);
    painter.setPen(QPen(ring, 1.0));
    painter.setBrush(skin::kPanelBackground);
    painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);

    painter.setPen(Qt::NoPen);
    painter.setBrush(dot);
    painter.drawEllipse(capsule.center(), dotRadius, dotRadius);
    return image;
}

} // namespace slider
