// The batch conversion worker: runs off the owner's thread, posts its progress back to it,
// refuses a second run, takes paths added during a run, stops between two files and leaves
// nothing behind but the converted files. (The dialog's tests cover an empty list and a
// folder without a trailing "/".)

#include "support/PictureTestSupport.h"
#include "support/WorkerGate.h"

#include "base/DataFolder.h"
#include "editing/BatchConvertJob.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using testsupport::WorkerGate;

namespace {

class BatchConvertJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        job.SetPauseAfterFile(0);
    }
    void TearDown() override { gate.Open(); }

    QString Source(const QString& name, int width = 40, int height = 30)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        const char* format = QFileInfo(path).suffix().isEmpty() ? "PNG" : nullptr; // a name without a dot
        EXPECT_TRUE(testpics::Quadrants(width, height).save(path, format));
        return path;
    }
    QString Out(const QString& name = {}) const { return dir.filePath(QStringLiteral("out/") + name); }
    QStringList OutEntries() const
    {
        return QDir(Out()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    // Holds the worker after it has written the file at `index`, before it posts the progress.
    void HoldAfter(int index)
    {
        job.SetWorkerObserver([this, index](const ConvertEngine::FileReport& report) {
            if (report.index == index)
                gate.Hold();
        });
    }
    bool WaitFinished(QSignalSpy& finished) { return !finished.isEmpty() || finished.wait(30000); }

    QTemporaryDir dir;
    WorkerGate gate; // opened before the job goes
    BatchConvertJob job;
};

} // namespace

TEST_F(BatchConvertJobTest, ProgressReachesTheOwnersThreadAfterEachFile)
{
    const QString broken = dir.filePath(QStringLiteral("broken.png"));
    ASSERT_TRUE(testpics::WriteFile(broken, "not a picture at all"));
    job.AddFiles({Source(QStringLiteral("a.png")), broken, Source(QStringLiteral("b.bmp"))});

    std::vector<int> counts;
    bool onOwnersThread = true;
    QObject::connect(&job, &BatchConvertJob::progressed, [&](int done) {
        counts.push_back(done);
        onOwnersThread = onOwnersThread && QThread::currentThread() == job.thread();
        EXPECT_EQ(job.DoneCount(), done);
        EXPECT_TRUE(job.IsConverting());
    });
    QSignalSpy finished(&job, &BatchConvertJob::finished);
    ASSERT_TRUE(job.Start(QStringLiteral("png"), Out()));
    ASSERT_TRUE(WaitFinished(finished));

    // The broken file is skipped and does not count.
    EXPECT_EQ(counts, (std::vector<int>{1, 1, 2}));
    EXPECT_TRUE(onOwnersThread);
    EXPECT_EQ(job.DoneCount(), 0);
    EXPECT_EQ(OutEntries(), QStringList({"a.png", "b.png"}));
    testpics::Decoded decoded;
    ASSERT_TRUE(testpics::DecodeIndependently(Out("b.png"), decoded));
    EXPECT_EQ(decoded.width, 40);
    EXPECT_EQ(decoded.height, 30);
}

TEST_F(BatchConvertJobTest, ASecondStartWhileRunningIsRefused)
{
    job.AddFiles({Source(QStringLiteral("a.png")), Source(QStringLiteral("b.png"))});
    HoldAfter(0);
    QSignalSpy progressed(&job, &BatchConvertJob::progressed);
    QSignalSpy finished(&job, &BatchConvertJob::finished);
    ASSERT_TRUE(job.Start(QStringLiteral("JPG"), Out()));
    ASSERT_TRUE(gate.WaitUntilHeld());
    EXPECT_FALSE(job.Start(QStringLiteral("JPG"), Out()));
    EXPECT_FALSE(job.Start(QStringLiteral("BMP"), Out()));
    gate.Open();
    ASSERT_TRUE(WaitFinished(finished));
    QTest::qWait(50); // a second run would have posted by now
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(progressed.size(), 2);
    EXPECT_EQ(OutEntries(), QStringList({"a.jpg", "b.jpg"}));

    // An unknown format starts nothing; after the run a new one starts from the first file.
    EXPECT_FALSE(job.Start(QStringLiteral("webp"), Out()));
    EXPECT_FALSE(job.IsConverting());
    ASSERT_TRUE(job.Start(QStringLiteral("BMP"), Out()));
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(OutEntries(), QStringList({"a.bmp", "a.jpg", "b.bmp", "b.jpg"}));
}

TEST_F(BatchConvertJobTest, APathAddedDuringARunIsConvertedInThatRun)
{
    job.AddFiles({Source(QStringLiteral("first.png"))});
    const QString later = Source(QStringLiteral("later.png"));
    HoldAfter(0);
    QSignalSpy finished(&job, &BatchConvertJob::finished);
    ASSERT_TRUE(job.Start(QStringLiteral("TGA"), Out()));
    ASSERT_TRUE(gate.WaitUntilHeld());
    job.AddFiles({later, later}); // no duplicate check: converted twice, the second replaces the first
    gate.Open();
    ASSERT_TRUE(WaitFinished(finished));
    EXPECT_EQ(OutEntries(), QStringList({"first.tga", "later.tga"}));
    EXPECT_EQ(job.FileCount(), 3);
}

TEST_F(BatchConvertJobTest, AStopFinishesTheCurrentFileAndStartsNoOther)
{
    job.AddFiles({Source(QStringLiteral("a.png"), 600, 400), Source(QStringLiteral("b.png")),
                  Source(QStringLiteral("c.png"))});
    HoldAfter(0);
    QSignalSpy progressed(&job, &BatchConvertJob::progressed);
    QSignalSpy finished(&job, &BatchConvertJob::finished);
    ASSERT_TRUE(job.Start(QStringLiteral("PCX"), Out()));
    ASSERT_TRUE(gate.WaitUntilHeld()); // "a" is written, its progress not yet posted
    job.RequestStop();
    EXPECT_TRUE(job.IsConverting());
    gate.Open();
    ASSERT_TRUE(WaitFinished(finished));
    EXPECT_EQ(progressed.size(), 1);
    EXPECT_EQ(OutEntries(), QStringList({"a.pcx"}));
    testpics::Decoded decoded;
    ASSERT_TRUE(testpics::DecodeIndependently(Out("a.pcx"), decoded));
    EXPECT_EQ(decoded.width, 600);
    EXPECT_EQ(decoded.height, 400);

    // The stop ended that run only: the next one goes through the whole list.
    job.SetWorkerObserver({});
    ASSERT_TRUE(job.Start(QStringLiteral("PCX"), Out()));
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(OutEntries(), QStringList({"a.pcx", "b.pcx", "c.pcx"}));

    // A stop asked for while nothing runs is forgotten.
    job.RequestStop();
    ASSERT_TRUE(job.Start(QStringLiteral("TIF"), Out()));
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(OutEntries().filter(QStringLiteral(".tif")).size(), 3);
}

TEST_F(BatchConvertJobTest, NoTemporaryFileIsLeftBehind)
{
    const QString bmp = DataFolder() + QStringLiteral("Quillet_tmp.bmp");
    QFile::remove(bmp);
    job.AddFiles({Source(QStringLiteral("x.png")), Source(QStringLiteral("y.jpg"))});
    QSignalSpy finished(&job, &BatchConvertJob::finished);
    QStringList expected;
    for (const char* format : {"PNM", "TGA", "TIF", "PCX", "JPG"}) {
        ASSERT_TRUE(job.Start(QLatin1String(format), Out()));
        ASSERT_TRUE(finished.wait(30000)) << format;
        const QString extension = QString::fromLatin1(format).toLower();
        expected << "x." + extension << "y." + extension;
        EXPECT_FALSE(QFileInfo::exists(bmp)) << format;
    }
    expected.sort();
    EXPECT_EQ(OutEntries(), expected); // nothing but the results, no half-written file

    // A result that already exists is replaced, not kept beside a new name.
    const qint64 before = QFileInfo(Out("x.pnm")).size();
    ASSERT_TRUE(testpics::WriteFile(Out("x.pnm"), "old"));
    ASSERT_TRUE(job.Start(QStringLiteral("PNM"), Out()));
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(QFileInfo(Out("x.pnm")).size(), before);
    EXPECT_EQ(OutEntries(), expected);
}

TEST_F(BatchConvertJobTest, DestroyingTheJobDuringARunWaitsForItsWorker)
{
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files << Source(QStringLiteral("f%1.png").arg(i));
    WorkerGate held;
    std::atomic<int> reports{0};
    auto doomed = std::make_unique<BatchConvertJob>();
    doomed->AddFiles(files);
    doomed->SetWorkerObserver([&](const ConvertEngine::FileReport& report) {
        ++reports;
        if (report.index == 0)
            held.Hold();
    });
    ASSERT_TRUE(doomed->Start(QStringLiteral("JPG"), Out()));
    ASSERT_TRUE(held.WaitUntilHeld());
    std::thread opener([&held] {
        QThread::msleep(100);
        held.Open();
    });
    doomed.reset(); // returns only when the worker has ended
    const int seen = reports.load();
    const QStringList written = OutEntries();
    opener.join();
    QTest::qWait(100);
    EXPECT_EQ(reports.load(), seen);
    EXPECT_EQ(OutEntries(), written);
    EXPECT_TRUE(written.contains(QStringLiteral("f0.jpg")));
}
