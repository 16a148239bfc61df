#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/ProjectCommands.h"
#include "base/UserMessage.h"
#include "support/EnvScope.h"
#include "canvas/CanvasWnd.h"
#include "canvas/DesktopWallpaper.h"
#include "persist/ProjectFile.h"
#include "ui/dialogs/NewCollageDialog.h"
#include "ui/skin/SkinFlatButtons.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

class MessageCatcher {
public:
    MessageCatcher()
        : previous_(SetMessageHandler([this](MessageKind, const QString& text) { messages.push_back(text); }))
    {
    }
    ~MessageCatcher() { SetMessageHandler(previous_); }
    QStringList messages;

private:
    MessageHandler previous_;
};

bool WritePhoto(const QString& path, QSize size, QColor colour)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path);
}

// The window, the canvas and the commands, with every dialog and question answered from
// scripts the test fills. Each event is logged in order.
class ProjectCommandsTest : public ::testing::Test {
protected:
    ProjectCommandsTest()
        : canvas(&window),
          commands(&window, canvas)
    {
        window.resize(900, 700);
        canvas.resize(800, 600);
        ProjectCommands::Hooks hooks;
        hooks.ask = [this](QWidget*, const QString& text) {
            log << QStringLiteral("ask: ") + text;
            EXPECT_FALSE(answers.empty()) << "unexpected question: " << text.toStdString();
            if (answers.empty())
                return false;
            const bool yes = answers.front();
            answers.pop_front();
            return yes;
        };
        hooks.chooseFile = [this](QWidget*, const dialogs::FileRequest& request) {
            requests << request;
            log << QStringLiteral("file: ") + request.title;
            EXPECT_FALSE(files.empty()) << "unexpected file dialog: " << request.title.toStdString();
            if (files.empty())
                return QString();
            const QString path = files.front();
            files.pop_front();
            return path;
        };
        hooks.chooseFolder = [this](QWidget*, const QString& title) {
            log << QStringLiteral("folder: ") + title;
            return folder;
        };
        hooks.runDialog = [this](NewCollageDialog& dialog) {
            log << QStringLiteral("dialog: ") + dialog.windowTitle();
            shownWidth = dialog.WidthEdit()->text();
            shownHeight = dialog.HeightEdit()->text();
            shownPath = dialog.PathEdit()->text();
            if (!fillDialog)
                return false;
            fillDialog(dialog);
            return dialog.TryAccept();
        };
        commands.SetHooks(hooks);
        EXPECT_TRUE(dir.isValid());
    }

    // A collage with two photos and a text-free clip-art buffer item, marked modified.
    void MakeCollage()
    {
        ASSERT_TRUE(WritePhoto(dir.filePath("a.png"), {64, 48}, Qt::red));
        ASSERT_TRUE(canvas.AddPhoto(dir.filePath("a.png"), 64, 48, 10, 10));
        ASSERT_TRUE(canvas.AddPhoto(dir.filePath("a.png"), 64, 48, 300, 200));
        ASSERT_TRUE(canvas.Model().Modified());
    }

    QByteArray Bytes() const { return project::ProjectBytes(canvas.Model()); }

    QWidget window;
    CanvasWnd canvas;
    ProjectCommands commands;
    QTemporaryDir dir;
    MessageCatcher catcher;

    std::deque<bool> answers;
    std::deque<QString> files;
    QString folder;
    std::function<void(NewCollageDialog&)> fillDialog;
    QList<dialogs::FileRequest> requests;
    QStringList log;
    QString shownWidth, shownHeight, shownPath;
};

void SetSize(NewCollageDialog& dialog, int width, int height)
{
    dialog.WidthEdit()->setText(QString::number(width));
    dialog.HeightEdit()->setText(QString::number(height));
}

} // namespace

// ---- New ----

TEST_F(ProjectCommandsTest, NewOnAnUnmodifiedCanvasShowsTheDialogAtOnce)
{
    fillDialog = [](NewCollageDialog& d) {
        SetSize(d, 800, 600);
        d.PathEdit()->setText(QStringLiteral("/nowhere/bg.png"));
        d.PlacementButton(2)->click();
    };
    commands.NewProject();
    EXPECT_EQ(log, QStringList{QStringLiteral("dialog: Create New Collage")});
    EXPECT_EQ(shownWidth, QStringLiteral("1024"));
    EXPECT_EQ(shownHeight, QStringLiteral("768"));
    EXPECT_EQ(canvas.Model().CanvasWidth(), 800);
    EXPECT_EQ(canvas.Model().CanvasHeight(), 600);
    EXPECT_EQ(canvas.Model().BackgroundImagePath(), QStringLiteral("/nowhere/bg.png"));
    EXPECT_EQ(canvas.Model().BackgroundPlacementValue(), 2);
    EXPECT_FALSE(canvas.Model().Modified());
}

TEST_F(ProjectCommandsTest, NewOnAModifiedCanvasYesSavesThenShowsTheDialogAndOkEmptiesTheCanvas)
{
    MakeCollage();
    answers = {true};
    files = {dir.filePath("saved.vmz")};
    fillDialog = [](NewCollageDialog& d) { SetSize(d, 640, 480); };
    commands.NewProject();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], QStringLiteral("ask: Project has been modified, Do you want to save it?"));
    EXPECT_TRUE(log[1].startsWith(QLatin1String("file: ")));
    EXPECT_EQ(log[2], QStringLiteral("dialog: Create New Collage"));
    EXPECT_TRUE(QFileInfo(dir.filePath("saved.vmz")).isFile());
    EXPECT_EQ(canvas.Model().ItemCount(), 0);
    EXPECT_EQ(canvas.Model().CanvasWidth(), 640);
    EXPECT_FALSE(canvas.Model().Modified());
}

TEST_F(ProjectCommandsTest, NewYesWithTheSaveCancelledGoesOnToTheDialog)
{
    MakeCollage();
    answers = {true};
    files = {QString()};
    commands.NewProject(); // the dialog is cancelled too
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[2], QStringLiteral("dialog: Create New Collage"));
    EXPECT_EQ(canvas.Model().ItemCount(), 2);
    EXPECT_TRUE(canvas.Model().Modified());
}

TEST_F(ProjectCommandsTest, NewNoThenCancelLeavesTheCollageAsItWasAndStillModified)
{
    MakeCollage();
    const QByteArray before = Bytes();
    answers = {false};
    commands.NewProject();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].startsWith(QLatin1String("ask: ")));
    EXPECT_TRUE(requests.isEmpty());
    EXPECT_EQ(Bytes(), before);
    EXPECT_TRUE(canvas.Model().Modified());
}

// ---- Open ----

TEST_F(ProjectCommandsTest, OpenAsksOnAModifiedCanvasAndUsesTheProjectFilter)
{
    MakeCollage();
    const QByteArray before = Bytes();
    answers = {false};
    files = {QString()}; // the open dialog cancelled
    commands.OpenProject();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0], QStringLiteral("ask: Current project has been modified, Do you want to save it?"));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].mode, dialogs::FileRequest::Mode::Open);
    EXPECT_EQ(requests[0].filter, QStringLiteral("collage files (*.vmz)"));
    EXPECT_TRUE(requests[0].initialName.isEmpty());
    EXPECT_TRUE(requests[0].defaultSuffix.isEmpty());
    EXPECT_EQ(Bytes(), before);
    EXPECT_TRUE(canvas.Model().Modified());
}

TEST_F(ProjectCommandsTest, OpenYesSavesFirstThenLoadsTheChosenFile)
{
    MakeCollage();
    ASSERT_TRUE(project::SaveProject(canvas.Model(), dir.filePath("other.vmz")));
    canvas.ResetCanvas();
    canvas.SetCanvasSize(400, 300);
    canvas.Model().SetModified(true);
    answers = {true};
    files = {dir.filePath("first.vmz"), dir.filePath("other.vmz")};
    commands.OpenProject();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].mode, dialogs::FileRequest::Mode::Save);
    EXPECT_EQ(requests[1].mode, dialogs::FileRequest::Mode::Open);
    EXPECT_TRUE(QFileInfo(dir.filePath("first.vmz")).isFile());
    EXPECT_EQ(canvas.Model().ItemCount(), 2);
    EXPECT_EQ(canvas.Model().CanvasWidth(), 1024);
    EXPECT_FALSE(canvas.Model().Modified());
    EXPECT_TRUE(catcher.messages.isEmpty());
}

TEST_F(ProjectCommandsTest, AFileThatCannotBeOpenedOrIsRefusedIsToldAndTheCollageStays)
{
    MakeCollage();
    const QByteArray before = Bytes();
    QFile bad(dir.filePath("bad.vmz"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    QByteArray header(280, '\0'); // width 0: refused
    bad.write(header);
    bad.close();
    for (const QString& path : {dir.filePath("missing.vmz"), dir.filePath("bad.vmz"), dir.path()}) {
        catcher.messages.clear();
        EXPECT_FALSE(commands.OpenProjectFile(path)) << path.toStdString();
        ASSERT_EQ(catcher.messages.size(), 1) << path.toStdString();
        EXPECT_TRUE(catcher.messages[0].startsWith(QLatin1String("The project could not be opened")));
        EXPECT_EQ(Bytes(), before);
        EXPECT_TRUE(canvas.Model().Modified());
    }
}

TEST_F(ProjectCommandsTest, ATruncatedFileNeverReplacesTheCollageWithoutTheUsersYes)
{
    MakeCollage();
    ASSERT_TRUE(project::SaveProject(canvas.Model(), dir.filePath("whole.vmz")));
    QFile whole(dir.filePath("whole.vmz"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    QFile cut(dir.filePath("cut.vmz"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(280 + 4 + 400 + 100)); // the second photo ends early
    cut.close();

    canvas.ResetCanvas();
    canvas.SetCanvasSize(400, 300);
    ASSERT_TRUE(canvas.AddPhoto(dir.filePath("a.png"), 64, 48, 0, 0));
    const QByteArray before = Bytes();

    answers = {false};
    EXPECT_FALSE(commands.OpenProjectFile(dir.filePath("cut.vmz")));
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].contains(QLatin1String("cut.vmz")));
    EXPECT_TRUE(log[0].contains(QLatin1String("Only 1 of its items")));
    EXPECT_EQ(Bytes(), before);

    answers = {true};
    EXPECT_TRUE(commands.OpenProjectFile(dir.filePath("cut.vmz")));
    EXPECT_EQ(canvas.Model().ItemCount(), 1);
    EXPECT_EQ(canvas.Model().CanvasWidth(), 1024);
    EXPECT_TRUE(canvas.Model().Modified()); // what was read matches no file
}

// ---- Save ----

TEST_F(ProjectCommandsTest, SavingWithTheInitialNameGivesUntitledVmz)
{
    MakeCollage();
    files = {dir.filePath("untitled")};
    EXPECT_TRUE(commands.SaveProjectAs());
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].mode, dialogs::FileRequest::Mode::Save);
    EXPECT_EQ(requests[0].filter, QStringLiteral("(*.vmz)"));
    EXPECT_EQ(requests[0].initialName, QStringLiteral("untitled"));
    EXPECT_EQ(requests[0].defaultSuffix, QStringLiteral("vmz"));
    EXPECT_TRUE(requests[0].confirmOverwrite);
    EXPECT_TRUE(QFileInfo(dir.filePath("untitled.vmz")).isFile());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("untitled")));
    EXPECT_FALSE(canvas.Model().Modified());
}

TEST_F(ProjectCommandsTest, AFailedSaveTellsWhyAndLeavesTheCollageModified)
{
    MakeCollage();
    files = {dir.filePath("no/such/folder/c.vmz")};
    EXPECT_FALSE(commands.SaveProjectAs());
    ASSERT_EQ(catcher.messages.size(), 1);
    EXPECT_TRUE(catcher.messages[0].contains(QLatin1String("could not be saved")));
    EXPECT_TRUE(catcher.messages[0].contains(dir.filePath("no/such/folder/c.vmz")));
    EXPECT_TRUE(canvas.Model().Modified());
    // Cancel: nothing written, still modified.
    files = {QString()};
    EXPECT_FALSE(commands.SaveProjectAs());
    EXPECT_TRUE(canvas.Model().Modified());
}

TEST_F(ProjectCommandsTest, ACalendarLikeBufferItemSurvivesSaveAndReopenWithItsPixels)
{
    std::vector<std::uint8_t> pixels(std::size_t(40) * 30 * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 7 + 3);
    ASSERT_TRUE(canvas.AddPictureItem(pixels, 40, 30));
    MakeCollage();
    files = {dir.filePath("calendar.vmz")};
    ASSERT_TRUE(commands.SaveProjectAs());

    fillDialog = [](NewCollageDialog&) {};
    commands.NewProject(); // an empty collage between
    ASSERT_EQ(canvas.Model().ItemCount(), 0);

    files = {dir.filePath("calendar.vmz")};
    commands.OpenProject();
    ASSERT_EQ(canvas.Model().ItemCount(), 3);
    const auto* clipArt = std::get_if<ClipArt>(&canvas.Model().ItemAt(0));
    ASSERT_NE(clipArt, nullptr);
    EXPECT_EQ(clipArt->fromMemory, 1);
    const PictureBuffer* buffer = canvas.Model().PictureBufferAt(clipArt->sourceIndex);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->width, 40);
    EXPECT_EQ(buffer->height, 30);
    EXPECT_EQ(buffer->pixels, pixels);
    EXPECT_FALSE(canvas.Model().Modified());
}

// ---- Settings ----

TEST_F(ProjectCommandsTest, SettingsShowTheCanvasValuesAndASmallerCanvasKeepsEveryItem)
{
    MakeCollage();
    canvas.SetBackground(0x00112233, BackgroundPlacement::Tile, dir.filePath("a.png"));
    canvas.Model().SetModified(false);
    std::vector<QByteArray> records;
    for (int i = 0; i < canvas.Model().ItemCount(); ++i)
        records.push_back(Bytes().mid(280 + i * 404, 404));
    fillDialog = [](NewCollageDialog& d) { SetSize(d, 100, 80); };
    commands.CollageSettings();
    EXPECT_EQ(log, QStringList{QStringLiteral("dialog: Collage Setting")});
    EXPECT_EQ(shownWidth, QStringLiteral("1024"));
    EXPECT_EQ(shownHeight, QStringLiteral("768"));
    EXPECT_EQ(shownPath, dir.filePath("a.png"));
    EXPECT_EQ(canvas.Model().CanvasWidth(), 100);
    EXPECT_EQ(canvas.Model().CanvasHeight(), 80);
    ASSERT_EQ(canvas.Model().ItemCount(), 2); // the second photo now lies outside
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Bytes().mid(280 + i * 404, 404), records[std::size_t(i)]) << i;
    EXPECT_EQ(canvas.Model().BackgroundColor(), 0x00112233u);
    EXPECT_EQ(canvas.Model().BackgroundPlacementValue(), 1);
    EXPECT_TRUE(canvas.Model().Modified());

    // Cancel changes nothing.
    log.clear();
    const QByteArray before = Bytes();
    fillDialog = nullptr;
    commands.CollageSettings();
    EXPECT_EQ(Bytes(), before);
}

// ---- Export ----

TEST_F(ProjectCommandsTest, ExportAtZoom125GivesTheCanvasSizeAndKeepsZoomAndScroll)
{
    canvas.SetCanvasSize(640, 480);
    MakeCollage();
    ASSERT_TRUE(canvas.SetZoom(1.25f));
    canvas.SetScroll(30, 40);
    files = {dir.filePath("out.png")};
    EXPECT_TRUE(commands.ExportPicture());
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].initialName, QStringLiteral("*.jpg"));
    EXPECT_EQ(requests[0].filter, projectcmd::ExportFilter());
    EXPECT_TRUE(requests[0].filter.startsWith(QLatin1String("(*.jpg);;(*.jpeg);;(*.bmp);;(*.gif);;(*.png)")));
    EXPECT_TRUE(requests[0].confirmOverwrite);
    const QImage out(dir.filePath("out.png"));
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(out.size(), QSize(640, 480));
    EXPECT_EQ(out.pixelColor(635, 475), QColor(Qt::white)); // the background
    EXPECT_FLOAT_EQ(canvas.Model().Zoom(), 1.25f);
    EXPECT_EQ(canvas.Model().ScrollX(), 30);
    EXPECT_EQ(canvas.Model().ScrollY(), 40);
    EXPECT_TRUE(catcher.messages.isEmpty());
}

TEST_F(ProjectCommandsTest, ExportedPictureShowsThePhotosWhereTheyStand)
{
    canvas.SetCanvasSize(200, 160);
    ASSERT_TRUE(WritePhoto(dir.filePath("b.png"), {100, 80}, Qt::blue));
    ASSERT_TRUE(canvas.AddPhoto(dir.filePath("b.png"), 100, 80, 0, 0));
    EXPECT_TRUE(commands.WritePicture(dir.filePath("shot.bmp")));
    const QImage out(dir.filePath("shot.bmp"));
    ASSERT_EQ(out.size(), QSize(200, 160));
    const auto& photo = std::get<Photo>(canvas.Model().ItemAt(0));
    const QPoint inside(photo.posX + 20, photo.posY + 20);
    EXPECT_EQ(out.pixelColor(inside), QColor(Qt::blue)) << photo.posX << "," << photo.posY;
}

// The picture is composed from a copy of the collage on another thread: it must be the
// picture the canvas itself composes, text and buffer items included.
TEST_F(ProjectCommandsTest, TheExportedPictureIsTheCanvassOwnFullSizeComposition)
{
    canvas.SetCanvasSize(400, 300);
    canvas.SetBackground(0x00C0E0F0, BackgroundPlacement::Center, QString());
    MakeCollage();
    std::vector<std::uint8_t> pixels(std::size_t(20) * 10 * 4, 0x80);
    ASSERT_TRUE(canvas.AddPictureItem(pixels, 20, 10));
    Text settings;
    settings.font.lfHeight = 30;
    canvas.Model().SetCurrentTextSettings(settings);
    ASSERT_TRUE(canvas.Model().SetCurrentText(QStringLiteral("Hello")));
    ASSERT_TRUE(canvas.AddText());
    canvas.Model().SelectOnly(0); // handles never show in the picture

    ASSERT_TRUE(commands.WritePicture(dir.filePath("same.png")));
    ASSERT_TRUE(canvas.ComposeFullSize());
    const QImage expected = canvas.Renderer().Export().ToImage().convertToFormat(QImage::Format_RGB32);
    const QImage written = QImage(dir.filePath("same.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(written.size(), QSize(400, 300));
    EXPECT_TRUE(written == expected);
    // Not an empty comparison: background, photos, the buffer item and the text's edges.
    QSet<QRgb> colours;
    for (int y = 0; y < written.height(); y += 2)
        for (int x = 0; x < written.width(); x += 2)
            colours.insert(written.pixel(x, y));
    EXPECT_GT(colours.size(), 4);
    EXPECT_TRUE(colours.contains(qRgb(0xF0, 0xE0, 0xC0)));
    EXPECT_TRUE(colours.contains(qRgb(255, 0, 0)));
}

TEST_F(ProjectCommandsTest, AFailedExportTellsTheUserWhy)
{
    MakeCollage();
    files = {dir.filePath("no/such/folder/out.jpg")};
    EXPECT_FALSE(commands.ExportPicture());
    ASSERT_EQ(catcher.messages.size(), 1);
    EXPECT_TRUE(catcher.messages[0].contains(dir.filePath("no/such/folder/out.jpg")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("no/such/folder/out.jpg")));
    // Cancel writes nothing and says nothing.
    files = {QString()};
    EXPECT_FALSE(commands.ExportPicture());
    EXPECT_EQ(catcher.messages.size(), 1);
}

// ---- Photos that moved ----

TEST_F(ProjectCommandsTest, OpeningACollageWithMovedPhotosOffersToLookForThemInAFolder)
{
    ASSERT_TRUE(WritePhoto(dir.filePath("old/beach.png"), {64, 48}, Qt::green));
    ASSERT_TRUE(canvas.AddPhoto(dir.filePath("old/beach.png"), 64, 48, 0, 0));
    files = {dir.filePath("trip.vmz")};
    ASSERT_TRUE(commands.SaveProjectAs());
    ASSERT_TRUE(QDir().mkpath(dir.filePath("new/2024")));
    ASSERT_TRUE(QFile::rename(dir.filePath("old/beach.png"), dir.filePath("new/2024/beach.png")));

    // Declined: nothing changes.
    answers = {false};
    ASSERT_TRUE(commands.OpenProjectFile(dir.filePath("trip.vmz")));
    EXPECT_EQ(commands.OfferRelink(), 0);
    EXPECT_TRUE(log.last().contains(dir.filePath("old/beach.png"))) << log.last().toStdString();
    EXPECT_EQ(std::get<Photo>(canvas.Model().ItemAt(0)).path.Value(), dir.filePath("old/beach.png"));
    EXPECT_FALSE(canvas.Model().Modified());

    // Accepted through the open command: the folder is searched, subfolders too.
    log.clear();
    answers = {true};
    folder = dir.filePath("new");
    files = {dir.filePath("trip.vmz")};
    commands.OpenProject();
    ASSERT_EQ(log.size(), 3) << log.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(log[1].startsWith(QLatin1String("ask: 1 photo of this collage cannot be found")));
    EXPECT_TRUE(log[2].startsWith(QLatin1String("folder: ")));
    EXPECT_EQ(std::get<Photo>(canvas.Model().ItemAt(0)).path.Value(), dir.filePath("new/2024/beach.png"));
    EXPECT_TRUE(canvas.Model().Modified());
    EXPECT_TRUE(catcher.messages.isEmpty());
}

TEST_F(ProjectCommandsTest, PhotosNotFoundInTheFolderAreCountedForTheUser)
{
    for (const char* name : {"one.png", "two.png"})
        ASSERT_TRUE(canvas.AddPhoto(dir.filePath(QStringLiteral("gone/") + QLatin1String(name)), 64, 48, 0, 0));
    ASSERT_TRUE(WritePhoto(dir.filePath("found/one.png"), {64, 48}, Qt::green));
    answers = {true};
    folder = dir.filePath("found");
    EXPECT_EQ(commands.OfferRelink(), 1);
    EXPECT_TRUE(log[0].startsWith(QLatin1String("ask: 2 photos of this collage")));
    ASSERT_EQ(catcher.messages.size(), 1);
    EXPECT_TRUE(catcher.messages[0].startsWith(QLatin1String("1 of the 2 missing photos")));
}

// ---- Wallpaper ----

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

// Both parts write the one wallpaper file of the data folder, so they run in one test
// (ctest runs tests side by side).
TEST_F(ProjectCommandsTest, WallpaperIsWrittenAndSetOnGnomeAndNamedToTheUserElsewhere)
{
    {
        EnvScope env;
        env.Set("XDG_CURRENT_DESKTOP", "X-Cinnamon");
        canvas.SetCanvasSize(64, 64);
        EXPECT_FALSE(commands.SetWallpaper(0));
        ASSERT_EQ(catcher.messages.size(), 1);
        EXPECT_TRUE(catcher.messages[0].contains(wallpaper::WallpaperFilePath()));
        EXPECT_TRUE(QFileInfo(wallpaper::WallpaperFilePath()).isFile());
        EXPECT_FALSE(commands.RemoveWallpaper());
        EXPECT_EQ(catcher.messages.size(), 2);
    }
    catcher.messages.clear();
    if (!GnomeSchemaInstalled())
        GTEST_SKIP() << "gsettings or the GNOME desktop schemas are not installed";

    EnvScope env;
    env.Set("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    env.Set("GSETTINGS_BACKEND", "keyfile");
    env.Set("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
    canvas.SetCanvasSize(320, 200);
    MakeCollage();

    ASSERT_TRUE(commands.SetWallpaper(1)) << catcher.messages.join(QLatin1Char('\n')).toStdString();
    const QString bmp = wallpaper::WallpaperFilePath();
    EXPECT_TRUE(bmp.endsWith(QLatin1String("/Montara Wallpaper.bmp")));
    QImageReader reader(bmp);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    EXPECT_EQ(reader.size(), QSize(320, 200));
    const QString uri = QUrl::fromLocalFile(bmp).toString(QUrl::FullyEncoded);
    EXPECT_EQ(GsettingsGet(QStringLiteral("picture-uri")), QStringLiteral("'%1'").arg(uri));
    EXPECT_EQ(GsettingsGet(QStringLiteral("picture-uri-dark")), QStringLiteral("'%1'").arg(uri));
    EXPECT_EQ(GsettingsGet(QStringLiteral("picture-options")), QStringLiteral("'wallpaper'"));

    ASSERT_TRUE(commands.SetWallpaper(2));
    EXPECT_EQ(GsettingsGet(QStringLiteral("picture-options")), QStringLiteral("'stretched'"));
    ASSERT_TRUE(commands.SetWallpaper(0));
    EXPECT_EQ(GsettingsGet(QStringLiteral("picture-options")), QStringLiteral("'centered'"));

    ASSERT_TRUE(commands.RemoveWallpaper());
    EXPECT_EQ(GsettingsGet(QStringLiteral("picture-uri")), QStringLiteral("''"));
    EXPECT_TRUE(catcher.messages.isEmpty());
}

// ---- From the main window ----

TEST(ProjectCommandsInMainFrame, EveryNumberReachesItsCommand)
{
    MainFrame frame;
    auto* projects = frame.findChild<ProjectCommands*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(projects, nullptr);
    QStringList log;
    ProjectCommands::Hooks hooks;
    hooks.ask = [&](QWidget* parent, const QString&) {
        EXPECT_EQ(parent, &frame);
        log << QStringLiteral("ask");
        return false;
    };
    hooks.chooseFile = [&](QWidget* parent, const dialogs::FileRequest& request) {
        EXPECT_EQ(parent, &frame);
        log << QStringLiteral("file ") + request.filter;
        return QString();
    };
    hooks.runDialog = [&](NewCollageDialog& dialog) {
        EXPECT_EQ(dialog.parentWidget(), &frame);
        log << QStringLiteral("dialog ") + dialog.windowTitle();
        return false;
    };
    projects->SetHooks(hooks);
    frame.Canvas().Model().SetModified(false);

    const QString save = QStringLiteral("file (*.vmz)");
    const QString open = QStringLiteral("file collage files (*.vmz)");
    const QString picture = QStringLiteral("file ") + projectcmd::ExportFilter();
    const std::vector<std::pair<int, QString>> expected = {
        {cmd::kNewProject, QStringLiteral("dialog Create New Collage")},
        {cmd::kNewProjectMenu, QStringLiteral("dialog Create New Collage")},
        {cmd::kOpenProject, open},
        {cmd::kOpenProjectMenu, open},
        {cmd::kSaveProjectAs, save},
        {cmd::kSaveProjectAsMenu, save},
        {cmd::kSetting, QStringLiteral("dialog Collage Setting")},
        {cmd::kSettingMenu, QStringLiteral("dialog Collage Setting")},
        {cmd::kSaveCollage, picture},
        {cmd::kSaveCollageMenu, picture},
    };
    for (const auto& [id, what] : expected) {
        log.clear();
        EXPECT_TRUE(frame.OnCommand(id)) << id;
        EXPECT_EQ(log, QStringList{what}) << id;
    }

    // The wallpaper numbers are routed (setting one writes the data folder's wallpaper file,
    // which the wallpaper test above does alone); removing on a desktop that cannot be
    // set says so.
    for (int id : {cmd::kWallpaperCentered, cmd::kWallpaperTiled, cmd::kWallpaperStretched})
        EXPECT_TRUE(frame.HasCommand(id)) << id;
    EnvScope env;
    env.Set("XDG_CURRENT_DESKTOP", "X-Cinnamon");
    MessageCatcher catcher;
    EXPECT_TRUE(frame.OnCommand(cmd::kRemoveWallpaper));
    EXPECT_EQ(catcher.messages.size(), 1);
}
