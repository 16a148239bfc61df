#pragma once

// SkinDialog: the one base class of every dialog of the program. A frameless QDialog (with a
// minimise box) that draws its own frame over its background colour:
//   - the side borders 133 / 134 (20 pixels wide) in one of two forms (skin::SideForm),
//   - the bottom border 132 (14 pixels high),
//   - the caption bar 135 (30 pixels high), painted last,
//   - the window title at 10,7 in the widget font: first in white one pixel right and down,
//     then in black,
//   - the small close button 10010 (26 x 17, 40 pixels from the right edge, 7 from the top),
//     which rejects the dialog.
// A left press in the top 25 pixels moves the window: through the window manager
// (QWindow::startSystemMove) where the platform offers it, otherwise the dialog follows the
// mouse itself until the release. A press lower down does nothing. Esc rejects (QDialog).
//
// Subclasses only add controls: create them as children at the positions of their layout
// and draw fixed labels in PaintContent, which runs after the frame. ContentRect() is the area
// inside the frame. QDialog centres the dialog on its parent when shown.

#include "ui/skin/Skin.h"
#include "ui/skin/SkinGeometry.h"

#include <QDialog>

class SkinButton;

class SkinDialog : public QDialog {
    Q_OBJECT
public:
    explicit SkinDialog(QWidget* parent = nullptr, skin::SideForm form = skin::SideForm::kStretch);
    ~SkinDialog() override;

    void SetSideForm(skin::SideForm form);
    skin::SideForm SideForm() const { return sideForm_; }
    // The colour under the frame and the controls: 221 grey unless changed (the batch dialog
    // uses 230).
    void SetBackground(const QColor& colour);
    QColor Background() const { return background_; }
    // Rounded window corners (a window region); 0, the default, keeps square corners.
    void SetCornerRadius(int radius);

    SkinButton* CloseButton() const { return closeButton_; }
    // Inside the caption bar, the side borders and the bottom border.
    QRect ContentRect() const;

    QSize sizeHint() const override;

protected:
    // Fixed labels and other drawing of a subclass, over the background and the frame.
    virtual void PaintContent(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PlaceCloseButton();

    SkinButton* closeButton_; // child of this dialog
    skin::SideForm sideForm_;
    QColor background_ = skin::kDialogBackground;
    int cornerRadius_ = 0;
    bool dragging_ = false;   // moving the window without the window manager's help
    QPoint dragOffset_;       // mouse position less window position at the press
};
