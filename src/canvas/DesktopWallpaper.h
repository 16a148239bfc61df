#pragma once

// The desktop wallpaper: which desktop is running, and how to make a picture file its
// wallpaper or clear it. No widgets; each desktop is set through its own settings
// service, the way its own settings panel does it:
//   GNOME family (GNOME, Unity, Budgie, Pantheon): gsettings, org.gnome.desktop.background,
//     picture-uri and picture-uri-dark as file URIs, picture-options
//   KDE Plasma: the shell's D-Bus scripting interface (org.kde.PlasmaShell.evaluateScript)
//   Xfce: xfconf-query on the xfce4-desktop channel, every monitor and workspace
// Any other desktop is not touched; the result then says so, naming the written file.
//
// Placement is the collage background's: 0 centred, 1 tiled, 2 stretched.

#include <QString>
#include <QStringList>

namespace wallpaper {

enum class Desktop { Gnome, Kde, Xfce, Other };

// From the value of XDG_CURRENT_DESKTOP (a colon-separated list, any letter case).
Desktop DesktopFrom(const QString& xdgCurrentDesktop);
// The running desktop, from the environment.
Desktop CurrentDesktop();

// "Montara Wallpaper.bmp" in the data folder.
QString WallpaperFilePath();

struct Result {
    bool ok = false;
    QString message; // for the user when not ok
};

// Makes `picturePath` the wallpaper of `desktop` with the placement (clamped to 0..2).
Result Apply(Desktop desktop, const QString& picturePath, int placement);
// Clears the wallpaper of `desktop` (the desktop then shows its plain colour).
Result Remove(Desktop desktop);

// The commands each desktop is given, for tests and for the user's message: programs
// with their arguments. KDE's script is one argument.
struct Command {
    QString program;
    QStringList arguments;
};
QList<Command> GnomeCommands(const QString& picturePath, int placement, bool remove);
QString KdeScript(const QString& picturePath, int placement, bool remove);

} // namespace wallpaper
