// The main window's property bar: the brush panel's place, the brush tool switch, the
// Size, Opacity and Angle sliders with their labels and values, and the colour picker.
// Every change goes to the canvas's brush tool settings.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "canvas/CanvasWnd.h"
#include "ui/PanelContainer.h"
#include "ui/skin/Skin.h"

#include <QPainter>
#include <QPushButton>
#include <QSlider>

namespace {

struct SliderEntry {
    const char* label;
    int minimum;
    int maximum;
    int initial;
};

// Top to bottom.
constexpr SliderEntry kSliders[] = {
    {"Size", 16, 256, 128},
    {"Opacity", 0, 255, 255},
    {"Angle", 0, 360, 0},
};
constexpr int kSizeRow = 0;
constexpr int kOpacityRow = 1;
constexpr int kAngleRow = 2;

constexpr const char* kBrushOn = "Brush: On";
constexpr const char* kBrushOff = "Brush: Off";

QFont LabelFont(QFont font)
{
    font.setPixelSize(11);
    return font;
}

} // namespace

void MainFrame::CreatePropertyBar()
{
    for (std::size_t row = 0; row < sliders.size(); ++row) {
        const SliderEntry& entry = kSliders[row];
        auto* slider = new QSlider(Qt::Horizontal, this); // owned by this window
        slider->setObjectName(QString::fromLatin1(entry.label));
        slider->setRange(entry.minimum, entry.maximum);
        slider->setValue(entry.initial);
        slider->setFocusPolicy(Qt::NoFocus);
        // A press reports at once, a drag when it ends; the values follow the thumb.
        connect(slider, &QSlider::valueChanged, this, [this, slider] {
            update();
            if (!slider->isSliderDown())
                OnPropertyBarChanged();
        });
        connect(slider, &QSlider::sliderReleased, this, &MainFrame::OnPropertyBarChanged);
        sliders[row] = slider;
    }

    colourPicker = new PanelContainer(QStringLiteral("colourPicker"), this); // owned by this window

    auto* brush = new QPushButton(QString::fromLatin1(kBrushOff), this); // owned by this window
    brush->setObjectName(QString::number(cmd::kBrushSwitch));
    brush->setCheckable(true);
    brush->setFocusPolicy(Qt::NoFocus);
    connect(brush, &QAbstractButton::clicked, this, [this] { OnCommand(cmd::kBrushSwitch); });
    buttons[cmd::kBrushSwitch] = brush;
    brushSwitch = brush;
}

void MainFrame::LayOutPropertyBar(int w, int h)
{
    brushPanel->setGeometry(frame::kBrushPanelRect.At(w, h));
    brushSwitch->setGeometry(frame::kBrushSwitchRect.At(w, h));
    for (std::size_t row = 0; row < sliders.size(); ++row)
        sliders[row]->setGeometry(frame::SliderRect(static_cast<int>(row), w, h));
    colourPicker->setGeometry(frame::kColourPickerRect.At(w, h));
}

void MainFrame::PaintPropertyBarLabels(QPainter& painter) const
{
    painter.setFont(LabelFont(font()));
    painter.setPen(skin::kText);
    for (std::size_t row = 0; row < sliders.size(); ++row) {
        const QRect slider = frame::SliderRect(static_cast<int>(row), width(), height());
        const QRect label(slider.left() - frame::kSliderLabelOffset, slider.top() - 3, frame::kSliderLabelOffset,
                          slider.height() + 6);
        painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(kSliders[row].label));
    }
}

void MainFrame::PaintPropertyBarValues(QPainter& painter) const
{
    painter.setFont(LabelFont(font()));
    painter.setPen(skin::kText);
    for (std::size_t row = 0; row < sliders.size(); ++row) {
        const QRect slider = frame::SliderRect(static_cast<int>(row), width(), height());
        const QRect value(slider.right() + 1 + frame::kSliderValueGap, slider.top() - 3, 30, slider.height() + 6);
        painter.drawText(value, Qt::AlignLeft | Qt::AlignVCenter, QString::asprintf("%d", sliders[row]->value()));
    }
}

void MainFrame::OnPropertyBarChanged()
{
    update();
    const int angle = sliders[kAngleRow]->value();
    canvas->SetToolSettings(brushEntry, toolActive != 0, static_cast<float>(angle), sliders[kOpacityRow]->value(),
                            sliders[kSizeRow]->value(), pickerColour);
    if (brushEntry >= 0) {
        brushAngles[brushEntry] = angle;
        brushPanel->update();
    }
}

void MainFrame::OnBrushEntryChanged(std::int32_t entry)
{
    brushEntry = entry;
    const auto kept = brushAngles.find(entry);
    if (kept != brushAngles.end()) {
        const QSignalBlocker blocker(sliders[kAngleRow]);
        sliders[kAngleRow]->setValue(kept->second);
    }
    OnPropertyBarChanged();
}

void MainFrame::SetBrushSwitchLook()
{
    brushSwitch->setChecked(toolActive != 0);
    brushSwitch->setText(QString::fromLatin1(toolActive ? kBrushOn : kBrushOff));
}
