#include "library/PhotoImporter.h"
#include "library/PhotoLibrary.h"

#include "base/UserMessage.h"
#include "editing/PictureFiles.h"
#include "support/PictureTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace library;

namespace {

QString SavePicture(const QTemporaryDir& dir, const QString& name, const QImage& picture)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
    return path;
}

QString SaveBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(testpics::WriteFile(path, bytes));
    return path;
}

// Runs the import to its end on this (the interface) thread.
PhotoImporter::Outcome Import(PhotoImporter& importer, const QStringList& paths)
{
    QSignalSpy done(&importer, &PhotoImporter::finished);
    EXPECT_TRUE(importer.Start(paths));
    EXPECT_TRUE(done.wait(60000));
    EXPECT_FALSE(importer.busy());
    return done.isEmpty() ? PhotoImporter::Outcome() : done.first().first().value<PhotoImporter::Outcome>();
}

QStringList Paths(const PhotoLibrary& library)
{
    QStringList paths;
    for (int position : library.Visible())
        paths << library.Entry(position).record.Path();
    return paths;
}

// Captures the messages the program would show.
struct MessageCatcher {
    QStringList texts;
    MessageHandler previous;
    MessageCatcher()
    {
        previous = SetMessageHandler([this](MessageKind, const QString& text) { texts << text; });
    }
    ~MessageCatcher() { SetMessageHandler(previous); }
};

} // namespace

TEST(PhotoImporter, AcceptsReadablePicturesOverFivePixelsOnceEachInTheOrderChosen)
{
    QTemporaryDir dir;
    const QString good = SavePicture(dir, QStringLiteral("good.png"), testpics::Quadrants(40, 30));
    const QString thin = SavePicture(dir, QStringLiteral("thin.png"), testpics::Quadrants(5, 100));
    const QString flat = SavePicture(dir, QStringLiteral("flat.png"), testpics::Quadrants(100, 5));
    const QString small = SavePicture(dir, QStringLiteral("small.png"), testpics::Quadrants(6, 6));
    const QString broken = SaveBytes(dir, QStringLiteral("broken.jpg"), QByteArray("\xff\xd8\xff\xe0 not a picture"));
    const QString other = SavePicture(dir, QStringLiteral("Good.png"), testpics::Quadrants(12, 34));

    PhotoLibrary library;
    PhotoImporter importer(library, 3);
    QStringList seen;
    std::vector<std::pair<int, int>> counts;
    const QMetaObject::Connection watching = QObject::connect(
        &importer, &PhotoImporter::progress, [&](const QString& path, int done, int total) {
            seen << path;
            counts.emplace_back(done, total);
        });
    MessageCatcher messages;
    const PhotoImporter::Outcome outcome = Import(importer, {good, thin, flat, small, broken, good, other});

    EXPECT_EQ(outcome.ending, PhotoImporter::Ending::Completed);
    EXPECT_EQ(outcome.added, 3);
    EXPECT_EQ(outcome.rejected, 4);
    EXPECT_TRUE(messages.texts.isEmpty()); // rejected pictures are skipped silently
    QObject::disconnect(watching);
    EXPECT_EQ(seen, QStringList({good, thin, flat, small, broken, good, other}));
    for (std::size_t i = 0; i < counts.size(); ++i)
        EXPECT_EQ(counts[i], std::make_pair(int(i) + 1, 7));
    ASSERT_EQ(Paths(library), QStringList({good, small, other}));

    const int sizes[][2] = {{40, 30}, {6, 6}, {12, 34}};
    for (int i = 0; i < 3; ++i) {
        const PhotoEntry& entry = library.Entry(i);
        EXPECT_EQ(entry.record.index, i);
        EXPECT_EQ(entry.record.width, sizes[i][0]);
        EXPECT_EQ(entry.record.height, sizes[i][1]);
        EXPECT_EQ(entry.record.drawOption, 0);
        const QImage thumbnail = DecodeThumbnail(entry.thumbnail.data(), entry.thumbnail.size(), 0);
        EXPECT_EQ(thumbnail.size(), QSize(80, 80));
    }
    EXPECT_EQ(library.Entry(0).record.name.Bytes(), "good");
    EXPECT_EQ(library.Entry(0).record.extension.Bytes(), ".png");

    // Importing the same files again adds nothing.
    const PhotoImporter::Outcome again = Import(importer, {good, other});
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(library.Count(), 3);
}

TEST(PhotoImporter, FilesThatAreNotRegularAreNeverOpened)
{
    QTemporaryDir dir;
    // Opening a named pipe without a writer would block the worker for good.
    const QString pipe = dir.filePath(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.png"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(ExaminePhoto(pipe).verdict, ExaminedPhoto::Verdict::Unreadable);
    EXPECT_EQ(ExaminePhoto(folder).verdict, ExaminedPhoto::Verdict::Unreadable);
    EXPECT_EQ(ExaminePhoto(QStringLiteral("/dev/zero")).verdict, ExaminedPhoto::Verdict::Unreadable);

    PhotoLibrary library;
    PhotoImporter importer(library, 2);
    const QString fine = SavePicture(dir, QStringLiteral("fine.png"), testpics::Quadrants(30, 30));
    const PhotoImporter::Outcome outcome = Import(importer, {pipe, folder, fine});
    EXPECT_EQ(outcome.ending, PhotoImporter::Ending::Completed);
    EXPECT_EQ(outcome.rejected, 2);
    EXPECT_EQ(Paths(library), QStringList({fine}));
}

TEST(PhotoImporter, PhotosComeUprightWithTheirUprightSize)
{
    QTemporaryDir dir;
    const QImage upright = testpics::Quadrants(120, 80);
    const QString turned = SaveBytes(dir, QStringLiteral("turned.jpg"),
                                     testpics::JpegWithExif(testpics::StoredForOrientation(upright, 6), 6));
    PhotoLibrary library;
    PhotoImporter importer(library, 1);
    Import(importer, {turned});
    ASSERT_EQ(library.Count(), 1);
    EXPECT_EQ(library.Entry(0).record.width, 120);
    EXPECT_EQ(library.Entry(0).record.height, 80);
    const std::vector<std::uint8_t>& bytes = library.Entry(0).thumbnail;
    const QImage thumbnail = DecodeThumbnail(bytes.data(), bytes.size(), 0);
    ASSERT_EQ(thumbnail.size(), QSize(80, 80));
    for (const QPoint p : {QPoint(15, 15), QPoint(65, 15), QPoint(15, 65), QPoint(65, 65)})
        EXPECT_LT(testpics::Distance(thumbnail.pixel(p), testpics::QuadrantColour(thumbnail, p.x(), p.y())), 48)
            << p.x() << "," << p.y();
}

TEST(PhotoImporter, APathNotFoundEndsTheImportThere)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 6; ++i)
        paths << SavePicture(dir, QStringLiteral("p%1.png").arg(i), testpics::Quadrants(20 + i, 20));
    const QString missing = dir.filePath(QStringLiteral("gone.png"));
    paths.insert(2, missing);

    PhotoLibrary library;
    PhotoImporter importer(library, 4);
    const PhotoImporter::Outcome outcome = Import(importer, paths);
    EXPECT_EQ(outcome.ending, PhotoImporter::Ending::NotFound);
    EXPECT_EQ(outcome.notFoundPath, missing);
    EXPECT_EQ(Paths(library), paths.mid(0, 2));
    EXPECT_EQ(ExaminePhoto(missing).verdict, ExaminedPhoto::Verdict::NotFound);
}

TEST(PhotoImporter, HandsEachPhotoToTheInterfaceThreadAndReturnsAtOnce)
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 8; ++i)
        paths << SavePicture(dir, QStringLiteral("p%1.png").arg(i), testpics::Quadrants(300, 200 + i));
    PhotoLibrary library;
    PhotoImporter importer(library, 2);
    EXPECT_LE(importer.workerCount(), 2);
    std::vector<QThread*> addingThreads;
    QObject::connect(&library, &PhotoLibrary::recordsChanged, [&] { addingThreads.push_back(QThread::currentThread()); });

    QSignalSpy done(&importer, &PhotoImporter::finished);
    ASSERT_TRUE(importer.Start(paths));
    // Start returns before any photo is added: the records arrive through the event loop.
    EXPECT_TRUE(importer.busy());
    EXPECT_EQ(library.Count(), 0);
    EXPECT_FALSE(importer.Start(paths)); // one import at a time
    ASSERT_TRUE(done.wait(60000));
    EXPECT_FALSE(importer.busy());
    ASSERT_EQ(addingThreads.size(), 8u);
    for (QThread* thread : addingThreads)
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());
    EXPECT_EQ(Paths(library), paths);
    EXPECT_FALSE(importer.Start({}));
}

TEST(PhotoImporter, StopEndsTheImportAndNothingIsAddedAfterIt)
{
    QTemporaryDir dir;
    QStringList paths;
    const QByteArray photo = testpics::JpegWithExif(testpics::Quadrants(1600, 1200), 0);
    for (int i = 0; i < 40; ++i)
        paths << SaveBytes(dir, QStringLiteral("big%1.jpg").arg(i), photo);

    PhotoLibrary library;
    PhotoImporter importer(library, 2);
    int countAtStop = -1;
    QObject::connect(&importer, &PhotoImporter::progress, [&](const QString&, int done, int) {
        if (done == 3) {
            importer.Stop();
            countAtStop = library.Count();
        }
    });
    const PhotoImporter::Outcome outcome = Import(importer, paths);
    EXPECT_EQ(outcome.ending, PhotoImporter::Ending::Stopped);
    EXPECT_EQ(countAtStop, 2); // the third path's turn had come, its photo not yet added
    EXPECT_EQ(library.Count(), 2);

    // The stop is over: the next import runs to its end.
    QObject::disconnect(&importer, &PhotoImporter::progress, nullptr, nullptr);
    const PhotoImporter::Outcome rest = Import(importer, paths);
    EXPECT_EQ(rest.ending, PhotoImporter::Ending::Completed);
    EXPECT_EQ(rest.added, 38);
    EXPECT_EQ(Paths(library), paths);
}

TEST(PhotoImporter, DestroyedWhileImportingStopsItsWorkers)
{
    QTemporaryDir dir;
    QStringList paths;
    const QByteArray photo = testpics::JpegWithExif(testpics::Quadrants(1600, 1200), 0);
    for (int i = 0; i < 20; ++i)
        paths << SaveBytes(dir, QStringLiteral("big%1.jpg").arg(i), photo);
    PhotoLibrary library;
    {
        PhotoImporter importer(library, 2);
        ASSERT_TRUE(importer.Start(paths));
        QThread::msleep(50);
    }
    // Whatever the workers had posted went with the importer.
    QCoreApplication::processEvents();
    EXPECT_EQ(library.Count(), 0);
}

TEST(PhotoImporter, PathsTooLongForTheRecordAreSkippedWithANote)
{
    QTemporaryDir dir;
    QString deep = dir.path();
    while (QFile::encodeName(deep).size() < 270)
        deep += QStringLiteral("/folder-of-a-deep-tree");
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString tooLong = deep + QStringLiteral("/photo.png");
    ASSERT_TRUE(testpics::Quadrants(30, 30).save(tooLong));
    const QString fine = SavePicture(dir, QStringLiteral("fine.png"), testpics::Quadrants(30, 30));

    PhotoLibrary library;
    PhotoImporter importer(library, 2);
    MessageCatcher messages;
    const PhotoImporter::Outcome outcome = Import(importer, {tooLong, fine});
    EXPECT_EQ(outcome.ending, PhotoImporter::Ending::Completed);
    EXPECT_EQ(outcome.longPaths, QStringList({tooLong}));
    EXPECT_EQ(Paths(library), QStringList({fine}));
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts.first().contains(tooLong));
    EXPECT_TRUE(messages.texts.first().contains(QStringLiteral("259 bytes")));
}
