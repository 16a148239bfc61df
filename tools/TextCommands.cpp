// montara-tool commands of the item-editing engines: styled text, colour tuning and
// the whole-collage effects.

#include "TextCommands.h"

#include "editing/ColourMatrix.h"
#include "editing/Effects.h"
#include "editing/TextRendering.h"
#include "editing/Tuning.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace tool {

namespace {

// Writes the picture in the format of the path's extension, through a temporary file
// beside the target, so a failed write leaves any earlier file as it was.
bool SavePicture(const QImage& picture, const QString& path, QString& error)
{
    const QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format)) {
        error = QStringLiteral("cannot write pictures of type '%1': %2").arg(QString::fromLatin1(format), path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QImageWriter writer(&file, format);
    if (!writer.write(picture)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool LoadPicture(const QString& path, QImage& picture, QString& error)
{
    QImageReader reader(path);
    reader.setAutoTransform(true); // photos upright
    picture = reader.read();
    if (picture.isNull()) {
        error = QStringLiteral("cannot read %1: %2").arg(path, reader.errorString());
        return false;
    }
    return true;
}

// RRGGBB -> COLORREF 0x00BBGGRR.
bool ParseColour(const QString& text, std::uint32_t& colorRef)
{
    if (text.size() != 6)
        return false;
    bool ok = false;
    const std::uint32_t rgb = text.toUInt(&ok, 16);
    if (!ok)
        return false;
    colorRef = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    return true;
}

// Takes --name as an integer; false (with error set) when present but not an integer.
bool TakeInt(QStringList& args, const QString& name, int& value, QString& error)
{
    QString text;
    if (!TakeOption(args, name, text, error))
        return error.isEmpty();
    bool ok = false;
    const int parsed = text.toInt(&ok);
    if (!ok) {
        error = QStringLiteral("%1 needs an integer, not '%2'").arg(name, text);
        return false;
    }
    value = parsed;
    return true;
}

int RenderText(QStringList args)
{
    if (args.isEmpty() || args.takeFirst() != QLatin1String("render"))
        return Usage(QStringLiteral("text: the only action is 'render'"));
    QString error;
    int style = 0;
    int height = 48;
    const bool haveStyle = args.contains(QStringLiteral("--style"));
    if (!TakeInt(args, QStringLiteral("--style"), style, error) || !TakeInt(args, QStringLiteral("--height"), height, error))
        return Usage(error);
    if (!haveStyle)
        return Usage(QStringLiteral("text render needs --style N"));
    if (height == 0 || height < -1024 || height > 1024)
        return Usage(QStringLiteral("--height must be 1..1024 pixels (negative: em height), not %1").arg(height));

    QString face = QStringLiteral("Microsoft Sans Serif");
    TakeOption(args, QStringLiteral("--font"), face, error);
    if (!error.isEmpty())
        return Usage(error);
    LogFont font;
    font.lfHeight = height;
    if (!font.SetFaceName(face))
        return Usage(QStringLiteral("--font: the face name must be shorter than %1 bytes").arg(LogFont::kFaceNameSize));

    StyleColours colours = DefaultStyleColours(style);
    for (auto [name, target] : {std::pair{QStringLiteral("--colour1"), &colours.colour1},
             std::pair{QStringLiteral("--colour2"), &colours.colour2}}) {
        QString value;
        if (TakeOption(args, name, value, error) && !ParseColour(value, *target))
            return Usage(QStringLiteral("%1 needs RRGGBB in hexadecimal, not '%2'").arg(name, value));
        if (!error.isEmpty())
            return Usage(error);
    }

    float transparency = 0.0f;
    QString value;
    if (TakeOption(args, QStringLiteral("--transparency"), value, error)) {
        bool ok = false;
        transparency = value.toFloat(&ok);
        if (!ok || !(transparency >= 0.0f && transparency <= 1.0f))
            return Usage(QStringLiteral("--transparency must be 0..1, not '%1'").arg(value));
    }
    if (!error.isEmpty())
        return Usage(error);

    QString text;
    if (!TakeOption(args, QStringLiteral("--text"), text, error))
        return Usage(error.isEmpty() ? QStringLiteral("text render needs --text TEXT") : error);
    if (text.isEmpty())
        return Usage(QStringLiteral("--text is empty"));
    if (text.toUtf8().size() > kMaxTextBytes)
        return Usage(QStringLiteral("--text holds %1 bytes; a text item holds at most %2").arg(text.toUtf8().size()).arg(kMaxTextBytes));
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--")))
        return Usage(QStringLiteral("text render needs one output picture after the options"));

    const QSize box = MeasureText(font, text);
    QImage picture(box, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return Failure(QStringLiteral("cannot make a picture of %1 x %2").arg(box.width()).arg(box.height()));
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        DrawStyledText(painter, style, text, font, QRect(QPoint(0, 0), box), colours.colour1, colours.colour2,
            TextAlpha(transparency));
    }
    if (!SavePicture(picture, args.first(), error))
        return Failure(error);
    return kOk;
}

int Tune(QStringList args)
{
    static const char* const kOptions[kTuningSliderCount] = {"--contrast", "--brightness", "--saturation", "--hue",
        "--gamma", "--color"};
    TuningPositions positions;
    int* const fields[kTuningSliderCount] = {&positions.contrast, &positions.brightness, &positions.saturation,
        &positions.hue, &positions.gamma, &positions.color};
    QString error;
    for (int i = 0; i < kTuningSliderCount; ++i) {
        const QString name = QString::fromLatin1(kOptions[i]);
        if (!TakeInt(args, name, *fields[i], error))
            return Usage(error);
        const TuningSlider& slider = kTuningSliders[static_cast<std::size_t>(i)];
        if (*fields[i] < slider.minimum || *fields[i] > slider.maximum)
            return Usage(QStringLiteral("%1 must be %2..%3, not %4").arg(name).arg(slider.minimum).arg(slider.maximum).arg(*fields[i]));
    }
    if (args.size() != 2 || args.at(0).startsWith(QLatin1String("--")) || args.at(1).startsWith(QLatin1String("--")))
        return Usage(QStringLiteral("tune needs IN and OUT pictures after the options"));

    QImage picture;
    if (!LoadPicture(args.at(0), picture, error))
        return Failure(error);
    const Tuning tuning = TuningFromSliders(positions, false);
    picture = TunedImage(picture, ItemColourMatrix(1.0f, tuning), ItemGamma(tuning));
    if (!SavePicture(picture, args.at(1), error))
        return Failure(error);
    return kOk;
}

int Effect(QStringList args)
{
    if (args.size() != 3)
        return Usage(QStringLiteral("effect needs ID IN OUT"));
    bool ok = false;
    const int id = args.at(0).toInt(&ok);
    if (!ok || !IsEffectCommand(id))
        return Usage(QStringLiteral("'%1' is no effect command (11980-11982, 11984-11986, 11988-11994)").arg(args.at(0)));
    QImage picture;
    QString error;
    if (!LoadPicture(args.at(1), picture, error))
        return Failure(error);
    CollagePicture collage = CollagePictureFromImage(picture);
    if (!ApplyEffect(id, collage))
        return Failure(QStringLiteral("effect %1 failed on %2").arg(id).arg(args.at(1)));
    if (!SavePicture(ImageFromCollagePicture(collage), args.at(2), error))
        return Failure(error);
    return kOk;
}

} // namespace

Command TextCommand()
{
    return {"text",
        "text render --style N [--font FACE] [--height PX] [--colour1 RRGGBB] [--colour2 RRGGBB] "
        "[--transparency F] --text TEXT OUT.png",
        RenderText};
}

Command TuneCommand()
{
    return {"tune",
        "tune [--contrast P] [--brightness P] [--saturation P] [--hue P] [--gamma P] [--color P] IN OUT",
        Tune};
}

Command EffectCommand()
{
    return {"effect", "effect ID IN OUT", Effect};
}

} // namespace tool
