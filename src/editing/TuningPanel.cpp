#include "editing/TuningPanel.h"

#include "canvas/CanvasWnd.h"
#include "editing/PanelSlider.h"
#include "ui/skin/Skin.h"
#include "ui/skin/SkinButton.h"

#include <QPainter>

namespace tuningpanel {

QRect SliderRect(int index)
{
    const int column = index % kColumns;
    const int row = index / kColumns;
    return {kLeft + column * kColumnPitch + kLabelWidth, kTop + row * kRowPitch, kSliderWidth, kSliderHeight};
}

QRect LabelRect(int index)
{
    const QRect slider = SliderRect(index);
    return {slider.left() - kLabelWidth, slider.top() - 4, kLabelWidth - 8, slider.height() + 8};
}

QRect ResetRect()
{
    return {kLeft, kResetTop, kResetWidth, kResetHeight};
}

} // namespace tuningpanel

namespace {

// The tuning of the first selected photo or clip-art: the item SetTuning stores into.
const Tuning* SelectedTuning(const CollageModel& model)
{
    for (int i = 0; i < model.ItemCount(); ++i) {
        const CanvasItem& item = model.ItemAt(i);
        if (const auto* photo = std::get_if<Photo>(&item); photo && photo->selected)
            return &photo->tuning;
        if (const auto* clipArt = std::get_if<ClipArt>(&item); clipArt && clipArt->selected)
            return &clipArt->tuning;
    }
    return nullptr;
}

} // namespace

TuningPanel::TuningPanel(CanvasWnd& canvas, QWidget* parent)
    : QWidget(parent)
    , canvas_(canvas)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, skin::kPanelBackground);
    setPalette(pal);

    for (int i = 0; i < kTuningSliderCount; ++i) {
        const TuningSlider& entry = kTuningSliders[static_cast<std::size_t>(i)];
        auto* slider = new PanelSlider(tuningpanel::SliderRect(i), this, entry.id); // owned by this panel
        slider->SetRange(entry.minimum, entry.maximum);
        slider->SetPosition(entry.defaultPosition);
        slider->setAccessibleName(QString::fromLatin1(entry.label));
        connect(slider, &PanelSlider::positionReported, this, [this] { Apply(false); });
        sliders_[static_cast<std::size_t>(i)] = slider;
    }
    reset_ = new SkinButton(tuningpanel::ResetRect(), this, tuningpanel::kResetId); // owned by this panel
    reset_->SetCaption(QStringLiteral("Reset"));
    connect(reset_, &SkinButton::command, this, [this] { Reset(); });

    connect(&canvas_.Model(), &CollageModel::historyChanged, this, &TuningPanel::ShowSelection);
}

TuningPositions TuningPanel::Positions() const
{
    TuningPositions p;
    for (int i = 0; i < kTuningSliderCount; ++i)
        p.Set(static_cast<TuningSliderIndex>(i), sliders_[static_cast<std::size_t>(i)]->Position());
    return p;
}

void TuningPanel::ShowPositions(const TuningPositions& positions)
{
    for (int i = 0; i < kTuningSliderCount; ++i)
        sliders_[static_cast<std::size_t>(i)]->SetPosition(positions.At(static_cast<TuningSliderIndex>(i)));
}

void TuningPanel::Reset()
{
    ShowPositions(TuningPositions{});
    Apply(true);
}

void TuningPanel::ShowSelection()
{
    if (const Tuning* tuning = SelectedTuning(canvas_.Model()))
        ShowPositions(PositionsFromTuning(*tuning));
}

void TuningPanel::Apply(bool reset)
{
    const Tuning t = TuningFromSliders(Positions(), reset);
    canvas_.SetTuning(t.tuneScale, t.tuneOffset, t.tuneSaturation, t.tuneHue, t.tuneGamma, t.tuneRotation, reset);
    emit tuningReported(reset);
}

QSize TuningPanel::sizeHint() const
{
    const QRect last = tuningpanel::SliderRect(tuningpanel::kColumns - 1);
    return {last.right() + 1 + tuningpanel::kLeft, tuningpanel::ResetRect().bottom() + 1 + 12};
}

QSize TuningPanel::minimumSizeHint() const
{
    return sizeHint();
}

void TuningPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(skin::kFrameColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(skin::kText);
    for (int i = 0; i < kTuningSliderCount; ++i)
        painter.drawText(tuningpanel::LabelRect(i), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(kTuningSliders[static_cast<std::size_t>(i)].label));
}
