// A soak of the collage model: many random operations of every kind (adds of each kind,
// moves, scales, turns, crops, frames, masks, tuning, z-order, deletes, undo, redo),
// with a save and a load every few operations, after each of which the collage must be
// exactly what was saved. The sanitizer build runs it under ASan and UBSan.
//
// MONTARA_SOAK_OPERATIONS sets the count (default 3,000, well under a second; ./build.sh asan
// runs 10,000), MONTARA_SOAK_SEED the random seed (default fixed, so a failure repeats).

#include "support/ProjectTestFiles.h"

#include "canvas/CollageModel.h"
#include "persist/ProjectFile.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace {

int EnvironmentNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

void Equip(CollageModel& model)
{
    model.SetTextMeasurer([](const LogFont& font, const QString& text) {
        return QSize(int(text.size()) * 7 + 4, std::abs(font.lfHeight) + 6);
    });
    model.SetClipArtSizeReader([](std::int32_t entry) { return QSize(32 + entry % 50, 24 + entry % 30); });
    model.SetBrushSizeReader([](std::int32_t entry) { return QSize(16 + entry % 20, 16 + entry % 20); });
}

// The first offset at which two files differ, or -1.
qsizetype FirstDifference(const QByteArray& a, const QByteArray& b)
{
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i])
            return i;
    }
    return a.size() == b.size() ? -1 : std::min(a.size(), b.size());
}

// The collage as saved, with each record's region index cleared: loading makes fresh
// regions whatever the file says (the index is bookkeeping of the open collage), every
// other byte must come back as it was.
QByteArray Canonical(const CollageModel& model)
{
    QByteArray bytes = project::ProjectBytes(model);
    qsizetype at = project::kHeaderSize;
    for (int i = 0; i < model.ItemCount(); ++i) {
        const int size = RecordSize(model.ItemAt(i));
        auto* record = reinterpret_cast<std::uint8_t*>(bytes.data()) + at + 4;
        std::optional<CanvasItem> item = ReadRecord(std::int32_t(model.KindAt(i)), record);
        if (item) {
            SetRegionIndex(*item, 0);
            WriteRecord(*item, record);
        }
        at += 4 + size;
    }
    return bytes;
}

void Reload(const QByteArray& saved, CollageModel& into)
{
    QByteArray bytes = saved;
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    const project::LoadResult loaded = project::LoadProjectFrom(into, device);
    EXPECT_EQ(loaded.status, project::LoadStatus::Loaded) << loaded.problem.toStdString();
}

struct Soak {
    std::mt19937 random;
    std::unique_ptr<CollageModel> model = std::make_unique<CollageModel>();
    int saves = 0;
    int peakItems = 0;

    int Pick(int below) { return below <= 0 ? 0 : int(random() % unsigned(below)); }
    float Between(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }

    // Selects a random item; false when there is none.
    bool SelectSome()
    {
        if (model->ItemCount() == 0)
            return false;
        model->SelectOnly(Pick(model->ItemCount()));
        return true;
    }

    void Operate(int operation)
    {
        switch (operation) {
        case 0:
            model->AddPhoto(QStringLiteral("/nowhere/photo%1.jpg").arg(Pick(1000)), 50 + Pick(4000), 50 + Pick(3000),
                           Pick(900), Pick(700));
            break;
        case 1:
            model->AddClipArt(Pick(200), Pick(900), Pick(700));
            break;
        case 2: {
            const int w = 1 + Pick(16);
            const int h = 1 + Pick(16);
            std::vector<std::uint8_t> pixels(std::size_t(w * h * 4), std::uint8_t(Pick(256)));
            model->AddPictureItem(pixels, w, h);
            break;
        }
        case 3:
            model->SetToolSettings(Pick(40), true, Between(-180, 180), Pick(101), 1 + Pick(100), std::uint32_t(random()));
            model->AddBrushStamp(Pick(900), Pick(700));
            model->RecordStep();
            break;
        case 4: {
            Text settings = model->CurrentTextSettings();
            settings.font.lfHeight = -(8 + Pick(60));
            model->SetCurrentTextSettings(settings);
            model->SetCurrentText(QStringLiteral("text %1 \u00e9").arg(Pick(100000)));
            model->AddText();
            break;
        }
        case 5: // move, as a drag does: the record's position, then one step
            if (SelectSome()) {
                CanvasItem& item = model->ItemAt(model->SelectedIndex());
                SetPosition(item, Pick(2000) - 500, Pick(2000) - 500);
                model->RebuildRegion(model->SelectedIndex());
                model->RecordStep();
            }
            break;
        case 6: // scale
            if (SelectSome()) {
                SetDrawScale(model->ItemAt(model->SelectedIndex()), Between(0.05f, 4.0f));
                model->RebuildRegion(model->SelectedIndex());
                model->RecordStep();
            }
            break;
        case 7: // turn
            if (SelectSome()) {
                SetAngle(model->ItemAt(model->SelectedIndex()), Between(-720, 720));
                model->RebuildRegion(model->SelectedIndex());
                model->RecordStep();
            }
            break;
        case 8: // crop
            if (SelectSome() && model->SelectedPhoto()) {
                const Photo& photo = *model->SelectedPhoto();
                const int left = Pick(photo.sourceWidth);
                const int top = Pick(photo.sourceHeight);
                model->SetCrop(left, top, left + 1 + Pick(photo.sourceWidth - left), top + 1 + Pick(photo.sourceHeight - top));
            }
            break;
        case 9: // frame and mask
            if (SelectSome() && model->SelectedPhoto()) {
                Photo& photo = *model->SelectedPhoto();
                photo.frameIndex = Pick(30);
                photo.maskIndex = Pick(60);
                model->RecordStep();
            }
            break;
        case 10:
            if (SelectSome())
                model->SetTuning(Between(0, 2), Between(-1, 1), Between(0, 2), Between(-180, 180), Between(0.2f, 3),
                                Between(-90, 90), Pick(8) == 0);
            break;
        case 11:
            if (SelectSome()) {
                switch (Pick(4)) {
                case 0: model->BringForward(); break;
                case 1: model->SendBackward(); break;
                case 2: model->BringToFront(); break;
                default: model->SendToBack(); break;
                }
            }
            break;
        case 12:
            if (SelectSome())
                model->DeleteSelected();
            break;
        case 13:
            model->Undo();
            break;
        case 14:
            model->Redo();
            break;
        default:
            SaveAndLoad();
            break;
        }
        peakItems = std::max(peakItems, model->ItemCount());
    }

    // Saved and loaded again, the collage is unchanged; now and then the loaded one goes
    // on in its place (with no history, as after opening a file).
    void SaveAndLoad()
    {
        ++saves;
        const QByteArray saved = project::ProjectBytes(*model);
        auto loaded = std::make_unique<CollageModel>();
        Equip(*loaded);
        Reload(saved, *loaded);
        ASSERT_EQ(project::ProjectBytes(*loaded).size(), saved.size());
        const QByteArray before = Canonical(*model);
        const QByteArray after = Canonical(*loaded);
        const qsizetype at = FirstDifference(after, before);
        ASSERT_EQ(at, -1) << "collage changed through save and load " << saves << ": bytes "
                          << before.mid(at, 4).toHex().toStdString() << " became "
                          << after.mid(at, 4).toHex().toStdString() << ", first kind "
                          << (model->ItemCount() ? int(model->KindAt(0)) : -1);
        ASSERT_EQ(loaded->ItemCount(), model->ItemCount());
        for (int i = 0; i < model->ItemCount(); ++i)
            ASSERT_EQ(loaded->KindAt(i), model->KindAt(i));
        if (saves % 8 == 0)
            model = std::move(loaded);
    }
};

} // namespace

TEST(CollageSoak, RandomOperationsSurviveSaveAndLoad)
{
    const int operations = EnvironmentNumber("MONTARA_SOAK_OPERATIONS", 3000);
    Soak soak;
    soak.random.seed(std::uint32_t(EnvironmentNumber("MONTARA_SOAK_SEED", 20261209)));
    Equip(*soak.model);
    ASSERT_TRUE(soak.model->SetCanvasSize(1024, 768));
    for (int i = 0; i < operations; ++i) {
        // Adds a little more often than deletes, so the collage grows to tens of items.
        soak.Operate(soak.Pick(17));
        ASSERT_FALSE(::testing::Test::HasFatalFailure()) << "after operation " << i;
    }
    // The file on disk, through the atomic writer and the file reader.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("soak.vmz"));
    ASSERT_TRUE(project::SaveProjectFile(*soak.model, path).ok);
    CollageModel fromDisk;
    Equip(fromDisk);
    ASSERT_EQ(project::LoadProjectFile(fromDisk, path).status, project::LoadStatus::Loaded);
    EXPECT_EQ(FirstDifference(Canonical(fromDisk), Canonical(*soak.model)), -1);
    EXPECT_GT(soak.saves, operations / 40);
    EXPECT_GT(soak.peakItems, 5);
    std::printf("soak: %d operations, %d saves and loads, at most %d items\n", operations, soak.saves, soak.peakItems);
}
