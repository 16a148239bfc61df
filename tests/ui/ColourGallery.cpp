// A window to look at the panel slider, the colour picker and the palettes under a real
// display (not a test): every slider state, pickers in their modes, the inline palette.
//   colour_gallery            the gallery
//   colour_gallery popup      ... with the first picker's popup open
//   colour_gallery palette    ... with the "ColorPalette" window open

#include "editing/PanelSlider.h"
#include "ui/CVelColourPicker.h"
#include "ui/ColorPalette.h"
#include "ui/ColourTable.h"
#include "ui/InlinePalette.h"
#include "ui/skin/Skin.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

class Gallery : public QWidget {
public:
    Gallery()
    {
        setWindowTitle(QStringLiteral("Montara controls"));
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, skin::kPanelBackground);
        setPalette(pal);
        resize(560, 330);

        const char* captions[] = {"Minimum", "Middle", "Maximum", "Hover", "Dragging", "Disabled"};
        const int positions[] = {20, 210, 400, 150, 300, 120};
        for (int i = 0; i < 6; ++i) {
            const int y = 20 + i * 24;
            auto* label = new QLabel(QString::fromLatin1(captions[i]), this);
            label->setGeometry(16, y - 2, 80, 17);
            auto* slider = new PanelSlider(QRect(100, y, 160, 13), this, 10002 + i);
            slider->SetRange(20, 400);
            slider->SetPosition(positions[i]);
            sliders_[i] = slider;
            auto* value = new QLabel(QString::number(positions[i]), this);
            value->setGeometry(266, y - 2, 40, 17);
            connect(slider, &PanelSlider::positionReported, value,
                    [value](int, int position) { value->setText(QString::number(position)); });
        }
        sliders_[5]->setEnabled(false);

        const char* pickerCaptions[] = {"Picker", "Automatic", "Mode 1", "Disabled"};
        for (int i = 0; i < 4; ++i) {
            const int y = 20 + i * 30;
            auto* label = new QLabel(QString::fromLatin1(pickerCaptions[i]), this);
            label->setGeometry(330, y, 70, 20);
            pickers_[i] = new CVelColourPicker(QRect(400, y, 120, 22), this, 1200 + i);
        }
        pickers_[0]->SetColour(colours::kNamedColours[9].colour);
        pickers_[1]->SetColour(colours::kAutomaticColour);
        pickers_[2]->SetColourMode(1);
        pickers_[2]->SetBackgroundColour(0xFFFFFF);
        pickers_[2]->SetColour(colours::Rgb(60, 179, 113));
        pickers_[3]->SetColour(colours::kNamedColours[13].colour);
        pickers_[3]->setEnabled(false);

        auto* inlineLabel = new QLabel(QStringLiteral("Inline palette"), this);
        inlineLabel->setGeometry(16, 176, 120, 17);
        inline_ = new InlinePalette(this);
        inline_->move(16, 196);
        inline_->resize(inline_->sizeHint());
        inline_->SetColour(colours::Rgb(51, 102, 204));
    }

    void ShowStates()
    {
        // Hover over the fourth slider's thumb, press the fifth's.
        auto send = [](QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button) {
            QMouseEvent event(type, at, w->mapToGlobal(at), button, button == Qt::NoButton ? Qt::NoButton : button,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(w, &event);
        };
        send(sliders_[3], QEvent::MouseMove, sliders_[3]->ThumbRect().center(), Qt::NoButton);
        send(sliders_[4], QEvent::MouseButtonPress, sliders_[4]->ThumbRect().center(), Qt::LeftButton);
    }

    CVelColourPicker* pickers_[4] = {};
    PanelSlider* sliders_[6] = {};
    InlinePalette* inline_ = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Gallery gallery;
    gallery.move(40, 40);
    gallery.show();
    QTimer::singleShot(200, &gallery, [&gallery] { gallery.ShowStates(); });
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    ColorPalette palette(&gallery);
    palette.SetColour(colours::Rgb(255, 204, 0));
    QObject::connect(&palette, &ColorPalette::colourChosen, &gallery,
                     [&gallery](quint32 colour, QPoint) { gallery.inline_->SetColour(colour); });
    if (mode == QLatin1String("popup"))
        QTimer::singleShot(400, &gallery, [&gallery] { gallery.pickers_[0]->OpenPopup(); });
    if (mode == QLatin1String("palette"))
        QTimer::singleShot(400, &gallery, [&] { palette.Popup(gallery.mapToGlobal(QPoint(330, 150))); });
    return app.exec();
}
