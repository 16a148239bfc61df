#include "ui/ComboBoxRules.h"

#include "ui/skin/Skin.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace combo {

namespace {

struct FaceColours {
    QColor edge;
    QColor field;
    QColor button;
    QColor divider;
    QColor glyph;
};

FaceColours ColoursOf(ComboFaceState state)
{
    switch (state) {
    case ComboFaceState::Hover:
        return {skin::kComboEdgeHover, skin::kPanelBackground, skin::kComboButtonHover, skin::kFrameColour,
                skin::kComboGlyph};
    case ComboFaceState::Pressed:
        return {skin::kComboEdgeHover, skin::kPanelBackground, skin::kComboButtonPressed, skin::kComboEdgeHover,
                skin::kComboGlyph};
    case ComboFaceState::Disabled:
        return {skin::kFrameColour, skin::kComboDisabledField, skin::kComboDisabledField, skin::kFrameColour,
                skin::kFrameColour};
    case ComboFaceState::Normal:
        break;
    }
    return {skin::kComboEdge, skin::kPanelBackground, skin::kPanelBackground, skin::kComboDivider, skin::kComboGlyph};
}

void DrawFace(QPainter& p, const QRect& face, ComboFaceState state)
{
    const ComboFaceLayout& l = kComboFace;
    const FaceColours c = ColoursOf(state);
    p.save();
    p.setClipRect(face);
    p.translate(face.topLeft());
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outline(0.5, 0.5, l.width - 1, l.height - 1);
    QPainterPath body;
    body.addRoundedRect(outline, 3, 3);
    p.fillPath(body, c.field);
    // The button: the right end of the rounded body, filled in its own colour.
    p.save();
    p.setClipRect(QRectF(l.width - l.button, 0, l.button, l.height));
    p.fillPath(body, c.button);
    p.restore();
    p.setPen(QPen(c.edge, 1));
    p.drawPath(body);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(c.divider);
    const int divider = l.width - l.button;
    p.drawLine(divider, 4, divider, l.height - 5);
    // The chevron, centred in the button.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(c.glyph, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF centre(divider + l.button / 2.0 + 0.5, l.height / 2.0 + (state == ComboFaceState::Pressed ? 1 : 0));
    const QPointF chevron[] = {centre + QPointF(-4, -2), centre + QPointF(0, 2), centre + QPointF(4, -2)};
    p.drawPolyline(chevron, 3);
    p.restore();
}

} // namespace

QImage DrawComboFaceBitmap()
{
    const ComboFaceLayout& l = kComboFace;
    QImage image(l.width, l.height * kComboFaceStates, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    for (int s = 0; s < kComboFaceStates; ++s)
        DrawFace(p, QRect(0, s * l.height, l.width, l.height), static_cast<ComboFaceState>(s));
    return image;
}

std::array<FacePiece, 3> ComboFacePieces(const QSize& face)
{
    const ComboFaceLayout& l = kComboFace;
    const int h = face.height();
    const int button = std::min(l.button, face.width());
    const int cap = std::clamp(face.width() - button, 0, l.leftCap);
    const int middle = std::max(0, face.width() - cap - button);
    const int sourceMiddle = l.width - l.leftCap - l.button;
    return {{
        {QRect(0, 0, cap, l.height), QRect(0, 0, cap, h)},
        {QRect(l.leftCap, 0, middle > 0 ? sourceMiddle : 0, l.height), QRect(cap, 0, middle, h)},
        {QRect(l.width - button, 0, button, l.height), QRect(face.width() - button, 0, button, h)},
    }};
}

QRect ComboEditRect(const QSize& face)
{
    const ComboFaceLayout& l = kComboFace;
    const int right = face.width() - l.button - 2; // keep off the divider
    return QRect(l.editLeft, l.editTop, std::max(0, right - l.editLeft), std::max(0, face.height() - 2 * l.editTop));
}

QRect ComboButtonRect(const QSize& face)
{
    const int button = std::min(kComboFace.button, face.width());
    return QRect(face.width() - button, 0, button, face.height());
}

int FirstItemWithInitial(const QStringList& items, QChar letter)
{
    const QChar wanted = letter.toCaseFolded();
    for (int i = 0; i < items.size(); ++i) {
        if (!items[i].isEmpty() && items[i].front().toCaseFolded() == wanted)
            return i;
    }
    return -1;
}

int FirstItemWithPrefix(const QStringList& items, const QString& typed)
{
    if (typed.isEmpty())
        return -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].startsWith(typed, Qt::CaseSensitive))
            return i;
    }
    return -1;
}

} // namespace combo
