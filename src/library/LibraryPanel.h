#pragma once

// One library panel of the main window: the thumbnails of one thumbnail library
// file in a grid of 62 x 62 cells, 3 pixels apart, on white, with a 17-pixel
// drawn scroll bar along the right edge (wheel scrolling too) and, for every
// panel but the brush panel, a 76 x 20 "Apply" button ("Add" on the clip-art
// panel) at the bottom-left corner.
//
// The panel holds per entry its picture (made once when loading; the scaled
// cell picture is made once on first paint), its width, height and selection
// flag; the brush panel also the raw pixel block. A left press on an entry
// selects it alone; every press in the grid reports the panel's library
// selection (pressed: category and the selected entries) so that the main
// window hands it to the canvas. A press on an entry followed by a release
// outside the panel reports released(globalPos): the main window drops the
// entry when that point lies over the canvas. The hand cursor shows over
// entries that can be dragged (not on the brush panel).
//
// Apply with nothing selected shows "Please Select a object to operate."
// through the user-message seam; otherwise applyRequested(code, entry). The
// brush panel has no button: a selection sends applyRequested(code, 0) and the
// main window reads SelectedIndex().
//
// ReloadFromFile (the "brushs" file on the brush panel) clears the panel and
// loads every entry; every panel but the brush panel then selects entry 0.
//
// The frame panel draws its thumbnails on a light stage with a line around
// them, so that light frames and their openings show on the white panel.
//
// Each entry can carry an angle (the brush panel shows every brush at the angle
// last chosen for it): its picture is drawn turned clockwise by that many
// degrees about the cell's centre, made smaller where it would leave the cell.
// Angles belong to entry indexes and survive a reload (entries are only ever
// appended).

#include "library/LibraryGrid.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class CanvasScrollBar;
class SkinButton;

namespace library {

class LibraryPanel : public QWidget {
  Q_OBJECT
public:
  struct Setup {
    int identifier = 0;
    std::int32_t category = 0;
    int code = 0;                        // sent with applyRequested
    const char *buttonCaption = nullptr; // no button: the brush panel
    bool keepPixels = false;             // the brush panel
    bool draggable = true;               // entries can be dropped on the canvas
  };

  explicit LibraryPanel(const Setup &setup, QWidget *parent = nullptr);
  ~LibraryPanel() override;

  bool ReloadFromFile(const QString &path);

  int Identifier() const { return setup_.identifier; }
  std::int32_t Category() const { return setup_.category; }
  int Count() const { return static_cast<int>(entries_.size()); }
  int SelectedIndex() const { return selected_; }
  const PanelEntry &Entry(int n) const {
    return entries_.at(static_cast<std::size_t>(n));
  }
  void Select(int n); // -1 clears the selection
  // Degrees, clockwise; 0 for entries never given one. Repaints.
  void SetEntryAngle(int n, int degrees);
  int EntryAngle(int n) const;
  std::vector<std::int32_t> Selection() const;
  // The "Apply" button's action (the button calls it).
  void Apply();
  SkinButton *Button() const { return button_; }
  std::int32_t ScrollPosition() const { return scroll_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

signals:
  void applyRequested(int code, std::int32_t entry);
  void pressed(std::int32_t category, const std::vector<std::int32_t> &entries);
  void released(const QPoint &globalPos);

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

private:
  QRect Grid() const;
  int Columns() const;
  int EntryUnder(QPoint point) const;
  void UpdateScrollBar();
  void SetScroll(std::int32_t position);
  const QPixmap &CellPicture(int n);

  Setup setup_;
  std::vector<PanelEntry> entries_;
  std::vector<QPixmap> cellPictures_; // scaled to fit a cell, made once
  std::vector<int> angles_;           // by entry index; may be longer than entries_
  int selected_ = -1;
  std::int32_t scroll_ = 0;
  int wheelRest_ = 0;
  bool dragging_ = false; // a press on an entry, not yet released
  CanvasScrollBar *scrollBar_ = nullptr;
  SkinButton *button_ = nullptr;
};

} // namespace library
