// The main window's property bar: the brush panel's place, the brush tool switch, the
// Size, Opacity and Angle sliders with their labels and values, and the colour picker.
// Every change goes to the canvas's brush tool settings.

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "canvas/CanvasWnd.h"
#include "editing/PanelSlider.h"
#include "library/LibraryPanel.h"
#include "ui/CVelColourPicker.h"
#include "ui/PanelContainer.h"
#include "ui/skin/SkinArt.h"
#include "ui/skin/SkinButton.h"

#include <QPainter>

namespace {

struct SliderEntry {
    int id;
    const char* label;
    int minimum;
    int maximum;
    int initial;
};

// Top to bottom.
constexpr SliderEntry kSliders[] = {
    {1, "Size", 16, 256, 128},
    {2, "Opacity", 0, 255, 255},
    {3, "Angle", 0, 360, 0},
};
constexpr int kSizeRow = 0;
constexpr int kOpacityRow = 1;
constexpr int kAngleRow = 2;

constexpr const char* kBrushOn = "Brush: On";
constexpr const char* kBrushOff = "Brush: Off";

// The colour picker's id (its notifications carry it).
constexpr int kColourPickerId = 4;

// Labels and values in the narrow face of the look (its width keeps "360" inside the bar).
QFont LabelFont(QFont font)
{
    font.setFamilies({QStringLiteral("Arial")});
    font.setPixelSize(11);
    return font;
}

} // namespace

void MainFrame::CreatePropertyBar()
{
    for (std::size_t row = 0; row < sliders.size(); ++row) {
        const SliderEntry& entry = kSliders[row];
        auto* slider = new PanelSlider(entry.id, this); // owned by this window
        slider->setObjectName(QString::fromLatin1(entry.label));
        slider->SetRange(entry.minimum, entry.maximum);
        slider->SetPosition(entry.initial);
        // A press reports at once, a drag when it ends.
        connect(slider, &PanelSlider::positionReported, this, &MainFrame::OnPropertyBarChanged);
        sliders[row] = slider;
    }

    // The brush colour: a colour of its own, never "automatic".
    colourPicker = new CVelColourPicker(kColourPickerId, this); // owned by this window
    colourPicker->setObjectName(QStringLiteral("colourPicker"));
    colourPicker->setFocusPolicy(Qt::NoFocus);
    colourPicker->SetDefaultText({});
    colourPicker->SetColourMode(1);
    colourPicker->SetColour(canvas->Model().ToolSettings().colour);
    connect(colourPicker, &CVelColourPicker::endedWithChoice, this, &MainFrame::OnPropertyBarChanged);

    brushSwitch = new SkinButton(cmd::kBrushSwitch, this); // owned by this window
    brushSwitch->setCheckable(true);
    connect(brushSwitch, &SkinAbstractButton::command, this, &MainFrame::OnCommand);
    buttons[cmd::kBrushSwitch] = brushSwitch;
    SetBrushSwitchLook();
}

void MainFrame::LayOutPropertyBar(int w, int h)
{
    brushPanel->setGeometry(frame::kBrushPanelRect.At(w, h));
    brushSwitch->setGeometry(frame::kBrushSwitchRect.At(w, h));
    SetBrushSwitchLook(); // its bitmaps are made at its height
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
        painter.drawText(value, Qt::AlignLeft | Qt::AlignVCenter, QString::asprintf("%d", sliders[row]->Position()));
    }
}

void MainFrame::OnPropertyBarChanged()
{
    update();
    const int angle = sliders[kAngleRow]->Position();
    canvas->SetToolSettings(brushEntry, toolActive != 0, static_cast<float>(angle), sliders[kOpacityRow]->Position(),
                            sliders[kSizeRow]->Position(), colourPicker->GetColour());
    if (brushEntry >= 0) {
        brushAngles[brushEntry] = angle;
        if (library::LibraryPanel* brushes = LibraryPanelOf(kBrushPanelIdentifier))
            brushes->SetEntryAngle(brushEntry, angle);
    }
}

void MainFrame::OnBrushEntryChanged(std::int32_t entry)
{
    brushEntry = entry;
    // The bar shows the chosen brush's own angle: the last one chosen for it, 0 before.
    if (entry >= 0) {
        const auto kept = brushAngles.find(entry);
        sliders[kAngleRow]->SetPosition(kept != brushAngles.end() ? kept->second : 0);
    }
    OnPropertyBarChanged();
}

void MainFrame::ShowBrushAngles()
{
    if (library::LibraryPanel* brushes = LibraryPanelOf(kBrushPanelIdentifier)) {
        for (const auto& [entry, angle] : brushAngles)
            brushes->SetEntryAngle(entry, angle);
    }
}

void MainFrame::SetBrushSwitchLook()
{
    // On: the pressed face at rest, so that the switch reads as held down; off: the push face.
    const bool on = toolActive != 0;
    brushSwitch->setChecked(on);
    brushSwitch->SetCaption(QString::fromLatin1(on ? kBrushOn : kBrushOff));
    const int h = brushSwitch->height();
    if (on) {
        const QPixmap held = skin::ButtonArt(skin::kStatePressed, h);
        brushSwitch->SetBitmaps(held, held, held, skin::ButtonArt(skin::kStateDisabled, h));
    } else {
        brushSwitch->SetBitmaps({}, {}, {}, {});
    }
}
