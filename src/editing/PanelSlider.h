#pragma once

// The panel slider: the one skinned horizontal slider of the editing panels and the main
// window's property bar. It keeps a range and a position, draws a three-piece track
// (bitmap 170) and a thumb (bitmap 156), and reports new positions to whoever listens.
//
// Reports (positionReported, carrying the control id and the position) come at a press
// on the control - the thumb jumps to the press point first - and at the end of a drag of
// the thumb; moving while dragging only redraws. Positions are always clamped to the
// range. SetPosition never reports. Geometry lives in SliderGeometry.h, artwork in
// SliderArtwork.h.

#include <QImage>
#include <QWidget>

class PanelSlider : public QWidget {
    Q_OBJECT

public:
    // A slider with the given id; range 0..100, position 0, the program's own skin.
    explicit PanelSlider(int id, QWidget* parent = nullptr);
    // The same, placed at `rect` in the parent.
    PanelSlider(const QRect& rect, QWidget* parent, int id);

    int Id() const { return id_; }

    // Sets the range (a reversed range is taken as minimum..minimum) and clamps the position.
    void SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    // Sets the position clamped to the range and redraws; no report.
    void SetPosition(int position);
    int Position() const { return position_; }

    // The track and thumb bitmaps; a null hover or pressed thumb uses `thumb` in that state.
    void SetSkin(const QImage& track, const QImage& thumb, const QImage& hoverThumb = {},
                 const QImage& pressedThumb = {});

    bool IsHovering() const { return hovering_; }
    bool IsDragging() const { return dragging_; }
    // The thumb rectangle at the current width and position.
    QRect ThumbRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A new position for the listener: at a press and when a drag ends.
    void positionReported(int id, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHovering(bool hovering);

    int id_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    bool hovering_ = false;
    bool dragging_ = false;
    QImage track_;
    QImage thumb_;
    QImage hoverThumb_;
    QImage pressedThumb_;
};
