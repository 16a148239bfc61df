#include "ui/CVelColourPicker.h"

#include "ui/ColourArtwork.h"
#include "ui/skin/Skin.h"

#include <QPainter>

using namespace colours;

namespace {

struct FaceSet {
    QImage normal = MakePickerFace(FaceLook::Normal);
    QImage hover = MakePickerFace(FaceLook::Hover);
    QImage pressed = MakePickerFace(FaceLook::Pressed);
    QImage disabled = MakePickerFace(FaceLook::Disabled);
};

const FaceSet& Faces()
{
    static const FaceSet faces;
    return faces;
}

// The colour a swatch shows for `colour`: "automatic" is shown as the text colour.
QColor SwatchFill(std::uint32_t colour, const QWidget& widget)
{
    if (colour == kAutomaticColour)
        return widget.palette().color(QPalette::ButtonText);
    return ToQColor(colour);
}

} // namespace

CVelColourPicker::CVelColourPicker(int id, QWidget* parent)
    : QPushButton(parent)
    , id_(id)
    , swatch_(FromQColor(palette().color(QPalette::ButtonText)))
    , background_(FromQColor(palette().color(QPalette::Button)))
    , defaultText_(QStringLiteral("Automatic"))
    , customText_(QStringLiteral("More Colours..."))
    , dialog_(RunSystemColourDialog)
{
    setAttribute(Qt::WA_Hover);
    connect(this, &QPushButton::clicked, this, &CVelColourPicker::OpenPopup);
}

CVelColourPicker::CVelColourPicker(const QRect& rect, QWidget* parent, int id)
    : CVelColourPicker(id, parent)
{
    setGeometry(rect);
}

std::uint32_t CVelColourPicker::GetColour() const
{
    return mode_ == 1 ? swatch_ : background_;
}

void CVelColourPicker::SetColour(std::uint32_t colour)
{
    if (mode_ == 1)
        swatch_ = colour;
    else
        background_ = colour;
    repaint();
}

void CVelColourPicker::SetSwatchColour(std::uint32_t colour)
{
    swatch_ = colour;
    repaint();
}

void CVelColourPicker::SetBackgroundColour(std::uint32_t colour)
{
    background_ = colour;
    repaint();
}

void CVelColourPicker::SetColourMode(int mode)
{
    mode_ = mode;
    repaint();
}

void CVelColourPicker::OpenPopup()
{
    if (active_)
        return;
    active_ = true;
    const QRect global(mapToGlobal(QPoint(0, 0)), size());
    popup_ = new ColourPopup(global, GetColour(), defaultText_, customText_, dialog_, this);
    connect(popup_, &ColourPopup::selectionChanged, this, &CVelColourPicker::OnPopupSelection);
    connect(popup_, &ColourPopup::ended, this, &CVelColourPicker::OnPopupEnded);
    update();
    emit droppedDown(GetColour(), id_);
}

void CVelColourPicker::OnPopupSelection(quint32 colour)
{
    if (trackSelection_)
        SetColour(colour);
    emit selectionChanged(colour, id_);
}

void CVelColourPicker::OnPopupEnded(quint32 colour, bool withChoice)
{
    active_ = false;
    popup_ = nullptr;
    SetColour(colour);
    emit closedUp(colour, id_);
    if (withChoice)
        emit endedWithChoice(colour, id_);
    else
        emit endedWithoutChoice(colour, id_);
}

QSize CVelColourPicker::sizeHint() const
{
    return {kFaceWidth + kFaceMiddle / 2, kFaceHeight + 2};
}

QSize CVelColourPicker::minimumSizeHint() const
{
    return {kSwatchLeft + kSwatchRight + 12, kFaceHeight};
}

void CVelColourPicker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const FaceSet& faces = Faces();
    const QImage* face = &faces.normal;
    if (!isEnabled())
        face = &faces.disabled;
    else if (isDown() || active_)
        face = &faces.pressed;
    else if (underMouse())
        face = &faces.hover;
    DrawPickerFace(painter, rect(), *face);

    const QRect swatch(QPoint(kSwatchLeft, kSwatchInset),
                       QPoint(width() - kSwatchRight - 1, height() - kSwatchInset - 1));
    if (swatch.width() <= 0 || swatch.height() <= 0)
        return;
    if (!isEnabled())
        painter.setOpacity(0.45);
    painter.fillRect(swatch, SwatchFill(GetColour(), *this));
    painter.setPen(skin::kSwatchEdge);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        // Keyboard focus: a thin accent ring around the swatch.
        painter.setPen(skin::kAccent);
        painter.drawRect(swatch.adjusted(-2, -2, 1, 1));
    }
}
