#include "library/LibraryPanel.h"
#include "base/UserMessage.h"
#include "library/LibraryFiles.h"
#include "library/LibraryGrid.h"
#include "ui/skin/SkinButton.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

using namespace library;

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

QImage Swatch(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

// A thumbnail file of n entries, entry i being (10 + i) x 8 in a colour of its
// own.
QString WriteEntries(const QTemporaryDir &dir, int n) {
  std::vector<QImage> entries;
  for (int i = 0; i < n; ++i)
    entries.push_back(Swatch(10 + i, 8, qRgba(i * 20, 100, 200 - i * 10, 255)));
  const QString path = dir.filePath(QStringLiteral("photoframes_t"));
  EXPECT_TRUE(WriteThumbnailFile(path, entries));
  return path;
}

LibraryPanel::Setup FrameSetup() { return {3, 0, 3, "Apply", false, true}; }

LibraryPanel::Setup BrushSetup() { return {5, 4, 1, nullptr, true, false}; }

QPoint CellCentre(const LibraryPanel &panel, int n) {
  const int columns =
      PanelColumns(GridArea(panel.size(), panel.Button() != nullptr).width());
  return CellRect(n, columns, panel.ScrollPosition()).center();
}

} // namespace

TEST(LibraryGrid, CellsHitOnlyInsideAndGapsHitNothing) {
  // 200 wide less the 17-pixel bar: (183 - 3) / 65 = 2 columns.
  const int columns = PanelColumns(GridArea(QSize(200, 300), true).width());
  ASSERT_EQ(columns, 2);
  EXPECT_EQ(CellRect(0, columns, 0), QRect(3, 3, 62, 62));
  EXPECT_EQ(CellRect(3, columns, 10), QRect(68, 58, 62, 62));
  EXPECT_EQ(EntryAt({3, 3}, columns, 0, 5), 0);
  EXPECT_EQ(EntryAt({64, 64}, columns, 0, 5), 0);
  EXPECT_EQ(EntryAt({65, 10}, columns, 0, 5), -1); // the gap between columns
  EXPECT_EQ(EntryAt({10, 66}, columns, 0, 5), -1); // the gap between rows
  EXPECT_EQ(EntryAt({70, 70}, columns, 0, 5), 3);
  EXPECT_EQ(EntryAt({70, 140}, columns, 0, 5), -1); // after the last entry
  EXPECT_EQ(EntryAt({10, 5}, columns, 65, 5), 2);   // scrolled by a row
  EXPECT_EQ(EntryAt({1, 1}, columns, 0, 5), -1);
  EXPECT_EQ(PanelColumns(10), 1);
}

TEST(LibraryGrid, ScrollingStaysInItsRange) {
  // 7 entries in 2 columns: 4 rows, 3 + 4 x 65 = 263 high.
  EXPECT_EQ(GridContentHeight(7, 2), 263);
  EXPECT_EQ(GridContentHeight(0, 2), 3);
  const std::int32_t range = GridScrollRange(7, 2, 200);
  EXPECT_EQ(range, 63);
  EXPECT_EQ(GridScrollRange(1, 2, 200), 0);
  EXPECT_EQ(ApplyGridScroll(1, 0, range, 0, 200),
            63); // a line is a row, clamped
  EXPECT_EQ(ApplyGridScroll(0, 63, range, 0, 200), 0);
  EXPECT_EQ(ApplyGridScroll(3, 0, range, 0, 200), 63);  // a page
  EXPECT_EQ(ApplyGridScroll(5, 0, range, 40, 200), 40); // the thumb
  EXPECT_EQ(ApplyGridScroll(5, 0, range, 400, 200), 63);
  EXPECT_EQ(ApplyGridScroll(5, 0, range, -5, 200), 0);
  EXPECT_EQ(WheelScroll(0, 1000, -2), 130);
  EXPECT_EQ(WheelScroll(100, 1000, 3), 0);
}

TEST(LibraryPanelLoad, LoadsEveryEntryAndSelectsTheFirst) {
  QTemporaryDir dir;
  const QString path = WriteEntries(dir, 5);
  LibraryPanel panel(FrameSetup());
  ASSERT_TRUE(panel.ReloadFromFile(path));
  ASSERT_EQ(panel.Count(), 5);
  EXPECT_EQ(panel.SelectedIndex(), 0);
  EXPECT_TRUE(panel.Entry(0).selected);
  EXPECT_EQ(panel.Entry(4).width, 14);
  EXPECT_EQ(panel.Entry(4).height, 8);
  EXPECT_EQ(panel.Entry(4).bitmap.format(), QImage::Format_ARGB32);
  EXPECT_EQ(panel.Entry(4).bitmap.pixel(3, 3), qRgba(80, 100, 160, 255));
  EXPECT_TRUE(
      panel.Entry(4).pixels.isEmpty()); // only the brush panel keeps them
}

TEST(LibraryPanelLoad, BrushPanelKeepsPixelsSelectsNothingAndHasNoButton) {
  QTemporaryDir dir;
  const QString path = WriteEntries(dir, 3);
  LibraryPanel panel(BrushSetup());
  ASSERT_TRUE(panel.ReloadFromFile(path));
  EXPECT_EQ(panel.SelectedIndex(), -1);
  EXPECT_EQ(panel.Button(), nullptr);
  ASSERT_EQ(panel.Entry(1).pixels.size(), 11 * 8 * 4);
  // Blue, green, red, alpha per pixel.
  EXPECT_EQ(static_cast<unsigned char>(panel.Entry(1).pixels[0]), 190);
  EXPECT_EQ(static_cast<unsigned char>(panel.Entry(1).pixels[2]), 20);
}

TEST(LibraryPanelLoad,
     ShortFileKeepsTheWholeEntriesMissingFileEmptiesThePanel) {
  QTemporaryDir dir;
  const QString path = WriteEntries(dir, 4);
  LibraryPanel panel(FrameSetup());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.resize(file.size() - 5)); // the last entry ends early
  file.close();
  EXPECT_FALSE(panel.ReloadFromFile(path));
  EXPECT_EQ(panel.Count(), 3);
  EXPECT_EQ(panel.SelectedIndex(), 0);

  EXPECT_FALSE(panel.ReloadFromFile(dir.filePath(QStringLiteral("missing"))));
  EXPECT_EQ(panel.Count(), 0);
  EXPECT_EQ(panel.SelectedIndex(), -1);
}

TEST(LibraryPanelUse, PressSelectsOneEntryAndReportsTheSelection) {
  QTemporaryDir dir;
  LibraryPanel panel(FrameSetup());
  panel.resize(200, 300);
  panel.show();
  ASSERT_TRUE(panel.ReloadFromFile(WriteEntries(dir, 5)));
  QSignalSpy pressed(&panel, &LibraryPanel::pressed);
  QTest::mousePress(&panel, Qt::LeftButton, {}, CellCentre(panel, 3));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, CellCentre(panel, 3));
  EXPECT_EQ(panel.SelectedIndex(), 3);
  for (int n = 0; n < panel.Count(); ++n)
    EXPECT_EQ(panel.Entry(n).selected, n == 3) << n;
  ASSERT_EQ(pressed.count(), 1);
  EXPECT_EQ(pressed[0][0].value<std::int32_t>(), 0);
  EXPECT_EQ(pressed[0][1].value<std::vector<std::int32_t>>(),
            std::vector<std::int32_t>{3});
  // A press between cells keeps the selection and still reports it.
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(66, 10));
  EXPECT_EQ(panel.SelectedIndex(), 3);
  EXPECT_EQ(pressed.count(), 2);
}

TEST(LibraryPanelUse, ApplySendsCodeAndEntryOrAsksForASelection) {
  QTemporaryDir dir;
  LibraryPanel panel(FrameSetup());
  panel.resize(200, 300);
  panel.show();
  ASSERT_NE(panel.Button(), nullptr);
  EXPECT_EQ(panel.Button()->geometry(), QRect(3, 277, 76, 20)); // bottom-left
  EXPECT_EQ(panel.Button()->text(), QStringLiteral("Apply"));
  QSignalSpy applied(&panel, &LibraryPanel::applyRequested);
  MessageCapture messages;

  panel.Apply(); // nothing loaded
  EXPECT_EQ(messages.texts,
            QStringList{QStringLiteral("Please Select a object to operate.")});
  EXPECT_EQ(applied.count(), 0);

  ASSERT_TRUE(panel.ReloadFromFile(WriteEntries(dir, 5)));
  panel.Select(2);
  QTest::mouseClick(panel.Button(), Qt::LeftButton);
  ASSERT_EQ(applied.count(), 1);
  EXPECT_EQ(applied[0][0].toInt(), 3);
  EXPECT_EQ(applied[0][1].value<std::int32_t>(), 2);
  EXPECT_EQ(messages.texts.size(), 1);
}

TEST(LibraryPanelUse, BrushPanelSendsItsCodeOnSelection) {
  QTemporaryDir dir;
  LibraryPanel panel(BrushSetup());
  panel.resize(150, 200);
  panel.show();
  ASSERT_TRUE(panel.ReloadFromFile(WriteEntries(dir, 3)));
  QSignalSpy applied(&panel, &LibraryPanel::applyRequested);
  QTest::mouseClick(&panel, Qt::LeftButton, {}, CellCentre(panel, 1));
  EXPECT_EQ(panel.SelectedIndex(), 1);
  ASSERT_EQ(applied.count(), 1);
  EXPECT_EQ(applied[0][0].toInt(), 1);
  EXPECT_EQ(applied[0][1].value<std::int32_t>(), 0);
}

TEST(LibraryPanelUse, WheelScrollsByRowsWithinTheRange) {
  QTemporaryDir dir;
  LibraryPanel panel(FrameSetup());
  panel.resize(150, 200); // 2 columns, 174 high grid
  panel.show();
  ASSERT_TRUE(panel.ReloadFromFile(WriteEntries(dir, 12))); // 6 rows, 393 high
  const auto wheel = [&panel](int delta) {
    QWheelEvent event(QPointF(20, 20), panel.mapToGlobal(QPointF(20, 20)), {},
                      QPoint(0, delta), Qt::NoButton, {}, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(&panel, &event);
  };
  wheel(-120);
  EXPECT_EQ(panel.ScrollPosition(), 65);
  wheel(-60); // half a notch waits for the other half
  EXPECT_EQ(panel.ScrollPosition(), 65);
  wheel(-60);
  EXPECT_EQ(panel.ScrollPosition(), 130);
  wheel(-1200);
  EXPECT_EQ(panel.ScrollPosition(), 393 - 174);
  // A press hits the entry drawn under it: row 3 (y 198..259) shows at the top.
  QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(panel.SelectedIndex(), 6);
  wheel(1200);
  EXPECT_EQ(panel.ScrollPosition(), 0);
}

TEST(LibraryPanelUse, ReleaseOutsideAfterPressOnEntryReportsTheScreenPoint) {
  QTemporaryDir dir;
  LibraryPanel panel(FrameSetup());
  panel.resize(200, 300);
  panel.show();
  ASSERT_TRUE(panel.ReloadFromFile(WriteEntries(dir, 5)));
  QSignalSpy released(&panel, &LibraryPanel::released);
  QTest::mousePress(&panel, Qt::LeftButton, {}, CellCentre(panel, 1));
  EXPECT_EQ(panel.cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(400, 50));
  ASSERT_EQ(released.count(), 1);
  EXPECT_EQ(released[0][0].toPoint(), panel.mapToGlobal(QPoint(400, 50)));
  // Released inside, or after a press on no entry: no drop.
  QTest::mousePress(&panel, Qt::LeftButton, {}, CellCentre(panel, 1));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, CellCentre(panel, 2));
  QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(66, 10));
  QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(400, 50));
  EXPECT_EQ(released.count(), 1);
}

TEST(LibraryGrid, TurnedPictureFitsTheCell) {
  EXPECT_DOUBLE_EQ(TurnedFitScale(QSize(58, 20), 0, 58), 1.0);
  EXPECT_DOUBLE_EQ(TurnedFitScale(QSize(20, 58), 90, 58), 1.0);
  EXPECT_DOUBLE_EQ(TurnedFitScale(QSize(30, 30), 33, 58), 1.0); // small enough
  // A full square turned by 45 degrees: its diagonal must fit.
  EXPECT_NEAR(TurnedFitScale(QSize(58, 58), 45, 58), 1.0 / std::sqrt(2.0), 1e-9);
  EXPECT_NEAR(TurnedFitScale(QSize(58, 58), -45, 58), 1.0 / std::sqrt(2.0), 1e-9);
  EXPECT_DOUBLE_EQ(TurnedFitScale(QSize(), 45, 58), 1.0);
}

// Ink (non-white pixels) in the four halves of a cell's inside.
struct Halves {
  int left = 0, right = 0, top = 0, bottom = 0;
};
Halves InkOf(const QImage &shot, QRect cell) {
  Halves h;
  const QRect inner = cell.adjusted(3, 3, -3, -3);
  for (int y = inner.top(); y <= inner.bottom(); ++y)
    for (int x = inner.left(); x <= inner.right(); ++x) {
      if (qGray(shot.pixel(x, y)) > 128)
        continue;
      (x < inner.center().x() ? h.left : h.right) += 1;
      (y < inner.center().y() ? h.top : h.bottom) += 1;
    }
  return h;
}

// The brush panel shows each brush at its own angle, clockwise, kept over a
// reload; the other entries stay upright.
TEST(LibraryPanelUse, BrushesAreShownAtTheirAngles) {
  QTemporaryDir dir;
  // A brush that is a black bar along its left edge.
  QImage bar(40, 40, QImage::Format_ARGB32);
  bar.fill(qRgba(0, 0, 0, 0));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 10; ++x)
      bar.setPixel(x, y, qRgba(0, 0, 0, 255));
  const QString path = dir.filePath(QStringLiteral("brushs"));
  ASSERT_TRUE(WriteThumbnailFile(path, {bar, bar, bar}));
  LibraryPanel panel(BrushSetup());
  panel.resize(150, 200);
  ASSERT_TRUE(panel.ReloadFromFile(path));
  panel.SetEntryAngle(1, 90);
  panel.SetEntryAngle(2, 180);
  EXPECT_EQ(panel.EntryAngle(0), 0);
  EXPECT_EQ(panel.EntryAngle(1), 90);
  EXPECT_EQ(panel.EntryAngle(7), 0);

  const auto check = [&] {
    const QImage shot = panel.grab().toImage();
    const int columns = PanelColumns(GridArea(panel.size(), false).width());
    const Halves upright = InkOf(shot, CellRect(0, columns, 0));
    const Halves quarter = InkOf(shot, CellRect(1, columns, 0));
    const Halves half = InkOf(shot, CellRect(2, columns, 0));
    EXPECT_GT(upright.left, 300);
    EXPECT_EQ(upright.right, 0);
    EXPECT_NEAR(upright.top, upright.bottom, 45);
    // Turned clockwise by 90 degrees, the left bar lies along the top.
    EXPECT_GT(quarter.top, 300);
    EXPECT_EQ(quarter.bottom, 0);
    EXPECT_NEAR(quarter.left, quarter.right, 45);
    // By 180 degrees, along the right.
    EXPECT_GT(half.right, 300);
    EXPECT_EQ(half.left, 0);
  };
  check();
  ASSERT_TRUE(panel.ReloadFromFile(path));
  EXPECT_EQ(panel.EntryAngle(1), 90);
  check();
}
