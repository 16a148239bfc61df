#include "ui/skin/ThemeIcon.h"

#include "ui/skin/Skin.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStandardPaths>

namespace skin {

namespace {

constexpr char kProgramTheme[] = "breeze";
constexpr QColor kGlyph{62, 66, 74};

bool ThemeOnDisk(const QString& theme)
{
    for (const QString& folder : QIcon::themeSearchPaths()) {
        if (QFileInfo::exists(folder + QLatin1Char('/') + theme + QStringLiteral("/index.theme")))
            return true;
    }
    return false;
}

// Glyphs are drawn on a 16-unit grid, scaled to the pixmap size.
void DrawPage(QPainter& p)
{
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawPolyline(QPolygonF({QPointF(9.5, 1.5), QPointF(9.5, 4.5), QPointF(12.5, 4.5)}));
}

void DrawMagnifier(QPainter& p, int sign)
{
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
    p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
    if (sign > 0)
        p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
}

void DrawArrow(QPainter& p, bool left)
{
    QPainterPath arc;
    arc.moveTo(left ? 4 : 12, 7);
    arc.cubicTo(left ? 8 : 8, 3, left ? 14 : 2, 5, left ? 12 : 4, 12);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    const qreal x = left ? 4 : 12;
    const qreal d = left ? 1 : -1;
    p.drawPolyline(QPolygonF({QPointF(x + 3.5 * d, 5.5), QPointF(x, 7), QPointF(x + 1.5 * d, 10.5)}));
}

void DrawGlyph(QPainter& p, const QString& name)
{
    p.setPen(QPen(kGlyph, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (name.startsWith(QLatin1String("zoom-in"))) {
        DrawMagnifier(p, 1);
    } else if (name.startsWith(QLatin1String("zoom-out"))) {
        DrawMagnifier(p, -1);
    } else if (name.startsWith(QLatin1String("edit-undo"))) {
        DrawArrow(p, true);
    } else if (name.startsWith(QLatin1String("edit-redo"))) {
        DrawArrow(p, false);
    } else if (name.contains(QLatin1String("delete")) || name.contains(QLatin1String("close"))
               || name.contains(QLatin1String("remove"))) {
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(4, 12), QPointF(12, 4));
    } else if (name.startsWith(QLatin1String("document-open")) || name.startsWith(QLatin1String("folder"))) {
        QPainterPath folder;
        folder.moveTo(1.5, 3.5);
        folder.lineTo(6, 3.5);
        folder.lineTo(7.5, 5);
        folder.lineTo(14.5, 5);
        folder.lineTo(14.5, 13.5);
        folder.lineTo(1.5, 13.5);
        folder.closeSubpath();
        p.setBrush(kAccentTint);
        p.drawPath(folder);
    } else if (name.startsWith(QLatin1String("document-save"))) {
        p.setBrush(kAccentTint);
        p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 2.5, 6, 4));
        p.drawRect(QRectF(4.5, 9, 7, 4.5));
    } else if (name.startsWith(QLatin1String("document"))) {
        DrawPage(p);
        if (name == QLatin1String("document-new")) {
            p.setPen(QPen(kAccent, 1.6));
            p.drawLine(QPointF(8, 8), QPointF(8, 13));
            p.drawLine(QPointF(5.5, 10.5), QPointF(10.5, 10.5));
        }
    } else {
        // A framed initial of the name's last word.
        const QString word = name.section(QLatin1Char('-'), -1);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2.5, 2.5);
        QFont font = p.font();
        font.setPixelSize(10);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, word.left(1).toUpper());
    }
}

} // namespace

bool UseProgramIconTheme()
{
    static const bool found = [] {
        const QString theme = QString::fromLatin1(kProgramTheme);
        // Platforms without a desktop theme (offscreen, minimal) search only the resources;
        // add the system's icon folders.
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& folder :
             QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                       QStandardPaths::LocateDirectory)) {
            if (!paths.contains(folder))
                paths.append(folder);
        }
        QIcon::setThemeSearchPaths(paths);
        if (!ThemeOnDisk(theme))
            return !QIcon::themeName().isEmpty() && ThemeOnDisk(QIcon::themeName());
        QIcon::setThemeName(theme);
        return true;
    }();
    return found;
}

QIcon GlyphIcon(const QString& name)
{
    QIcon icon;
    for (const int size : {16, 22, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        DrawGlyph(p, name);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ThemeIcon(const QString& name)
{
    UseProgramIconTheme();
    if (QIcon::hasThemeIcon(name)) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull() && !icon.availableSizes().isEmpty())
            return icon;
        // The theme lists the name but no engine could load it (no SVG icon plug-in).
        if (!icon.pixmap(16, 16).isNull())
            return icon;
    }
    return GlyphIcon(name);
}

} // namespace skin
