// montara-starter-art OUTDIR CLIPART_LIST SVG_ROOT
//
// Writes the pictures of the starter packs as PNG files, one folder per category
// (frames, masks, shapes, brushes, clipart), and beside each folder a list
// "<category>.txt" with one picture path per line in pack order; frame lines carry the
// opening as "PATH L,T,R,B". Frames, masks, shapes and brushes are drawn here; the
// clip-art pictures are the SVG files named in CLIPART_LIST (paths under SVG_ROOT),
// rendered and trimmed to their drawing, at most kClipArtSide pixels on the longer side.

#include "StarterArt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kClipArtSide = 200;

bool Fail(const QString& message)
{
    std::fprintf(stderr, "montara-starter-art: %s\n", message.toUtf8().constData());
    return false;
}

class Output {
public:
    explicit Output(const QString& root) : root_(root) {}

    bool Begin(const QString& category)
    {
        category_ = category;
        index_ = 0;
        lines_.clear();
        return QDir().mkpath(root_ + QLatin1Char('/') + category);
    }

    bool Add(const QString& name, const QImage& picture, const QString& suffix = QString())
    {
        const QString path =
            QStringLiteral("%1/%2/%3-%4.png").arg(root_, category_).arg(++index_, 2, 10, QLatin1Char('0')).arg(name);
        if (picture.isNull() || !art::Save(picture, path))
            return Fail(QStringLiteral("cannot write %1").arg(path));
        lines_ << (suffix.isEmpty() ? path : path + QLatin1Char(' ') + suffix);
        return true;
    }

    bool End()
    {
        QFile list(root_ + QLatin1Char('/') + category_ + QStringLiteral(".txt"));
        if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            return Fail(QStringLiteral("cannot write %1").arg(list.fileName()));
        QTextStream(&list) << lines_.join(QLatin1Char('\n')) << '\n';
        return true;
    }

private:
    QString root_;
    QString category_;
    int index_ = 0;
    QStringList lines_;
};

// Renders an SVG with room around its view box (many drawings reach outside it), trims the
// picture to what was drawn and scales it to at most side pixels on the longer side.
QImage RenderClipArt(const QString& path, int side)
{
    QSvgRenderer svg(path);
    if (!svg.isValid())
        return {};
    QSizeF size = svg.defaultSize();
    if (size.isEmpty())
        size = svg.viewBoxF().size();
    if (size.isEmpty())
        return {};
    const double scale = 3.0 * side / std::max(size.width(), size.height());
    const QSizeF drawn = size * scale;
    QImage canvas = art::Canvas(int(drawn.width() * 2), int(drawn.height() * 2));
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        svg.render(&p, QRectF(QPointF(drawn.width() / 2, drawn.height() / 2), drawn));
    }
    const QRect bounds = art::OpaqueBounds(canvas, 8);
    if (bounds.isEmpty())
        return {};
    QImage trimmed = canvas.copy(bounds.adjusted(-2, -2, 2, 2));
    return trimmed.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QString NameOf(const QString& svgPath)
{
    QString name = QFileInfo(svgPath).completeBaseName().toLower();
    name.replace(QLatin1Char('_'), QLatin1Char('-'));
    return name.left(40);
}

QString Fraction(float v)
{
    return QString::number(double(v), 'g', 7);
}

bool Run(const QString& out, const QString& clipArtList, const QString& svgRoot)
{
    Output output(out);

    if (!output.Begin(QStringLiteral("frames")))
        return false;
    for (const art::Frame& frame : art::StarterFrames()) {
        const art::Opening& o = frame.opening;
        if (!output.Add(frame.name, frame.picture,
                        QStringLiteral("%1,%2,%3,%4").arg(Fraction(o.left), Fraction(o.top), Fraction(o.right), Fraction(o.bottom))))
            return false;
    }
    if (!output.End())
        return false;

    const std::pair<const char*, std::vector<art::Named> (*)()> drawn[] = {
        {"masks", art::StarterMasks}, {"shapes", art::StarterShapes}, {"brushes", art::StarterBrushes}};
    for (const auto& [category, make] : drawn) {
        if (!output.Begin(QString::fromLatin1(category)))
            return false;
        for (const art::Named& picture : make()) {
            if (!output.Add(picture.name, picture.picture))
                return false;
        }
        if (!output.End())
            return false;
    }

    QFile list(clipArtList);
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return Fail(QStringLiteral("cannot read %1").arg(clipArtList));
    if (!output.Begin(QStringLiteral("clipart")))
        return false;
    QTextStream lines(&list);
    while (!lines.atEnd()) {
        const QString line = lines.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString svg = svgRoot + QLatin1Char('/') + line;
        if (!QFileInfo::exists(svg))
            return Fail(QStringLiteral("%1 is missing (is the openclipart-svg package installed?)").arg(svg));
        if (!output.Add(NameOf(svg), RenderClipArt(svg, kClipArtSide)))
            return false;
    }
    return output.End();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only failures reach stderr: the SVG renderer reports every feature it skips (the
    // pictures are checked by eye), and Qt's start-up notes would clutter the build log.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    });
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: montara-starter-art OUTDIR CLIPART_LIST SVG_ROOT\n");
        return 2;
    }
    return Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
