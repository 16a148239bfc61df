#include "library/LibraryPanel.h"

#include "base/UserMessage.h"
#include "library/LibraryFiles.h"
#include "canvas/CanvasScrollBar.h"
#include "ui/skin/Skin.h"
#include "ui/skin/SkinButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace library {

namespace {

constexpr char kNoSelectionMessage[] = "Please Select a object to operate.";
constexpr int kWheelNotch = 120;

} // namespace

LibraryPanel::LibraryPanel(const Setup &setup, QWidget *parent)
    : QWidget(parent), setup_(setup) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true); // the hand cursor follows the entries
  scrollBar_ = new CanvasScrollBar(Qt::Vertical, this); // owned by this panel
  connect(scrollBar_, &CanvasScrollBar::scrolled, this,
          [this](int code, std::int32_t value) {
            const QRect grid = Grid();
            SetScroll(ApplyGridScroll(
                code, scroll_,
                GridScrollRange(Count(), Columns(), grid.height()), value,
                grid.height()));
          });
  if (setup_.buttonCaption) {
    button_ = new SkinButton(setup_.identifier, this); // owned by this panel
    button_->SetCaption(QString::fromLatin1(setup_.buttonCaption));
    connect(button_, &SkinButton::command, this, [this](int) { Apply(); });
  }
}

LibraryPanel::~LibraryPanel() = default;

bool LibraryPanel::ReloadFromFile(const QString &path) {
  PanelLoad load = LoadPanelEntries(path, setup_.keepPixels);
  entries_ = std::move(load.entries);
  cellPictures_.assign(entries_.size(), QPixmap());
  selected_ = -1;
  scroll_ = 0;
  if (!setup_.keepPixels && !entries_.empty())
    Select(0);
  UpdateScrollBar();
  update();
  return load.ok;
}

void LibraryPanel::SetEntryAngle(int n, int degrees) {
  if (n < 0)
    return;
  if (static_cast<std::size_t>(n) >= angles_.size())
    angles_.resize(static_cast<std::size_t>(n) + 1, 0);
  angles_[static_cast<std::size_t>(n)] = degrees;
  update();
}

int LibraryPanel::EntryAngle(int n) const {
  return n >= 0 && static_cast<std::size_t>(n) < angles_.size()
             ? angles_[static_cast<std::size_t>(n)]
             : 0;
}

void LibraryPanel::Select(int n) {
  if (n >= Count())
    n = -1;
  for (PanelEntry &entry : entries_)
    entry.selected = false;
  selected_ = n < 0 ? -1 : n;
  if (selected_ >= 0)
    entries_[static_cast<std::size_t>(selected_)].selected = true;
  update();
}

std::vector<std::int32_t> LibraryPanel::Selection() const {
  if (selected_ < 0)
    return {};
  return {selected_};
}

void LibraryPanel::Apply() {
  if (selected_ < 0) {
    ShowUserMessage(QString::fromLatin1(kNoSelectionMessage));
    return;
  }
  emit applyRequested(setup_.code, selected_);
}

QSize LibraryPanel::sizeHint() const {
  // Two columns and four rows.
  const int pitch = kPanelGeometry.cell + kPanelGeometry.gap;
  const int band = button_ ? kPanelGeometry.buttonBand : 0;
  return QSize(kPanelGeometry.gap + 2 * pitch + kPanelGeometry.scrollBarWidth,
               kPanelGeometry.gap + 4 * pitch + band);
}

QSize LibraryPanel::minimumSizeHint() const {
  const int band = button_ ? kPanelGeometry.buttonBand : 0;
  return QSize(2 * kPanelGeometry.gap + kPanelGeometry.cell +
                   kPanelGeometry.scrollBarWidth,
               2 * kPanelGeometry.gap + kPanelGeometry.cell + band);
}

QRect LibraryPanel::Grid() const {
  return GridArea(size(), button_ != nullptr);
}

int LibraryPanel::Columns() const { return PanelColumns(Grid().width()); }

int LibraryPanel::EntryUnder(QPoint point) const {
  if (!Grid().contains(point))
    return -1;
  return EntryAt(point, Columns(), scroll_, Count());
}

void LibraryPanel::UpdateScrollBar() {
  const QRect grid = Grid();
  const std::int32_t range = GridScrollRange(Count(), Columns(), grid.height());
  scroll_ = std::min(scroll_, range);
  scrollBar_->setGeometry(ScrollBarRect(size(), button_ != nullptr));
  scrollBar_->SetRange(range);
  scrollBar_->SetPosition(scroll_);
}

void LibraryPanel::SetScroll(std::int32_t position) {
  if (position == scroll_)
    return;
  scroll_ = position;
  scrollBar_->SetPosition(scroll_);
  update();
}

const QPixmap &LibraryPanel::CellPicture(int n) {
  QPixmap &picture = cellPictures_[static_cast<std::size_t>(n)];
  const QImage &bitmap = entries_[static_cast<std::size_t>(n)].bitmap;
  if (picture.isNull() && !bitmap.isNull()) {
    const int inner = kPanelGeometry.cell - 4;
    const QImage fitted = bitmap.width() > inner || bitmap.height() > inner
                              ? bitmap.scaled(inner, inner, Qt::KeepAspectRatio,
                                              Qt::SmoothTransformation)
                              : bitmap;
    picture = QPixmap::fromImage(fitted);
  }
  return picture;
}

void LibraryPanel::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), skin::kPanelBackground);
  if (button_)
    p.fillRect(
        QRect(0, Grid().bottom() + 1, width(), kPanelGeometry.buttonBand),
        skin::kDialogBackground);
  const QRect grid = Grid();
  p.setClipRect(grid);
  const int columns = Columns();
  const bool stage =
      setup_.category == static_cast<std::int32_t>(LibraryCategory::PhotoFrames);
  for (int n = 0; n < Count(); ++n) {
    const QRect cell = CellRect(n, columns, scroll_);
    if (cell.bottom() < 0)
      continue;
    if (cell.top() > grid.bottom())
      break;
    const bool chosen = entries_[static_cast<std::size_t>(n)].selected;
    if (chosen)
      p.fillRect(cell, skin::kAccentTint);
    const QPixmap &picture = CellPicture(n);
    const int angle = EntryAngle(n) % 360;
    if (!picture.isNull() && angle == 0) {
      const QPoint at = cell.center() -
                        QPoint(picture.width() / 2, picture.height() / 2) +
                        QPoint(1, 1);
      if (stage) {
        // Frames are light or open in the middle: a stage behind them shows
        // the opening, a line around them their outer edge.
        p.fillRect(QRect(at, picture.size()), skin::kThumbnailStage);
        p.drawPixmap(at, picture);
        p.setPen(skin::kFrameColour);
        p.drawRect(QRect(at, picture.size()).adjusted(-1, -1, 0, 0));
      } else {
        p.drawPixmap(at, picture);
      }
    } else if (!picture.isNull()) {
      // Turned about the cell's centre, smaller where its corners would leave
      // the cell.
      p.save();
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.translate(QRectF(cell).center());
      p.rotate(angle);
      const double scale = TurnedFitScale(picture.size(), angle,
                                          kPanelGeometry.cell - 4);
      p.scale(scale, scale);
      p.drawPixmap(QPointF(-picture.width() / 2.0, -picture.height() / 2.0),
                   picture);
      p.restore();
    }
    p.setPen(chosen ? skin::kAccent : skin::kFrameColour);
    p.drawRect(cell.adjusted(0, 0, -1, -1));
    if (chosen)
      p.drawRect(cell.adjusted(1, 1, -2, -2));
  }
}

void LibraryPanel::resizeEvent(QResizeEvent *) {
  if (button_)
    button_->setGeometry(ButtonRect(size()));
  UpdateScrollBar();
}

void LibraryPanel::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton)
    return;
  const QPoint point = event->position().toPoint();
  if (!Grid().contains(point))
    return;
  const int n = EntryUnder(point);
  if (n >= 0) {
    Select(n);
    dragging_ = setup_.draggable;
    if (dragging_)
      setCursor(Qt::PointingHandCursor);
    if (setup_.keepPixels)
      emit applyRequested(setup_.code, 0);
  }
  emit pressed(setup_.category, Selection());
}

void LibraryPanel::mouseMoveEvent(QMouseEvent *event) {
  const bool overEntry =
      setup_.draggable && EntryUnder(event->position().toPoint()) >= 0;
  setCursor(dragging_ || overEntry ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void LibraryPanel::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || !dragging_)
    return;
  dragging_ = false;
  const QPoint point = event->position().toPoint();
  setCursor(EntryUnder(point) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
  if (!rect().contains(point))
    emit released(event->globalPosition().toPoint());
}

void LibraryPanel::wheelEvent(QWheelEvent *event) {
  event->accept();
  wheelRest_ += event->angleDelta().y();
  const int notches = wheelRest_ / kWheelNotch;
  wheelRest_ -= notches * kWheelNotch;
  if (notches != 0) {
    const QRect grid = Grid();
    SetScroll(WheelScroll(
        scroll_, GridScrollRange(Count(), Columns(), grid.height()), notches));
  }
}

} // namespace library
