#include "editing/TextRendering.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>
#include <QStringList>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace {

// lfHeight beyond this is taken as this: a damaged record must not ask for gigantic
// glyphs (the panel always stores 48).
constexpr int kMaxFontHeight = 1024;
// lfHeight 0 ("default size") stands for the default 12-point font at 96 pixels per inch.
constexpr int kDefaultFontHeight = 16;
// Off-screen pictures of the soft copies stay below this many pixels.
constexpr qreal kMaxSoftPixels = 16.0 * 1024 * 1024;

constexpr QRgb kFallbackTop = 0xFFD2691E;
constexpr QRgb kFallbackBottom = 0xFFFAEBD7;
constexpr QRgb kStyle2Outline = 0xFFA8A8A8;
constexpr qreal kFlatness = 0.25;

// A device of exactly 96 pixels per inch: measuring happens here, so the box never
// depends on the screen.
const QImage& ReferenceDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780); // 96.01 dpi, rounds to 96
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return device;
}

int FontHeight(const LogFont& font)
{
    const std::int64_t h = std::abs(static_cast<std::int64_t>(font.lfHeight));
    if (h == 0)
        return kDefaultFontHeight;
    return static_cast<int>(std::clamp<std::int64_t>(h, 2, kMaxFontHeight));
}

QString Family(const LogFont& font)
{
    const QString face = font.FaceName();
    if (face.trimmed().isEmpty())
        return QGuiApplication::font().family();
    return face;
}

QFont BaseFont(const LogFont& font)
{
    QFont f;
    f.setFamilies({Family(font)});
    f.setHintingPreference(QFont::PreferNoHinting); // the same outlines and advances everywhere
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// The font at `pixels` em for `device`, whose own resolution turns points into pixels.
QFont FontForDevice(QFont f, qreal pixels, const QPaintDevice* device)
{
    const int dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96;
    f.setPointSizeF(pixels * 72.0 / dpi);
    return device ? QFont(f, device) : f;
}

// The measuring font: regular, (lfHeight x 15) div 20 points.
QFont MeasureFont(const LogFont& font)
{
    const int points = (FontHeight(font) * 15) / 20;
    return FontForDevice(BaseFont(font), points * 96.0 / 72.0, &ReferenceDevice());
}

// A font with its em size in pixels.
struct SizedFont {
    QFont font;
    qreal em;
};

// The string-drawing font, made from the LOGFONT as the system would: a positive lfHeight
// is the cell height (ascent + descent), a negative one the em height; weight, italic,
// underline and strike-out as stored.
SizedFont DrawingFont(const LogFont& font)
{
    QFont f = BaseFont(font);
    if (font.lfWeight > 0)
        f.setWeight(static_cast<QFont::Weight>(std::clamp<std::int32_t>(font.lfWeight, 1, 1000)));
    f.setItalic(font.lfItalic != 0);
    f.setUnderline(font.lfUnderline != 0);
    f.setStrikeOut(font.lfStrikeOut != 0);
    qreal em = FontHeight(font);
    if (font.lfHeight >= 0) {
        const QFontMetricsF probe(FontForDevice(f, 1000.0, &ReferenceDevice()), &ReferenceDevice());
        const qreal cell = probe.ascent() + probe.descent();
        if (cell > 0.0)
            em = em * 1000.0 / cell;
    }
    return {FontForDevice(f, em, &ReferenceDevice()), em};
}

// The path font: bold, em (lfHeight x 18) div 20 pixels.
SizedFont PathFont(const LogFont& font)
{
    QFont f = BaseFont(font);
    f.setWeight(QFont::Bold);
    const int em = std::max(1, (FontHeight(font) * 18) / 20);
    f.setPixelSize(em);
    return {f, static_cast<qreal>(em)};
}

QStringList Lines(const QString& text)
{
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normal.split(QLatin1Char('\n'));
}

// Where a text's lines start: 1/6 em from the left, one line spacing apart.
struct Layout {
    SizedFont sized;
    QStringList lines;
    qreal pad = 0;
    qreal ascent = 0;
    qreal lineSpacing = 0;
};

Layout MakeLayout(const SizedFont& sized, const QString& text)
{
    Layout layout;
    layout.sized = sized;
    layout.lines = Lines(text);
    const QFontMetricsF metrics(sized.font, &ReferenceDevice());
    layout.pad = sized.em / 6.0;
    layout.ascent = metrics.ascent();
    layout.lineSpacing = metrics.lineSpacing();
    return layout;
}

QPointF Baseline(const Layout& layout, qsizetype line)
{
    return {layout.pad, layout.ascent + layout.lineSpacing * static_cast<qreal>(line)};
}

void DrawString(QPainter& painter, const Layout& layout, const QBrush& brush)
{
    painter.setFont(FontForDevice(layout.sized.font, layout.sized.em, painter.device()));
    painter.setPen(QPen(brush, 0));
    for (qsizetype i = 0; i < layout.lines.size(); ++i)
        painter.drawText(Baseline(layout, i), layout.lines.at(i));
}

// The text as one path per glyph, placed as a path built from the whole text would
// place them. Filling and stroking glyph by glyph keeps the rasteriser fast: one path of
// a thousand glyphs costs it a hundred times more than the glyphs one by one.
QList<QPainterPath> GlyphPaths(const Layout& layout)
{
    QList<QPainterPath> glyphs;
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    for (qsizetype i = 0; i < layout.lines.size(); ++i) {
        QTextLayout line(layout.lines.at(i), layout.sized.font);
        line.setTextOption(option);
        line.beginLayout();
        QTextLine textLine = line.createLine();
        if (!textLine.isValid()) {
            line.endLayout();
            continue;
        }
        textLine.setLineWidth(1e9);
        line.endLayout();
        const QPointF origin = Baseline(layout, i) - QPointF(0.0, textLine.ascent());
        for (const QGlyphRun& run : line.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype k = 0; k < indexes.size() && k < positions.size(); ++k) {
                QPainterPath glyph = raw.pathForGlyph(indexes.at(k));
                if (glyph.isEmpty())
                    continue;
                glyph.translate(origin + positions.at(k));
                glyph.setFillRule(Qt::WindingFill);
                glyphs.append(glyph);
            }
        }
    }
    return glyphs;
}

// Cubic Bézier into line segments until every control point lies within `flatness`
// of its chord.
void FlattenCubic(QPolygonF& out, QPointF p0, QPointF p1, QPointF p2, QPointF p3, qreal flatness, int depth)
{
    const QPointF chord = p3 - p0;
    const qreal length = std::hypot(chord.x(), chord.y());
    auto distance = [&](QPointF p) {
        if (length < 1e-9)
            return std::hypot(p.x() - p0.x(), p.y() - p0.y());
        return std::abs((p.x() - p0.x()) * chord.y() - (p.y() - p0.y()) * chord.x()) / length;
    };
    if (depth >= 16 || (distance(p1) <= flatness && distance(p2) <= flatness)) {
        out.append(p3);
        return;
    }
    const QPointF p01 = (p0 + p1) / 2, p12 = (p1 + p2) / 2, p23 = (p2 + p3) / 2;
    const QPointF p012 = (p01 + p12) / 2, p123 = (p12 + p23) / 2;
    const QPointF mid = (p012 + p123) / 2;
    FlattenCubic(out, p0, p01, p012, mid, flatness, depth + 1);
    FlattenCubic(out, mid, p123, p23, p3, flatness, depth + 1);
}

// The figures of a path as polygons, curves flattened; every figure is closed (its last
// point equals its first).
QList<QPolygonF> Flatten(const QPainterPath& path, qreal flatness)
{
    QList<QPolygonF> figures;
    QPolygonF current;
    auto finish = [&] {
        if (current.size() > 1) {
            if (current.first() != current.last())
                current.append(current.first());
            figures.append(current);
        }
        current.clear();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            finish();
            current.append(e);
            break;
        case QPainterPath::LineToElement:
            current.append(e);
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < path.elementCount() && !current.isEmpty()) {
                FlattenCubic(current, current.last(), e, path.elementAt(i + 1), path.elementAt(i + 2), flatness, 0);
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    finish();
    return figures;
}

QPainterPath PolygonPath(const QList<QPolygonF>& figures)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QPolygonF& figure : figures)
        path.addPolygon(figure);
    return path;
}

// The glyph flattened (flatness 0.25) and reduced to its outline: overlapping figures
// merged into one boundary.
QPainterPath Outline(const QPainterPath& glyph)
{
    QPainterPath outline = PolygonPath(Flatten(glyph, kFlatness)).simplified();
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

// The glyphs of one text in one path font, with their flattened forms and outlines made
// when first asked for. Redraws during a drag reuse them.
struct GlyphSet {
    QList<QPainterPath> glyphs;
    std::optional<QList<QPainterPath>> flattened;
    std::optional<QList<QPainterPath>> outlines;

    const QList<QPainterPath>& Flattened()
    {
        if (!flattened) {
            flattened.emplace();
            for (const QPainterPath& glyph : glyphs)
                flattened->append(PolygonPath(Flatten(glyph, kFlatness)));
        }
        return *flattened;
    }

    const QList<QPainterPath>& Outlines()
    {
        if (!outlines) {
            outlines.emplace();
            for (const QPainterPath& glyph : glyphs)
                outlines->append(Outline(glyph));
        }
        return *outlines;
    }
};

GlyphSet& Glyphs(const Layout& layout, const QString& text)
{
    struct Entry {
        QString key;
        std::unique_ptr<GlyphSet> set;
    };
    constexpr std::size_t kEntries = 16;
    thread_local std::deque<Entry> cache; // most recently used first
    QString key = layout.sized.font.key() + QChar(0) + text;
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (it->key == key) {
            if (it != cache.begin()) {
                Entry found = std::move(*it);
                cache.erase(it);
                cache.push_front(std::move(found));
            }
            return *cache.front().set;
        }
    }
    auto set = std::make_unique<GlyphSet>();
    set->glyphs = GlyphPaths(layout);
    cache.push_front({std::move(key), std::move(set)});
    if (cache.size() > kEntries)
        cache.pop_back();
    return *cache.front().set;
}

void Fill(QPainter& painter, const QList<QPainterPath>& glyphs, const QBrush& brush)
{
    for (const QPainterPath& glyph : glyphs)
        painter.fillPath(glyph, brush);
}

void Stroke(QPainter& painter, const QList<QPainterPath>& glyphs, const QPen& pen)
{
    for (const QPainterPath& glyph : glyphs)
        painter.strokePath(glyph, pen);
}

QPen Pen(const QColor& colour, qreal width)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QLinearGradient Vertical(qreal height)
{
    QLinearGradient g(0.0, 0.0, 0.0, std::max<qreal>(height, 1.0));
    g.setSpread(QGradient::RepeatSpread); // a gradient brush repeats beyond its rectangle
    return g;
}

QBrush TwoColourGradient(qreal height, const QColor& top, const QColor& bottom)
{
    QLinearGradient g = Vertical(height);
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    return g;
}

// 8 x 8 hatch patterns, one byte a row, bit 7 the leftmost pixel; set bits take the
// foreground colour.
using Pattern = std::array<std::uint8_t, 8>;

Pattern DottedGrid()
{
    // Dotted lines along the top row and the left column of every cell.
    return {0xAA, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00};
}

Pattern FivePercent()
{
    // Three scattered dots in 64 pixels.
    return {0x80, 0x00, 0x00, 0x04, 0x00, 0x00, 0x20, 0x00};
}

Pattern Weave()
{
    // 4 x 4 blocks of short diagonals, alternately falling and rising, like a basket weave.
    Pattern p{};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool falling = ((x / 4) + (y / 4)) % 2 == 0;
            const bool set = falling ? (x - y + 8) % 4 == 0 : (x + y) % 4 == 3;
            if (set)
                p[static_cast<std::size_t>(y)] |= static_cast<std::uint8_t>(0x80 >> x);
        }
    }
    return p;
}

// A hatch brush in the two colours, its pattern fixed to the device's pixel grid as the
// system's hatch brushes are, whatever the item's transform.
QBrush HatchBrush(const QPainter& painter, const Pattern& pattern, const QColor& fore, const QColor& back)
{
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    const QRgb f = qPremultiply(fore.rgba());
    const QRgb b = qPremultiply(back.rgba());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, (pattern[static_cast<std::size_t>(y)] & (0x80 >> x)) ? f : b);
    QBrush brush(tile);
    bool invertible = false;
    const QTransform inverse = painter.worldTransform().inverted(&invertible);
    if (invertible)
        brush.setTransform(inverse);
    return brush;
}

void SetQuality(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// The soft copy: the drawing made at f times its size in an off-screen picture, then
// stretched back by 1 / f over the target, so that it returns at full size, blurred.
// Only the part of the item that the target can show is made.
void SoftCopy(QPainter& target, const QSizeF& size, qreal em, qreal f, const std::function<void(QPainter&)>& draw)
{
    QRectF area(0.0, 0.0, size.width() + em, size.height() + em);
    bool invertible = false;
    const QTransform toItem = target.worldTransform().inverted(&invertible);
    if (!invertible || !target.device())
        return;
    area = area.intersected(toItem.mapRect(QRectF(0, 0, target.device()->width(), target.device()->height())));
    if (area.isEmpty())
        return;
    const qreal pixels = area.width() * area.height() * f * f;
    if (pixels > kMaxSoftPixels)
        f *= std::sqrt(kMaxSoftPixels / pixels);
    // Start on the grid of the reduced picture so the blur does not depend on the view.
    const qreal left = std::floor(area.left() * f) / f;
    const qreal top = std::floor(area.top() * f) / f;
    constexpr int kMargin = 2;
    const int width = static_cast<int>(std::ceil((area.right() - left) * f)) + 2 * kMargin;
    const int height = static_cast<int>(std::ceil((area.bottom() - top) * f)) + 2 * kMargin;

    QImage soft(width, height, QImage::Format_ARGB32_Premultiplied);
    if (soft.isNull())
        return;
    soft.fill(Qt::transparent);
    {
        QPainter p(&soft);
        SetQuality(p);
        p.translate(kMargin, kMargin);
        p.scale(f, f);
        p.translate(-left, -top);
        draw(p);
    }
    target.drawImage(QRectF(left - kMargin / f, top - kMargin / f, width / f, height / f), soft);
}

// The outline's segments, colour 1 where a segment runs right or down, colour 2 otherwise.
void DrawDirectionalOutline(QPainter& painter, const QList<QPainterPath>& outlines, const QColor& c1, const QColor& c2)
{
    QList<QLineF> forward;
    QList<QLineF> backward;
    QList<QPolygonF> figures;
    for (const QPainterPath& outline : outlines)
        figures.append(outline.toSubpathPolygons());
    for (const QPolygonF& figure : figures) {
        for (qsizetype i = 1; i < figure.size(); ++i) {
            const QLineF segment(figure.at(i - 1), figure.at(i));
            if (segment.dx() > 0 || segment.dy() > 0)
                forward.append(segment);
            else
                backward.append(segment);
        }
        // The closing segment is drawn too, so no figure is left with a gap.
        if (figure.size() > 2 && figure.first() != figure.last()) {
            const QLineF closing(figure.last(), figure.first());
            (closing.dx() > 0 || closing.dy() > 0 ? forward : backward).append(closing);
        }
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Pen(c1, 0.5));
    painter.drawLines(forward);
    painter.setPen(Pen(c2, 0.5));
    painter.drawLines(backward);
}

} // namespace

StyleColours DefaultStyleColours(int style)
{
    auto rgb = [](int r, int g, int b) { return static_cast<std::uint32_t>(r | g << 8 | b << 16); };
    switch (style) {
    case 1: return {rgb(128, 65, 191), rgb(255, 255, 255)};
    case 2: return {rgb(198, 25, 0), rgb(255, 255, 255)};
    case 3: return {rgb(0, 25, 198), rgb(255, 255, 255)};
    case 4: return {rgb(198, 25, 0), rgb(255, 255, 0)};
    case 5: return {rgb(88, 66, 214), rgb(255, 255, 255)};
    case 6: return {rgb(255, 255, 255), rgb(255, 80, 255)};
    case 7: return {rgb(0, 25, 198), rgb(198, 25, 0)};
    default: return {rgb(0, 255, 0), rgb(0, 156, 0)};
    }
}

int TextAlpha(float transparency)
{
    if (!(transparency > 0.0f))
        return 255; // also a NaN from a damaged record
    if (transparency >= 1.0f)
        return 0;
    return static_cast<int>(255.0f - transparency * 255.0f);
}

QColor ColourFromColorRef(std::uint32_t colorRef, int alpha)
{
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
        static_cast<int>((colorRef >> 16) & 0xFF), std::clamp(alpha, 0, 255));
}

QSize MeasureText(const LogFont& font, const QString& text)
{
    if (text.isEmpty())
        return {0, 0};
    const QFont f = MeasureFont(font);
    const QFontMetricsF metrics(f, &ReferenceDevice());
    const QStringList lines = Lines(text);
    qreal widest = 0.0;
    for (const QString& line : lines) {
        // Trailing spaces do not widen the box.
        qsizetype end = line.size();
        while (end > 0 && line.at(end - 1).isSpace())
            --end;
        widest = std::max(widest, metrics.horizontalAdvance(line.left(end)));
    }
    const qreal em = f.pointSizeF() * 96.0 / 72.0;
    const qreal width = widest + em / 3.0;
    const qreal height = metrics.lineSpacing() * static_cast<qreal>(lines.size());
    return {static_cast<int>(width), static_cast<int>(height)};
}

void DrawStyledText(QPainter& painter, int style, const QString& text, const LogFont& font,
    QRect box, std::uint32_t colour1, std::uint32_t colour2, int alpha)
{
    if (!painter.isActive() || text.isEmpty())
        return;
    painter.save();
    SetQuality(painter);

    const QColor c1 = ColourFromColorRef(colour1, alpha);
    const QColor c2 = ColourFromColorRef(colour2, alpha);
    const QSize measured = MeasureText(font, text);
    const qreal H = measured.height();
    const QSizeF boxSize(std::max(0, box.width()), std::max(0, box.height()));

    const bool pathStyle = style >= 2 && style <= 7;
    const Layout layout = MakeLayout(pathStyle ? PathFont(font) : DrawingFont(font), text);
    const qreal em = layout.sized.em;
    auto string = [&](QPainter& p, const QBrush& brush) { DrawString(p, layout, brush); };

    switch (style) {
    case 0:
        SoftCopy(painter, measured, em, 1.0 / 4, [&](QPainter& p) { string(p, c2); });
        string(painter, TwoColourGradient(H, c1, c2));
        break;
    case 1: {
        SoftCopy(painter, measured, em, 1.0 / 4, [&](QPainter& p) { string(p, c1); });
        QLinearGradient g = Vertical(H);
        g.setColorAt(0.0, c1);
        g.setColorAt(0.6, c2);
        g.setColorAt(1.0, c1);
        string(painter, g);
        break;
    }
    case 2: {
        GlyphSet& glyphs = Glyphs(layout, text);
        Fill(painter, glyphs.glyphs, HatchBrush(painter, DottedGrid(), c2, c1));
        painter.setBrush(Qt::NoBrush);
        Stroke(painter, glyphs.Flattened(), Pen(QColor::fromRgba(kStyle2Outline), 1.0));
        break;
    }
    case 3:
        Fill(painter, Glyphs(layout, text).glyphs, HatchBrush(painter, FivePercent(), c2, c1));
        break;
    case 4: {
        GlyphSet& glyphs = Glyphs(layout, text);
        SoftCopy(painter, boxSize, em, 1.0 / 8, [&](QPainter& p) { Fill(p, glyphs.glyphs, c1); });
        // Blend factors 0, 0.5, 1 at 0, 0.5, 1: an even blend.
        Fill(painter, glyphs.glyphs, TwoColourGradient(H, c1, c2));
        DrawDirectionalOutline(painter, glyphs.Outlines(), c1, c2);
        break;
    }
    case 5: {
        GlyphSet& glyphs = Glyphs(layout, text);
        Fill(painter, glyphs.Outlines(), HatchBrush(painter, Weave(), c2, c1));
        Stroke(painter, glyphs.Outlines(), Pen(c1, 2.0));
        break;
    }
    case 6: {
        GlyphSet& glyphs = Glyphs(layout, text);
        SoftCopy(painter, boxSize, em, 1.0 / 8, [&](QPainter& p) { Fill(p, glyphs.glyphs, c2); });
        Fill(painter, glyphs.glyphs, c2);
        Stroke(painter, glyphs.Outlines(), Pen(c1, 2.0));
        break;
    }
    case 7: {
        GlyphSet& glyphs = Glyphs(layout, text);
        SoftCopy(painter, boxSize, em, 1.0 / 2, [&](QPainter& p) {
            Fill(p, glyphs.glyphs, c1);
            Stroke(p, glyphs.glyphs, Pen(c2, 2.0));
        });
        break;
    }
    default:
        string(painter, TwoColourGradient(H, QColor::fromRgba(kFallbackTop), QColor::fromRgba(kFallbackBottom)));
        break;
    }
    painter.restore();
}
