#include "library/LibraryGrid.h"

#include "library/LibraryFiles.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace library {

namespace {

constexpr int kPitch = kPanelGeometry.cell + kPanelGeometry.gap;

// Scroll codes of the drawn scroll bar.
enum : int {
  kLineBack,
  kLineForward,
  kPageBack,
  kPageForward,
  kThumbPosition,
  kThumbTrack,
  kStart,
  kEnd
};

std::int32_t Clamp(std::int64_t value, std::int32_t range) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, 0, std::max(0, range)));
}

} // namespace

QRect GridArea(QSize panel, bool withButton) {
  const int band = withButton ? kPanelGeometry.buttonBand : 0;
  return QRect(0, 0, std::max(0, panel.width() - kPanelGeometry.scrollBarWidth),
               std::max(0, panel.height() - band));
}

QRect ButtonRect(QSize panel) {
  const int top =
      panel.height() - kPanelGeometry.buttonBand + kPanelGeometry.gap;
  return QRect(kPanelGeometry.gap, top, kPanelGeometry.buttonWidth,
               kPanelGeometry.buttonHeight);
}

QRect ScrollBarRect(QSize panel, bool withButton) {
  const QRect grid = GridArea(panel, withButton);
  return QRect(grid.right() + 1, 0, kPanelGeometry.scrollBarWidth,
               grid.height());
}

int PanelColumns(int gridWidth) {
  return std::max(1, (gridWidth - kPanelGeometry.gap) / kPitch);
}

int GridContentHeight(int count, int columns) {
  const int rows = count <= 0 ? 0 : (count + columns - 1) / columns;
  return kPanelGeometry.gap + rows * kPitch;
}

QRect CellRect(int n, int columns, int scrollY) {
  const int column = n % columns;
  const int row = n / columns;
  return QRect(kPanelGeometry.gap + column * kPitch,
               kPanelGeometry.gap + row * kPitch - scrollY, kPanelGeometry.cell,
               kPanelGeometry.cell);
}

int EntryAt(QPoint point, int columns, int scrollY, int count) {
  const int x = point.x() - kPanelGeometry.gap;
  const int y = point.y() + scrollY - kPanelGeometry.gap;
  if (x < 0 || y < 0)
    return -1;
  const int column = x / kPitch;
  const int row = y / kPitch;
  if (column >= columns || x % kPitch >= kPanelGeometry.cell ||
      y % kPitch >= kPanelGeometry.cell)
    return -1;
  const std::int64_t n = std::int64_t(row) * columns + column;
  return n < count ? static_cast<int>(n) : -1;
}

std::int32_t GridScrollRange(int count, int columns, int visibleHeight) {
  return std::max(0, GridContentHeight(count, columns) - visibleHeight);
}

std::int32_t ApplyGridScroll(int code, std::int32_t position,
                             std::int32_t range, std::int32_t value,
                             int visibleHeight) {
  const std::int64_t page = std::max(kPitch, visibleHeight - kPitch);
  switch (code) {
  case kLineBack:
    return Clamp(std::int64_t(position) - kPitch, range);
  case kLineForward:
    return Clamp(std::int64_t(position) + kPitch, range);
  case kPageBack:
    return Clamp(position - page, range);
  case kPageForward:
    return Clamp(position + page, range);
  case kThumbPosition:
  case kThumbTrack:
    return Clamp(value, range);
  case kStart:
    return 0;
  case kEnd:
    return std::max(0, range);
  default:
    return Clamp(position, range);
  }
}

std::int32_t WheelScroll(std::int32_t position, std::int32_t range,
                         int notches) {
  return Clamp(std::int64_t(position) - std::int64_t(notches) * kPitch, range);
}

PanelLoad LoadPanelEntries(const QString &path, bool keepPixels) {
  PanelLoad load;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return load;
  // Only whole entries, checked against the file before anything is allocated.
  const LibraryScan scan = ScanCompleteEntries(path, LibraryLayout::Thumbnail);
  load.entries.reserve(scan.entries.size());
  for (const EntryHeader &header : scan.entries) {
    PanelEntry entry;
    entry.width = header.width;
    entry.height = header.height;
    const qint64 blockSize = header.size - kThumbnailHeaderSize;
    if (!file.seek(header.offset + kThumbnailHeaderSize))
      return load;
    const QByteArray block = file.read(blockSize);
    if (block.size() != blockSize)
      return load;
    if (header.width > 0 && header.height > 0) {
      entry.bitmap = QImage(header.width, header.height, QImage::Format_ARGB32);
      if (entry.bitmap.isNull())
        return load;
      const auto *source = reinterpret_cast<const uchar *>(block.constData());
      for (int y = 0; y < header.height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(entry.bitmap.scanLine(y));
        const uchar *row = source + std::int64_t(y) * header.width * 4;
        for (int x = 0; x < header.width; ++x)
          line[x] = qFromLittleEndian<quint32>(row + std::int64_t(x) * 4);
      }
    }
    if (keepPixels)
      entry.pixels = block;
    load.entries.push_back(std::move(entry));
  }
  load.ok =
      scan.entries.size() == static_cast<std::size_t>(std::max(0, scan.count));
  return load;
}

double TurnedFitScale(QSize picture, double degrees, int inner) {
  if (picture.isEmpty() || inner <= 0)
    return 1.0;
  const double radians = degrees * M_PI / 180.0;
  const double c = std::abs(std::cos(radians));
  const double s = std::abs(std::sin(radians));
  const double w = picture.width() * c + picture.height() * s;
  const double h = picture.width() * s + picture.height() * c;
  return std::min({1.0, inner / w, inner / h});
}

} // namespace library
