#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "base/UserMessage.h"
#include "canvas/CanvasRenderer.h"
#include "canvas/CanvasWnd.h"
#include "canvas/ItemPictures.h"
#include "editing/PanelSlider.h"
#include "editing/SliderGeometry.h"
#include "library/LibraryFiles.h"
#include "library/LibraryGrid.h"
#include "library/LibraryPanel.h"
#include "ui/CVelColourPicker.h"
#include "ui/PanelContainer.h"
#include "ui/skin/SkinButton.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <variant>

namespace {

class MessageCapture {
public:
  MessageCapture()
      : previous_(SetMessageHandler([this](MessageKind, const QString &text) {
          texts.append(text);
        })) {}
  ~MessageCapture() { SetMessageHandler(previous_); }
  QStringList texts;

private:
  MessageHandler previous_;
};

// A window on a new user's data folder: the starter packs are installed into
// it.
struct FreshWindow {
  FreshWindow() {
    frame.UseLibraryFolder(dir.path() + QStringLiteral("/"));
    frame.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    frame.resize(1400, 900);
    frame.show();
  }
  const Photo &PhotoAt(int index) {
    return std::get<Photo>(frame.Canvas().Model().ItemAt(index));
  }

  QTemporaryDir dir;
  MainFrame frame;
};

QPoint CellCentre(const library::LibraryPanel &panel, int n) {
  const int columns = library::PanelColumns(
      library::GridArea(panel.size(), panel.Button() != nullptr).width());
  return library::CellRect(n, columns, panel.ScrollPosition()).center();
}

int PressSlider(PanelSlider &slider, int x) {
  QTest::mouseClick(&slider, Qt::LeftButton, {},
                    QPoint(x, slider.height() / 2));
  return slider::PositionAtX(x, slider.width(), slider.Minimum(),
                             slider.Maximum());
}

// A landscape-like picture: sky, hills, a sun.
QString WriteLandscape(const QTemporaryDir &dir, const QString &name) {
  QImage picture(640, 480, QImage::Format_RGB32);
  QPainter p(&picture);
  QLinearGradient sky(0, 0, 0, 300);
  sky.setColorAt(0, QColor(90, 150, 220));
  sky.setColorAt(1, QColor(200, 225, 245));
  p.fillRect(picture.rect(), sky);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 210, 90));
  p.drawEllipse(QPoint(480, 110), 50, 50);
  p.setBrush(QColor(90, 150, 80));
  p.drawEllipse(QRect(-200, 280, 700, 400));
  p.setBrush(QColor(60, 120, 60));
  p.drawEllipse(QRect(250, 320, 600, 360));
  p.end();
  const QString path = dir.filePath(name);
  picture.save(path);
  return path;
}

// Screenshots under a real X server go to MONTARA_SHOT_DIR when it is set.
void Shoot(const QString &name) {
  const QString folder = qEnvironmentVariable("MONTARA_SHOT_DIR");
  if (folder.isEmpty() ||
      QGuiApplication::platformName() != QLatin1String("xcb"))
    return;
  QTest::qWait(300);
  QProcess::execute(
      QStringLiteral("import"),
      {QStringLiteral("-window"), QStringLiteral("root"),
       folder + QLatin1Char('/') + name + QStringLiteral(".png")});
}

} // namespace

TEST(MainFrameScreenshot, FramePanelFullAndAFramedPhoto) {
  QTemporaryDir dir;
  MainFrame frame;
  frame.UseLibraryFolder(dir.path() + QStringLiteral("/"));
  frame.show();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  CanvasWnd &canvas = frame.Canvas();
  canvas.SetCanvasSize(1000, 700);
  ASSERT_TRUE(canvas.AddPhoto(WriteLandscape(dir, QStringLiteral("a.png")), 640,
                              480, 200, 120));
  library::LibraryPanel *frames = frame.LibraryPanelOf(3);
  ASSERT_GE(frames->Count(), 12);
  frames->Select(0);
  frames->Apply();
  EXPECT_EQ(std::get<Photo>(canvas.Model().ItemAt(0)).frameIndex, 1);
  frames->Select(0);
  QTest::qWait(100);
  Shoot(QStringLiteral("library-frames"));
  frame.OnCommand(cmd::kClipArtTab);
  Shoot(QStringLiteral("library-cliparts"));
}

TEST(LibraryPanels, FirstStartFillsEveryPanelFromTheStarterPacks) {
  FreshWindow w;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.frame));
  EXPECT_TRUE(QFile::exists(w.dir.filePath(QStringLiteral("Res_Info"))));
  const struct {
    int identifier;
    std::int32_t category;
    int atLeast;
    const char *button;
  } panels[] = {{0, 2, 40, "Add"},
                {1, 1, 10, "Apply"},
                {2, 5, 10, "Apply"},
                {3, 0, 12, "Apply"},
                {5, 4, 12, nullptr}};
  for (const auto &p : panels) {
    library::LibraryPanel *panel = w.frame.LibraryPanelOf(p.identifier);
    ASSERT_NE(panel, nullptr) << p.identifier;
    EXPECT_EQ(panel->Category(), p.category);
    EXPECT_GE(panel->Count(), p.atLeast) << p.identifier;
    if (p.button) {
      ASSERT_NE(panel->Button(), nullptr);
      EXPECT_EQ(panel->Button()->text(), QString::fromLatin1(p.button));
      EXPECT_EQ(panel->SelectedIndex(), 0);
    } else {
      EXPECT_EQ(panel->Button(), nullptr);
      EXPECT_FALSE(panel->Entry(0).pixels.isEmpty());
    }
  }
  // The frame panel stands in the frame tab's place, the brush panel in its
  // own.
  EXPECT_EQ(w.frame.LibraryPanelOf(3)->parentWidget(),
            &w.frame.LibraryPanelPlace(MainFrame::Tab::Frame));
  EXPECT_EQ(w.frame.LibraryPanelOf(5)->parentWidget(),
            &w.frame.BrushPanelPlace());
  EXPECT_EQ(w.frame.LibraryPanelOf(4), nullptr);
}

TEST(LibraryPanels, ApplyPutsTheSelectedFrameMaskOrShapeOnTheSelectedPhoto) {
  FreshWindow w;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.frame));
  ASSERT_TRUE(w.frame.Canvas().AddPhoto(
      QStringLiteral("/nonexistent/photo.jpg"), 1600, 1200, 20, 20));
  library::LibraryPanel *frames = w.frame.LibraryPanelOf(3);
  frames->Select(2);
  QTest::mouseClick(frames->Button(), Qt::LeftButton);
  EXPECT_EQ(w.PhotoAt(0).frameIndex, 3);
  EXPECT_GT(w.PhotoAt(0).baseWidth, 1600); // the frame around the photo
  const auto opening = library::ReadFrameOpening(
      w.dir.filePath(QStringLiteral("photoframes")), 2);
  ASSERT_TRUE(opening.has_value());
  EXPECT_FLOAT_EQ(w.PhotoAt(0).frameLeft, opening->left);

  w.frame.LibraryPanelOf(1)->Select(1);
  w.frame.LibraryPanelOf(1)->Apply();
  EXPECT_EQ(w.PhotoAt(0).maskIndex, 2);
  EXPECT_EQ(w.PhotoAt(0).frameIndex, 0);

  w.frame.LibraryPanelOf(2)->Select(0);
  w.frame.LibraryPanelOf(2)->Apply();
  EXPECT_EQ(w.PhotoAt(0).maskIndex, 5001);
}

TEST(LibraryPanels, AddPlacesClipArtAtAFifthOfTheDisplayAndApplyAsksForAPhoto) {
  FreshWindow w;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.frame));
  MessageCapture messages;
  w.frame.LibraryPanelOf(3)->Apply(); // no photo on the canvas
  EXPECT_EQ(messages.texts, QStringList{QStringLiteral(
                                "Please select a photo on the canvas.")});

  CollageModel &model = w.frame.Canvas().Model();
  w.frame.LibraryPanelOf(0)->Select(4);
  QTest::mouseClick(w.frame.LibraryPanelOf(0)->Button(), Qt::LeftButton);
  ASSERT_EQ(model.ItemCount(), 1);
  const auto &clip = std::get<ClipArt>(model.ItemAt(0));
  EXPECT_EQ(clip.sourceIndex, 4);
  const QRect display = model.DisplayRect();
  EXPECT_EQ(QPoint(clip.posX, clip.posY),
            model.ClientToCanvas(display.width() / 5, display.height() / 5));
}

TEST(LibraryPanels, DraggingAnEntryOntoTheCanvasDropsItAtTheCursor) {
  FreshWindow w;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.frame));
  CanvasWnd &canvas = w.frame.Canvas();
  CollageModel &model = canvas.Model();
  ASSERT_TRUE(canvas.AddPhoto(QStringLiteral("/nonexistent/photo.jpg"), 800,
                              600, 20, 20));

  // A frame released over the canvas frames the selected photo.
  library::LibraryPanel *frames = w.frame.LibraryPanelOf(3);
  const QPoint overCanvas = canvas.rect().center();
  const QPoint release = frames->mapFromGlobal(canvas.mapToGlobal(overCanvas));
  QTest::mousePress(frames, Qt::LeftButton, {}, CellCentre(*frames, 1));
  QTest::mouseRelease(frames, Qt::LeftButton, {}, release);
  EXPECT_EQ(w.PhotoAt(0).frameIndex, 2);

  // Clip-art lands where it was released.
  w.frame.OnCommand(cmd::kClipArtTab);
  library::LibraryPanel *clips = w.frame.LibraryPanelOf(0);
  ASSERT_TRUE(clips->isVisible());
  const QPoint at(150, 120);
  QTest::mousePress(clips, Qt::LeftButton, {}, CellCentre(*clips, 3));
  QTest::mouseRelease(clips, Qt::LeftButton, {},
                      clips->mapFromGlobal(canvas.mapToGlobal(at)));
  ASSERT_EQ(model.ItemCount(), 2);
  const auto &clip = std::get<ClipArt>(model.ItemAt(1));
  EXPECT_EQ(clip.sourceIndex, 3);
  EXPECT_EQ(QPoint(clip.posX, clip.posY), model.ClientToCanvas(at.x(), at.y()));

  // Released outside the canvas (over the tab strip): nothing is dropped.
  QTest::mousePress(clips, Qt::LeftButton, {}, CellCentre(*clips, 2));
  QTest::mouseRelease(clips, Qt::LeftButton, {},
                      clips->mapFromGlobal(w.frame.mapToGlobal(QPoint(5, 5))));
  EXPECT_EQ(model.ItemCount(), 2);
}

TEST(LibraryPanels, InstallCommandAddsThePackToItsPanelOnceOnly) {
  FreshWindow w;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.frame));
  QTemporaryDir packs;
  const QString pack = packs.filePath(QStringLiteral("more-frames.qrs"));
  ASSERT_TRUE(
      QFile::copy(QStringLiteral(":/starter/montara-frames.qrs"), pack));
  library::LibraryPanel *frames = w.frame.LibraryPanelOf(3);
  const int before = frames->Count();
  MessageCapture messages;
  // The open dialog is answered with the pack as soon as it shows.
  const auto answer = [&pack] {
    QTimer::singleShot(0, [&pack] {
      auto *dialog =
          qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("(*.qrs)")});
      dialog->selectFile(pack);
      static_cast<QDialog*>(dialog)->accept();
    });
  };
  answer();
  w.frame.OnCommand(cmd::kInstallPack);
  EXPECT_EQ(frames->Count(), 2 * before);
  EXPECT_TRUE(messages.texts.isEmpty());

  answer();
  w.frame.OnCommand(cmd::kInstallPack);
  EXPECT_EQ(frames->Count(), 2 * before);
  EXPECT_EQ(messages.texts,
            QStringList{QStringLiteral("Already in the library.")});
}

// The Angle slider shows the chosen brush's own angle; moving it turns that brush
// (in the panel and for the next stamps) and no other.
TEST(LibraryPanels, EachBrushKeepsItsAngle) {
  FreshWindow w;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.frame));
  library::LibraryPanel *brushes = w.frame.LibraryPanelOf(5);
  const BrushToolSettings &tool = w.frame.Canvas().Model().ToolSettings();
  PanelSlider &angle = w.frame.Slider(2);

  QTest::mouseClick(brushes, Qt::LeftButton, {}, CellCentre(*brushes, 2));
  ASSERT_EQ(brushes->SelectedIndex(), 2);
  EXPECT_EQ(tool.entryIndex, 2);
  EXPECT_EQ(angle.Position(), 0);
  const int tilted = PressSlider(angle, angle.width() / 4);
  ASSERT_GT(tilted, 0);
  EXPECT_FLOAT_EQ(tool.angle, static_cast<float>(tilted));
  EXPECT_EQ(brushes->EntryAngle(2), tilted);

  // Another brush starts upright, whatever the slider showed.
  QTest::mouseClick(brushes, Qt::LeftButton, {}, CellCentre(*brushes, 3));
  EXPECT_EQ(tool.entryIndex, 3);
  EXPECT_EQ(angle.Position(), 0);
  EXPECT_FLOAT_EQ(tool.angle, 0.0f);
  EXPECT_EQ(brushes->EntryAngle(3), 0);
  const int other = PressSlider(angle, angle.width() - 2);
  EXPECT_EQ(brushes->EntryAngle(3), other);
  EXPECT_EQ(brushes->EntryAngle(2), tilted);

  // Back to the first: its angle again, also for a stamp.
  QTest::mouseClick(brushes, Qt::LeftButton, {}, CellCentre(*brushes, 2));
  EXPECT_EQ(angle.Position(), tilted);
  EXPECT_FLOAT_EQ(tool.angle, static_cast<float>(tilted));
  w.frame.OnCommand(cmd::kBrushSwitch);
  CanvasWnd &canvas = w.frame.Canvas();
  QTest::mouseClick(&canvas, Qt::LeftButton, {}, QPoint(200, 150));
  ASSERT_EQ(canvas.Model().ItemCount(), 1);
  EXPECT_FLOAT_EQ(std::get<BrushStamp>(canvas.Model().ItemAt(0)).angle,
                  static_cast<float>(tilted));
}

// A brush stamped on the canvas with a tint colour puts the brush's shape in
// that colour on the collage: opaque pixels of the brush come out in the tint,
// transparent ones leave the background.
TEST(LibraryPanels, StampingPaintsTheBrushShapeInTheTint) {
  FreshWindow w;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.frame));
  CanvasWnd &canvas = w.frame.Canvas();
  canvas.SetCanvasSize(600, 400);
  library::LibraryPanel *brushes = w.frame.LibraryPanelOf(5);
  constexpr int kEntry = 1;
  QTest::mouseClick(brushes, Qt::LeftButton, {}, CellCentre(*brushes, kEntry));
  ASSERT_EQ(brushes->SelectedIndex(), kEntry);
  constexpr std::uint32_t kTint = 0x00208040; // COLORREF: red 0x40, green 0x80, blue 0x20
  w.frame.ColourPicker().SetColour(kTint);
  w.frame.OnPropertyBarChanged();
  w.frame.OnCommand(cmd::kBrushSwitch);
  ASSERT_TRUE(w.frame.ToolActive());

  const QPoint at(220, 160);
  QTest::mouseClick(&canvas, Qt::LeftButton, {}, at);
  CollageModel &model = canvas.Model();
  ASSERT_EQ(model.ItemCount(), 1);
  const auto &stamp = std::get<BrushStamp>(model.ItemAt(0));
  EXPECT_EQ(stamp.tintColor, kTint);
  EXPECT_EQ(stamp.sourceIndex, kEntry);

  ASSERT_TRUE(canvas.ComposeFullSize());
  const QImage collage = canvas.Renderer().Export().ToImage();
  ASSERT_EQ(collage.size(), QSize(600, 400));
  const QImage brush = library::ReadThumbnailEntry(
      w.dir.filePath(QStringLiteral("brushs")), kEntry);
  ASSERT_FALSE(brush.isNull());
  const QRgb tint = qRgb(0x40, 0x80, 0x20);
  const QRgb white = qRgb(255, 255, 255) & RGB_MASK;
  // The stamp is drawn at its displayed size from its position (no angle).
  const QSize shown = render::DisplaySize(DrawFieldsOf(model.ItemAt(0)), 1.0f);
  ASSERT_GT(shown.width(), brush.width()); // drawn larger than the brush
  const double sx = double(shown.width()) / brush.width();
  const double sy = double(shown.height()) / brush.height();
  // Every brush pixel whose neighbours share its alpha (away from the soft
  // edges), looked up where the stamp drew it.
  int inked = 0;
  int bare = 0;
  for (int y = 1; y + 1 < brush.height(); ++y)
    for (int x = 1; x + 1 < brush.width(); ++x) {
      int lowest = 255, highest = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int a = qAlpha(brush.pixel(x + dx, y + dy));
          lowest = std::min(lowest, a);
          highest = std::max(highest, a);
        }
      if (lowest != highest || (highest != 0 && highest != 255))
        continue;
      const QPoint p(stamp.posX + int((x + 0.5) * sx),
                     stamp.posY + int((y + 0.5) * sy));
      ASSERT_TRUE(collage.rect().contains(p));
      const QRgb got = collage.pixel(p) & RGB_MASK;
      const QRgb want = highest == 255 ? tint : white;
      EXPECT_LE(std::abs(qRed(got) - qRed(want)) +
                    std::abs(qGreen(got) - qGreen(want)) +
                    std::abs(qBlue(got) - qBlue(want)),
                6)
          << x << "," << y << std::hex << " got " << got;
      (highest == 255 ? inked : bare) += 1;
    }
  EXPECT_GT(inked, 50);
  EXPECT_GT(bare, 50);
  // Nothing of the tint outside the stamp.
  const QRect drawn(QPoint(stamp.posX, stamp.posY), shown);
  for (int y = 0; y < collage.height(); y += 3) {
    for (int x = 0; x < collage.width(); x += 3) {
      if (!drawn.contains(x, y)) {
        ASSERT_EQ(collage.pixel(x, y) & RGB_MASK, white) << x << "," << y;
      }
    }
  }
}
