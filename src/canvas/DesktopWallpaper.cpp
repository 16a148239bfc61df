#include "canvas/DesktopWallpaper.h"

#include "base/DataFolder.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QUrl>

#include <algorithm>

namespace wallpaper {

namespace {

constexpr int kCommandTimeoutMs = 5000;

int Clamped(int placement)
{
    return std::clamp(placement, 0, 2);
}

QString FileUri(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

// Runs a program; the error text when it fails.
QString Run(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(kCommandTimeoutMs))
        return QStringLiteral("%1 could not be started").arg(program);
    process.closeWriteChannel();
    if (!process.waitForFinished(kCommandTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return QStringLiteral("%1 did not answer").arg(program);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString err = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return QStringLiteral("%1 failed%2").arg(program, err.isEmpty() ? QString() : QStringLiteral(": ") + err);
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return QString();
}

Result RunAll(const QList<Command>& commands)
{
    for (const Command& c : commands) {
        const QString error = Run(c.program, c.arguments);
        if (!error.isEmpty())
            return {false, error};
    }
    return {true, QString()};
}

Result ApplyKde(const QString& picturePath, int placement, bool remove)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                                                       QStringLiteral("org.kde.PlasmaShell"),
                                                       QStringLiteral("evaluateScript"));
    call << KdeScript(picturePath, placement, remove);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kCommandTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return {false, QStringLiteral("the Plasma shell refused the wallpaper: %1").arg(reply.errorMessage())};
    return {true, QString()};
}

// Xfce keeps one setting per monitor and workspace: every existing last-image property
// gets the picture, and its image-style the placement (0 none, 1 centred, 2 tiled,
// 3 stretched).
Result ApplyXfce(const QString& picturePath, int placement, bool remove)
{
    const QString xfconf = QStringLiteral("xfconf-query");
    const QString channel = QStringLiteral("xfce4-desktop");
    QString listing;
    const QString error = Run(xfconf, {QStringLiteral("-c"), channel, QStringLiteral("-l")}, &listing);
    if (!error.isEmpty())
        return {false, error};
    QStringList images;
    for (const QString& line : listing.split(u'\n', Qt::SkipEmptyParts)) {
        const QString property = line.trimmed();
        if (property.startsWith(QLatin1String("/backdrop/")) && property.endsWith(QLatin1String("/last-image")))
            images << property;
    }
    if (images.isEmpty())
        images << QStringLiteral("/backdrop/screen0/monitor0/workspace0/last-image");
    const int style = remove ? 0 : Clamped(placement) + 1;
    QList<Command> commands;
    for (const QString& image : images) {
        const QString base = image.left(image.size() - int(sizeof("last-image") - 1));
        if (!remove)
            commands.push_back({xfconf, {QStringLiteral("-c"), channel, QStringLiteral("-p"), image, QStringLiteral("-n"),
                                         QStringLiteral("-t"), QStringLiteral("string"), QStringLiteral("-s"), picturePath}});
        commands.push_back({xfconf, {QStringLiteral("-c"), channel, QStringLiteral("-p"), base + QStringLiteral("image-style"),
                                     QStringLiteral("-n"), QStringLiteral("-t"), QStringLiteral("int"), QStringLiteral("-s"),
                                     QString::number(style)}});
    }
    return RunAll(commands);
}

Result Unsupported(const QString& picturePath)
{
    if (picturePath.isEmpty())
        return {false, QStringLiteral("This desktop's wallpaper cannot be changed by Montara.")};
    return {false, QStringLiteral("This desktop's wallpaper cannot be set by Montara. The picture was saved as\n%1\n"
                                  "and can be chosen in the desktop's own settings.")
                       .arg(picturePath)};
}

} // namespace

Desktop DesktopFrom(const QString& xdgCurrentDesktop)
{
    for (const QString& name : xdgCurrentDesktop.split(u':', Qt::SkipEmptyParts)) {
        const QString n = name.trimmed().toLower();
        if (n == QLatin1String("gnome") || n == QLatin1String("unity") || n == QLatin1String("budgie") ||
            n == QLatin1String("pantheon") || n == QLatin1String("gnome-classic") || n == QLatin1String("gnome-flashback"))
            return Desktop::Gnome;
        if (n == QLatin1String("kde"))
            return Desktop::Kde;
        if (n == QLatin1String("xfce"))
            return Desktop::Xfce;
    }
    return Desktop::Other;
}

Desktop CurrentDesktop()
{
    return DesktopFrom(QProcessEnvironment::systemEnvironment().value(QStringLiteral("XDG_CURRENT_DESKTOP")));
}

QString WallpaperFilePath()
{
    return DataFolder() + QStringLiteral("Montara Wallpaper.bmp");
}

QList<Command> GnomeCommands(const QString& picturePath, int placement, bool remove)
{
    static const char* const kOptions[] = {"centered", "wallpaper", "stretched"};
    const QString gsettings = QStringLiteral("gsettings");
    const QString schema = QStringLiteral("org.gnome.desktop.background");
    const QString uri = remove ? QString() : FileUri(picturePath);
    const QString options = remove ? QStringLiteral("none") : QLatin1String(kOptions[Clamped(placement)]);
    return {
        {gsettings, {QStringLiteral("set"), schema, QStringLiteral("picture-options"), options}},
        {gsettings, {QStringLiteral("set"), schema, QStringLiteral("picture-uri"), uri}},
        {gsettings, {QStringLiteral("set"), schema, QStringLiteral("picture-uri-dark"), uri}},
    };
}

QString KdeScript(const QString& picturePath, int placement, bool remove)
{
    // Plasma's fill modes: 6 centred, 3 tiled, 0 scaled (stretched).
    static const int kFillModes[] = {6, 3, 0};
    QString uri = remove ? QString() : FileUri(picturePath);
    uri.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));
    return QStringLiteral("var all = desktops();\n"
                          "for (var i = 0; i < all.length; i++) {\n"
                          "  var d = all[i];\n"
                          "  d.wallpaperPlugin = \"org.kde.image\";\n"
                          "  d.currentConfigGroup = Array(\"Wallpaper\", \"org.kde.image\", \"General\");\n"
                          "  d.writeConfig(\"Image\", \"%1\");\n"
                          "  d.writeConfig(\"FillMode\", %2);\n"
                          "}\n")
        .arg(uri)
        .arg(kFillModes[Clamped(placement)]);
}

Result Apply(Desktop desktop, const QString& picturePath, int placement)
{
    switch (desktop) {
    case Desktop::Gnome: {
        QList<Command> commands = GnomeCommands(picturePath, placement, false);
        // Schemas before GNOME 42 have no dark variant: the other two keys suffice there.
        const Command dark = commands.takeLast();
        Result result = RunAll(commands);
        if (result.ok)
            Run(dark.program, dark.arguments);
        return result;
    }
    case Desktop::Kde:
        return ApplyKde(picturePath, placement, false);
    case Desktop::Xfce:
        return ApplyXfce(picturePath, placement, false);
    case Desktop::Other:
        break;
    }
    return Unsupported(picturePath);
}

Result Remove(Desktop desktop)
{
    switch (desktop) {
    case Desktop::Gnome: {
        QList<Command> commands = GnomeCommands(QString(), 0, true);
        const Command dark = commands.takeLast();
        Result result = RunAll(commands);
        if (result.ok)
            Run(dark.program, dark.arguments);
        return result;
    }
    case Desktop::Kde:
        return ApplyKde(QString(), 0, true);
    case Desktop::Xfce:
        return ApplyXfce(QString(), 0, true);
    case Desktop::Other:
        break;
    }
    return Unsupported(QString());
}

} // namespace wallpaper
