// The "Batch Convert" dialog: its layout and lists, adding files, the output folder, the
// progress bar, Convert during a run, and closing with and without a run going on.

#include "support/PictureTestSupport.h"
#include "support/WorkerGate.h"

#include "editing/BatchConvertJob.h"
#include "ui/CMstListBox.h"
#include "ui/dialogs/BatchConvertDialog.h"
#include "ui/dialogs/BatchConvertLayout.h"
#include "ui/skin/Skin.h"
#include "ui/skin/SkinButton.h"

#include <QDir>
#include <QApplication>
#include <QFileInfo>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace batchconvert;
using testsupport::WorkerGate;

namespace {

class BatchConvertDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // A home of the test's own, so the default output folder is made there.
        oldHome = qgetenv("HOME");
        oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(dir.filePath(QStringLiteral("home"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("home/.config"))));
        dialog = std::make_unique<BatchConvertDialog>();
        dialog->Job().SetPauseAfterFile(0);
        dialog->SetQuestion([this](QWidget*, const QString& title, const QString& text) {
            questions << title + QLatin1Char('|') + text;
            if (duringQuestion)
                duringQuestion();
            return answer;
        });
        dialog->SetFolderChooser([](QWidget*, const QString&) { return QString(); });
        dialog->SetFileChooser([](QWidget*, const QString&) { return QStringList(); });
    }
    void TearDown() override
    {
        gate.Open();
        dialog.reset();
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    QString Source(const QString& name, int width = 40, int height = 30)
    {
        const QString path = dir.filePath(QStringLiteral("in/") + name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(testpics::Quadrants(width, height).save(path));
        return path;
    }
    QString Out(const QString& name = {}) const { return dir.filePath(QStringLiteral("out/") + name); }
    QStringList OutEntries() const { return QDir(Out()).entryList(QDir::Files, QDir::Name); }
    void ChooseOut()
    {
        const QString out = Out().chopped(1); // no trailing "/"
        dialog->SetFolderChooser([out](QWidget*, const QString&) { return out; });
        dialog->OnCommand(kBrowseCommand);
    }
    void HoldAfter(int index)
    {
        dialog->Job().SetWorkerObserver([this, index](const ConvertEngine::FileReport& report) {
            if (report.index == index)
                gate.Hold();
        });
    }
    void Show()
    {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    void Click(int id)
    {
        auto* button = dialog->findChild<SkinAbstractButton*>(QString::number(id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    }
    QImage Grab() { return dialog->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QTemporaryDir dir;
    QByteArray oldHome;
    QByteArray oldConfig;
    WorkerGate gate; // opened before the dialog goes
    std::unique_ptr<BatchConvertDialog> dialog;
    QStringList questions;
    bool answer = false;
    std::function<void()> duringQuestion;
};

} // namespace

TEST(BatchConvertLayout, ProgressFillIsDoneTimes520OverFiles)
{
    EXPECT_EQ(ProgressFill(0, 0), 0);
    EXPECT_EQ(ProgressFill(0, 5), 0);
    EXPECT_EQ(ProgressFill(1, 3), 173); // 520 / 3 = 173.3, cut
    EXPECT_EQ(ProgressFill(2, 3), 346);
    EXPECT_EQ(ProgressFill(3, 3), 520);
    EXPECT_EQ(ProgressFill(7, 9), 404);
    EXPECT_EQ(ProgressFill(1, 521), 0); // under a pixel a file
    EXPECT_EQ(ProgressFill(999999, 1000000), 519);
    EXPECT_EQ(kProgressBar.width(), kProgressLength);
}

TEST(BatchConvertLayout, TheFilterBecomesAQtFilter)
{
    const QStringList entries = QtFileFilter(kPictureFilter).split(QStringLiteral(";;"));
    ASSERT_EQ(entries.size(), 13);
    EXPECT_EQ(entries.at(0), "(all picture files) (*.jpg *.jpeg *.gif *.bmp *.png *.pnm *.tga *.tif *.tiff *.pcx "
                             "*.wmf *.emf)");
    EXPECT_EQ(entries.at(1), "(*.jpg)");
    EXPECT_EQ(entries.at(12), "(*.emf)");
    EXPECT_EQ(QtFileFilter("Pictures|*.png;*.gif||"), "Pictures (*.png *.gif)");
}

TEST_F(BatchConvertDialogTest, LaysOutTheDesignOnTheRoundedFrame)
{
    Show();
    EXPECT_EQ(dialog->windowTitle(), "Batch Convert");
    EXPECT_EQ(dialog->size(), kDialogSize);
    EXPECT_EQ(dialog->Background(), skin::kStatusBackground);
    EXPECT_EQ(dialog->PictureList()->geometry(), kPictureList);
    EXPECT_EQ(dialog->FormatList()->geometry(), kFormatList);
    const std::pair<int, QRect> buttons[] = {
        {kAddFileCommand, kAddFileButton}, {kConvertCommand, kConvertButton}, {kBrowseCommand, kBrowseButton}};
    for (const auto& [id, rect] : buttons) {
        auto* button = dialog->findChild<SkinButton*>(QString::number(id));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), rect);
    }
    EXPECT_EQ(dialog->CloseButton()->geometry(), QRect(560 - 40, 7, 26, 17));

    // Formats in order, JPG selected; no picture yet.
    ASSERT_EQ(dialog->FormatList()->GetCount(), 8);
    QStringList formats;
    for (int i = 0; i < 8; ++i)
        formats << dialog->FormatList()->GetText(i);
    EXPECT_EQ(formats, QStringList({"JPG", "BMP", "GIF", "PNG", "PNM", "TGA", "TIF", "PCX"}));
    EXPECT_EQ(dialog->FormatList()->GetCurSel(), 0);
    EXPECT_EQ(dialog->PictureList()->GetCount(), 0);

    // The window region cuts the corners.
    const QRegion region = dialog->mask();
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(559, 374)));
    EXPECT_TRUE(region.contains(QPoint(8, 8)));
    EXPECT_TRUE(region.contains(QPoint(280, 0)));

    // The drawn parts: folder box and empty progress bar framed in 200 grey on 230 grey.
    const QImage shot = Grab();
    EXPECT_EQ(QColor(shot.pixel(kFolderBox.left(), kFolderBox.center().y())), skin::kFrameColour);
    EXPECT_EQ(QColor(shot.pixel(kFolderBox.right() - 1, kFolderBox.top() + 1)), skin::kStatusBackground);
    EXPECT_EQ(QColor(shot.pixel(kProgressBar.left(), kProgressBar.center().y())), skin::kFrameColour);
    EXPECT_EQ(QColor(shot.pixel(kProgressBar.left() + 1, kProgressBar.center().y())), skin::kStatusBackground);
    EXPECT_EQ(QColor(shot.pixel(kProgressBar.right(), kProgressBar.center().y())), skin::kFrameColour);
    EXPECT_EQ(QColor(shot.pixel(275, 330)), skin::kStatusBackground);
}

TEST_F(BatchConvertDialogTest, TheDefaultOutputFolderIsMadeWhenTheDialogOpens)
{
    const QString expected = dir.filePath(QStringLiteral("home/Documents/Montara/Convert/"));
    EXPECT_EQ(dialog->OutputFolder(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
}

TEST_F(BatchConvertDialogTest, AddPictureFileAppendsEveryChosenPath)
{
    QString filterSeen;
    QStringList chosen = {"/photos/b.jpg", "/photos/a.png"};
    dialog->SetFileChooser([&](QWidget* parent, const QString& filter) {
        EXPECT_EQ(parent, dialog.get());
        filterSeen = filter;
        return chosen;
    });
    Show();
    Click(kAddFileCommand);
    EXPECT_EQ(filterSeen, QtFileFilter(kPictureFilter));
    chosen = {"/photos/a.png"}; // again: no duplicate check
    Click(kAddFileCommand);
    chosen = {}; // cancelled
    Click(kAddFileCommand);
    const QStringList expected = {"/photos/b.jpg", "/photos/a.png", "/photos/a.png"};
    EXPECT_EQ(dialog->Job().Files(), expected);
    ASSERT_EQ(dialog->PictureList()->GetCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dialog->PictureList()->GetText(i), expected.at(i));
}

TEST_F(BatchConvertDialogTest, BrowseTakesAFolderWithoutTrailingSlash)
{
    QString startSeen;
    dialog->SetFolderChooser([&](QWidget*, const QString& start) {
        startSeen = start;
        return QString();
    });
    const QString before = dialog->OutputFolder();
    dialog->OnCommand(kBrowseCommand); // cancelled
    EXPECT_EQ(startSeen, before);
    EXPECT_EQ(dialog->OutputFolder(), before);

    ChooseOut();
    EXPECT_EQ(dialog->OutputFolder(), Out());
    Show();
    QHelpEvent help(QEvent::ToolTip, kFolderBox.center(), dialog->mapToGlobal(kFolderBox.center()));
    QApplication::sendEvent(dialog.get(), &help);
    EXPECT_EQ(QToolTip::text(), Out()); // the box may show it shortened
    QToolTip::hideText();
    dialog->AddFiles({Source(QStringLiteral("trip.png")), Source(QStringLiteral("beach.bmp"))});
    QSignalSpy finished(&dialog->Job(), &BatchConvertJob::finished);
    dialog->FormatList()->SetCurSel(3); // PNG
    Click(kConvertCommand);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(OutEntries(), QStringList({"beach.png", "trip.png"}));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("in"))).entryList({"out*"}).isEmpty());
}

TEST_F(BatchConvertDialogTest, AnEmptyListEndsAtOnceWithAnEmptyBar)
{
    Show();
    QSignalSpy finished(&dialog->Job(), &BatchConvertJob::finished);
    Click(kConvertCommand);
    EXPECT_TRUE(dialog->Job().IsConverting());
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_FALSE(dialog->Job().IsConverting());
    const QImage shot = Grab();
    EXPECT_EQ(QColor(shot.pixel(kProgressBar.left() + 1, kProgressBar.center().y())), skin::kStatusBackground);
    // Closing now does not ask.
    dialog->reject();
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(BatchConvertDialogTest, NoFormatSelectedConvertsNothing)
{
    dialog->AddFiles({Source(QStringLiteral("a.png"))});
    dialog->FormatList()->SetCurSel(-1);
    dialog->OnCommand(kConvertCommand);
    EXPECT_FALSE(dialog->Job().IsConverting());
}

TEST_F(BatchConvertDialogTest, TheBarAdvancesAfterEachFileAndEmptiesAtTheEnd)
{
    ChooseOut();
    dialog->AddFiles(
        {Source(QStringLiteral("a.png")), Source(QStringLiteral("b.png")), Source(QStringLiteral("c.png"))});
    HoldAfter(1); // a's progress is posted, b is written and held
    Show();
    QSignalSpy finished(&dialog->Job(), &BatchConvertJob::finished);
    Click(kConvertCommand);
    ASSERT_TRUE(gate.WaitUntilHeld());
    QTRY_COMPARE(dialog->Job().DoneCount(), 1);
    const int y = kProgressBar.center().y();
    QImage shot = Grab();
    const int filled = ProgressFill(1, 3); // 173
    EXPECT_EQ(QColor(shot.pixel(kProgressBar.left() + filled - 1, y)), skin::kFrameColour);
    EXPECT_EQ(QColor(shot.pixel(kProgressBar.left() + filled + 1, y)), skin::kStatusBackground);
    gate.Open();
    ASSERT_TRUE(finished.wait(30000));
    shot = Grab();
    EXPECT_EQ(QColor(shot.pixel(kProgressBar.left() + 1, y)), skin::kStatusBackground);
    EXPECT_EQ(dialog->PictureList()->GetCount(), 3); // the list stays
    EXPECT_EQ(OutEntries(), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
}

TEST_F(BatchConvertDialogTest, ConvertDuringARunDoesNothing)
{
    ChooseOut();
    dialog->AddFiles({Source(QStringLiteral("a.png")), Source(QStringLiteral("b.png"))});
    HoldAfter(0);
    Show();
    QSignalSpy progressed(&dialog->Job(), &BatchConvertJob::progressed);
    QSignalSpy finished(&dialog->Job(), &BatchConvertJob::finished);
    Click(kConvertCommand);
    ASSERT_TRUE(gate.WaitUntilHeld());
    dialog->FormatList()->SetCurSel(1); // BMP: a second run would write .bmp files
    Click(kConvertCommand);
    Click(kConvertCommand);
    gate.Open();
    ASSERT_TRUE(finished.wait(30000));
    QTest::qWait(50);
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(progressed.size(), 2);
    EXPECT_EQ(OutEntries(), QStringList({"a.jpg", "b.jpg"}));
}

TEST_F(BatchConvertDialogTest, CloseDuringARunAsksAndNoChangesNothing)
{
    ChooseOut();
    dialog->AddFiles({Source(QStringLiteral("a.png")), Source(QStringLiteral("b.png"))});
    HoldAfter(0);
    Show();
    QSignalSpy finished(&dialog->Job(), &BatchConvertJob::finished);
    Click(kConvertCommand);
    ASSERT_TRUE(gate.WaitUntilHeld());
    answer = false;
    Click(skin::kCloseCommand);
    EXPECT_EQ(questions, QStringList({"Confirm|Are you sure to stop converting?"}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->Stopping());
    gate.Open();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(OutEntries(), QStringList({"a.jpg", "b.jpg"}));
}

TEST_F(BatchConvertDialogTest, StopAfterYesFinishesTheFileStartsNoOtherAndCloses)
{
    ChooseOut();
    dialog->AddFiles({Source(QStringLiteral("a.png"), 500, 300), Source(QStringLiteral("b.png")),
                      Source(QStringLiteral("c.png"))});
    HoldAfter(0);
    Show();
    QSignalSpy rejected(dialog.get(), &QDialog::rejected);
    Click(kConvertCommand);
    ASSERT_TRUE(gate.WaitUntilHeld());
    answer = true;
    Click(skin::kCloseCommand);
    // The worker is still busy with "a": the dialog waits without blocking its thread.
    EXPECT_TRUE(dialog->Stopping());
    QTest::qWait(50);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(rejected.isEmpty());
    QTest::keyClick(dialog.get(), Qt::Key_Escape); // a second close while stopping asks nothing
    EXPECT_EQ(questions.size(), 1);

    gate.Open();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 30000);
    EXPECT_EQ(rejected.size(), 1);
    EXPECT_FALSE(dialog->Job().IsConverting());
    EXPECT_EQ(OutEntries(), QStringList({"a.jpg"}));
    testpics::Decoded decoded;
    ASSERT_TRUE(testpics::DecodeIndependently(Out("a.jpg"), decoded));
    EXPECT_EQ(decoded.width, 500);
    EXPECT_EQ(decoded.height, 300);
}

TEST_F(BatchConvertDialogTest, ARunThatEndsWhileTheQuestionIsOpenClosesOnYes)
{
    ChooseOut();
    dialog->AddFiles({Source(QStringLiteral("a.png"))});
    HoldAfter(0);
    Show();
    QSignalSpy finished(&dialog->Job(), &BatchConvertJob::finished);
    Click(kConvertCommand);
    ASSERT_TRUE(gate.WaitUntilHeld());
    duringQuestion = [&] {
        gate.Open();
        EXPECT_TRUE(finished.wait(30000));
    };
    answer = true;
    dialog->reject();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->Stopping());
    EXPECT_EQ(OutEntries(), QStringList({"a.jpg"}));
}
