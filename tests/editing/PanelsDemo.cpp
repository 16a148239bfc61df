// A test-only window to look at the tuning and text panels at work: both panels on
// strips the height of the main window's library strip, over a canvas holding a tuned
// photo and a text item added from the text panel. Started by hand under Xvfb for
// screenshots; it wires the panels to the canvas the way the main window does. With the
// arguments "effect ID" it also runs that effect with its progress dialog.

#include "canvas/CanvasWnd.h"
#include "canvas/EffectRunner.h"
#include "editing/PanelSlider.h"
#include "editing/StyleGallery.h"
#include "editing/TextPanel.h"
#include "editing/TuningPanel.h"
#include "ui/skin/Skin.h"
#include "ui/skin/SkinButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace {

void PressAt(PanelSlider* slider, double fraction)
{
    const QPointF at(fraction * (slider->width() - 1), 6);
    QMouseEvent press(QEvent::MouseButtonPress, at, slider->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(slider, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, slider->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(slider, &release);
}

void Click(QWidget* button)
{
    const QPointF at(button->width() / 2, button->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(button, &release);
}

QString WritePhoto(const QTemporaryDir& dir)
{
    QImage image(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double r = std::hypot(x - 400, y - 300);
            image.setPixel(x, y, qRgb(x * 255 / 800, y * 255 / 600, int(127 + 120 * std::sin(r / 30.0))));
        }
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    image.save(path, "JPEG", 92);
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QWidget window;
    window.setWindowTitle(QStringLiteral("Panels"));
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, skin::kDialogBackground);
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    window.resize(1400, 900);

    auto* canvas = new CanvasWnd(&window); // owned by the window
    canvas->setGeometry(16, 300, 1368, 584);
    auto* tuning = new TuningPanel(*canvas, &window); // owned by the window
    tuning->setGeometry(16, 16, 1368, 123);
    auto* text = new TextPanel(&window); // owned by the window
    text->setGeometry(16, 155, 1368, 123);

    Text settings = text->Settings();
    QObject::connect(text, &TextPanel::settingsChanged, canvas, [&settings, canvas](const Text& changed) {
        settings = changed;
        canvas->ApplyTextSettings(changed);
    });
    QObject::connect(text, &TextPanel::textChanged, canvas, [&settings, canvas](const QString& typed) {
        const QString kept = textpanel::FitTextField(typed);
        settings.text.Set(kept);
        canvas->Model().SetCurrentText(kept);
        canvas->UpdateSelectedText();
    });
    QObject::connect(text, &TextPanel::addRequested, canvas, [&settings, canvas](int style) {
        settings.style = style;
        canvas->Model().SetCurrentTextSettings(settings);
        canvas->AddText();
    });

    window.show();
    canvas->SetCanvasSize(1200, 700);
    canvas->SetZoom(0.75f);
    canvas->AddPhoto(WritePhoto(dir), 800, 600, 40, 30);
    Photo& photo = std::get<Photo>(canvas->Model().ItemAt(0));
    photo.drawScale = photo.hitScale = 1.0f;
    canvas->Redraw();
    // A warmer, stronger photo: contrast up, saturation up, hue turned.
    PressAt(tuning->Slider(kContrast), 0.30);
    PressAt(tuning->Slider(kSaturation), 0.60);
    PressAt(tuning->Slider(kHue), 0.40);
    PressAt(tuning->Slider(kGamma), 0.22);

    // A text item in style 4, written in the text box.
    text->PickStyle(4);
    text->TextBox()->setPlainText(QStringLiteral("Summer"));
    Click(text->AddButton());

    // "effect ID": a second later the effect runs on the worker with its progress dialog,
    // the collage made 3200 x 3200 first so that the dialog has time to be seen.
    EffectRunner runner(*canvas, &window);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("effect")) {
        canvas->SetCanvasSize(3200, 3200);
        runner.SetWorkerPixels(0);
        QObject::connect(&runner, &EffectRunner::finished, &runner, [canvas](bool applied) {
            std::fprintf(stderr, "effect %s, %d item(s)\n", applied ? "applied" : "not applied", canvas->Model().ItemCount());
        });
        QTimer::singleShot(1000, &runner, [&runner, id = args[2].toInt()] {
            std::fprintf(stderr, "effect started: %d\n", int(runner.Run(id)));
        });
    }
    return app.exec();
}
