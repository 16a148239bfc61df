#include "canvas/DesktopWallpaper.h"
#include "support/EnvScope.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString GsettingsGet(const QString& key)
{
    QProcess p;
    p.start(QStringLiteral("gsettings"), {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.background"), key});
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool GnomeSchemaInstalled()
{
    if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty())
        return false;
    QProcess p;
    p.start(QStringLiteral("gsettings"), {QStringLiteral("list-keys"), QStringLiteral("org.gnome.desktop.background")});
    p.waitForFinished(5000);
    return p.exitCode() == 0;
}

} // namespace

TEST(Wallpaper, TheDesktopIsToldApartFromXdgCurrentDesktop)
{
    using wallpaper::Desktop;
    EXPECT_EQ(wallpaper::DesktopFrom(QStringLiteral("GNOME")), Desktop::Gnome);
    EXPECT_EQ(wallpaper::DesktopFrom(QStringLiteral("ubuntu:GNOME")), Desktop::Gnome);
    EXPECT_EQ(wallpaper::DesktopFrom(QStringLiteral("Budgie:GNOME")), Desktop::Gnome);
    EXPECT_EQ(wallpaper::DesktopFrom(QStringLiteral("KDE")), Desktop::Kde);
    EXPECT_EQ(wallpaper::DesktopFrom(QStringLiteral("XFCE")), Desktop::Xfce);
    EXPECT_EQ(wallpaper::DesktopFrom(QStringLiteral("X-Cinnamon")), Desktop::Other);
    EXPECT_EQ(wallpaper::DesktopFrom(QString()), Desktop::Other);
    EXPECT_TRUE(wallpaper::WallpaperFilePath().endsWith(QLatin1String("/Montara Wallpaper.bmp")));
}

// The GNOME path through the real gsettings program, on its keyfile backend in a
// configuration folder of the test's own.
TEST(Wallpaper, GnomeSetsAndClearsTheBackgroundKeys)
{
    if (!GnomeSchemaInstalled())
        GTEST_SKIP() << "gsettings or the GNOME desktop schemas are not installed";
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    EnvScope env;
    env.Set("GSETTINGS_BACKEND", "keyfile");
    env.Set("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    const QString picture = config.filePath(QStringLiteral("Montara Wallpaper.bmp"));
    const char* const options[] = {"'centered'", "'wallpaper'", "'stretched'"};
    for (int placement = 0; placement < 3; ++placement) {
        const wallpaper::Result result = wallpaper::Apply(wallpaper::Desktop::Gnome, picture, placement);
        ASSERT_TRUE(result.ok) << result.message.toStdString();
        EXPECT_EQ(GsettingsGet(QStringLiteral("picture-options")), QLatin1String(options[placement]));
        const QString uri = GsettingsGet(QStringLiteral("picture-uri"));
        EXPECT_TRUE(uri.startsWith(QLatin1String("'file:///"))) << uri.toStdString();
        EXPECT_TRUE(uri.contains(QLatin1String("Montara%20Wallpaper.bmp"))) << uri.toStdString();
        EXPECT_EQ(GsettingsGet(QStringLiteral("picture-uri-dark")), uri);
    }
    // The settings really went to the test's own keyfile.
    EXPECT_TRUE(QFile::exists(config.filePath(QStringLiteral("glib-2.0/settings/keyfile"))));

    const wallpaper::Result removed = wallpaper::Remove(wallpaper::Desktop::Gnome);
    ASSERT_TRUE(removed.ok) << removed.message.toStdString();
    EXPECT_EQ(GsettingsGet(QStringLiteral("picture-uri")), QLatin1String("''"));
    EXPECT_EQ(GsettingsGet(QStringLiteral("picture-options")), QLatin1String("'none'"));
}

// Xfce's own program is stood in for by a script that lists two workspaces and records
// what it is told to set.
TEST(Wallpaper, XfceSetsEveryWorkspaceOfEveryMonitor)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QString log = bin.filePath(QStringLiteral("calls.txt"));
    QFile script(bin.filePath(QStringLiteral("xfconf-query")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n"
                 "case \"$*\" in\n"
                 "  *' -l'*) printf '/backdrop/screen0/monitor0/workspace0/last-image\\n"
                 "/backdrop/screen0/monitor0/workspace0/image-style\\n"
                 "/backdrop/screen0/monitorHDMI-1/workspace1/last-image\\n/other/key\\n' ;;\n"
                 "  *) echo \"$*\" >> '" + QFile::encodeName(log) + "' ;;\n"
                 "esac\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EnvScope env;
    env.Set("PATH", QFile::encodeName(bin.path()) + ':' + qgetenv("PATH"));

    ASSERT_TRUE(wallpaper::Apply(wallpaper::Desktop::Xfce, QStringLiteral("/data/Montara Wallpaper.bmp"), 2).ok);
    QFile calls(log);
    ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(calls.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].contains(QLatin1String("monitor0/workspace0/last-image")));
    EXPECT_TRUE(lines[0].endsWith(QLatin1String("-s /data/Montara Wallpaper.bmp")));
    EXPECT_TRUE(lines[1].contains(QLatin1String("monitor0/workspace0/image-style")));
    EXPECT_TRUE(lines[1].endsWith(QLatin1String("-s 3"))); // stretched
    EXPECT_TRUE(lines[2].contains(QLatin1String("monitorHDMI-1/workspace1/last-image")));
    calls.close();
    QFile::remove(log);

    ASSERT_TRUE(wallpaper::Remove(wallpaper::Desktop::Xfce).ok);
    ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
    const QStringList removed = QString::fromUtf8(calls.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(removed.size(), 2); // image-style 0 on both, the pictures stay named
    EXPECT_TRUE(removed[0].endsWith(QLatin1String("image-style -n -t int -s 0")));
}

TEST(Wallpaper, KdeScriptNamesThePictureAndTheFillMode)
{
    const QString script = wallpaper::KdeScript(QStringLiteral("/home/a \"b\"/Montara Wallpaper.bmp"), 1, false);
    EXPECT_TRUE(script.contains(QLatin1String("writeConfig(\"FillMode\", 3)")));
    EXPECT_TRUE(script.contains(QLatin1String("file:///home/a%20%22b%22/Montara%20Wallpaper.bmp")));
    EXPECT_TRUE(wallpaper::KdeScript(QString(), 0, true).contains(QLatin1String("writeConfig(\"Image\", \"\")")));
}

TEST(Wallpaper, AnotherDesktopGetsAMessageNamingTheFile)
{
    const wallpaper::Result result = wallpaper::Apply(wallpaper::Desktop::Other, QStringLiteral("/d/Montara Wallpaper.bmp"), 0);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains(QLatin1String("/d/Montara Wallpaper.bmp")));
    EXPECT_FALSE(wallpaper::Remove(wallpaper::Desktop::Other).ok);
}
