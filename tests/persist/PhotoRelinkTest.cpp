#include "canvas/CollageModel.h"
#include "persist/PhotoRelink.h"
#include "persist/ProjectFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x", 1) == 1;
}

QString PathOf(const CollageModel& m, int index)
{
    return std::get<Photo>(m.ItemAt(index)).path.Value();
}

} // namespace

TEST(PhotoRelink, MovedPhotosAreFoundByNameInSubfoldersAndMarkTheCollageModified)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString old = dir.filePath(QStringLiteral("old/"));
    ASSERT_TRUE(Touch(dir.filePath("present.jpg")));

    CollageModel m;
    ASSERT_TRUE(m.AddPhoto(old + "beach.jpg", 100, 80, 0, 0));
    ASSERT_TRUE(m.AddPhoto(old + "Beach.JPG", 100, 80, 0, 0)); // another name: case counts
    ASSERT_TRUE(m.AddPhoto(dir.filePath("present.jpg"), 100, 80, 0, 0));
    ASSERT_TRUE(m.AddPhoto(old + "beach.jpg", 100, 80, 0, 0)); // the same photo twice
    ASSERT_TRUE(m.AddPhoto(old + "gone.jpg", 100, 80, 0, 0));
    ASSERT_TRUE(project::SaveProject(m, dir.filePath("c.vmz")));
    ASSERT_TRUE(project::LoadProject(m, dir.filePath("c.vmz")));
    ASSERT_FALSE(m.Modified());

    const QStringList missing = relink::MissingPhotoPaths(m);
    EXPECT_EQ(missing, (QStringList{old + "beach.jpg", old + "Beach.JPG", old + "gone.jpg"}));

    // The moved folder: beach.jpg both deep and shallow (the shallow one wins), Beach.JPG
    // only as beach.jpg's letter case elsewhere.
    const QString moved = dir.filePath(QStringLiteral("moved"));
    ASSERT_TRUE(Touch(moved + "/2019/summer/beach.jpg"));
    ASSERT_TRUE(Touch(moved + "/2019/beach.jpg"));
    ASSERT_TRUE(Touch(moved + "/other/BEACH.JPG"));

    const QHash<QString, QString> found = relink::FindByName(missing, moved);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.value(old + "beach.jpg"), moved + "/2019/beach.jpg");

    EXPECT_EQ(relink::Relink(m, found), 2);
    EXPECT_TRUE(m.Modified());
    EXPECT_EQ(PathOf(m, 0), moved + "/2019/beach.jpg");
    EXPECT_EQ(PathOf(m, 3), moved + "/2019/beach.jpg");
    EXPECT_EQ(PathOf(m, 1), old + "Beach.JPG");
    EXPECT_EQ(PathOf(m, 2), dir.filePath("present.jpg"));
    EXPECT_EQ(relink::MissingPhotoPaths(m), (QStringList{old + "Beach.JPG", old + "gone.jpg"}));
}

TEST(PhotoRelink, NothingFoundChangesNothingAndTheSearchEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CollageModel m;
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/nowhere/a.jpg"), 100, 80, 0, 0));
    m.SetModified(false);
    // A folder with a link to itself, and a limit on the entries looked at.
    ASSERT_TRUE(QDir(dir.path()).mkpath("loop"));
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("loop/back")));
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(Touch(dir.filePath(QStringLiteral("f%1.jpg").arg(i))));
    ASSERT_TRUE(Touch(dir.filePath("zz/a.jpg")));
    EXPECT_TRUE(relink::FindByName(relink::MissingPhotoPaths(m), dir.path(), 20).isEmpty());
    EXPECT_EQ(relink::Relink(m, {}), 0);
    EXPECT_FALSE(m.Modified());
    // Without the limit the photo is found once, the loop entered once.
    EXPECT_EQ(relink::FindByName(relink::MissingPhotoPaths(m), dir.path()).value("/nowhere/a.jpg"), dir.filePath("zz/a.jpg"));
}

TEST(PhotoRelink, ANewPathThatDoesNotFitTheFieldIsRefused)
{
    CollageModel m;
    ASSERT_TRUE(m.AddPhoto(QStringLiteral("/nowhere/a.jpg"), 100, 80, 0, 0));
    m.SetModified(false);
    const QString tooLong = QLatin1Char('/') + QString(300, u'd') + QStringLiteral("/a.jpg");
    EXPECT_EQ(relink::Relink(m, {{QStringLiteral("/nowhere/a.jpg"), tooLong}}), 0);
    EXPECT_EQ(PathOf(m, 0), QStringLiteral("/nowhere/a.jpg"));
    EXPECT_FALSE(m.Modified());
}
