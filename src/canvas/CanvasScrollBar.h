#pragma once

// The canvas's drawn scroll bar, 17 pixels thick: a 16-pixel arrow button at each end
// and a thumb between them whose length and start follow the range R and position p
// (gestures::ThumbLength / ThumbStart). The vertical bar and the horizontal bar are
// mirror images of one class.
//
// It reports every action as a scroll code (gestures::ScrollCode) through scrolled(code,
// value), value being the new position for the thumb-track code and 0 otherwise; the
// canvas window applies the code and gives the bar its new position (SetPosition):
//   - pressing an arrow sends LineBack (start arrow) or LineForward (end arrow) at once,
//     and again while the button is held;
//   - dragging the thumb moves it with the mouse and sends ThumbTrack with the position
//     its start stands for, whenever that lies in [0, R];
//   - releasing in the track outside the thumb (a press that began there) sends
//     PageForward when the thumb lies before the release point, else PageBack.
// Arrows and thumb draw themselves normal, hot (under the mouse) or pressed.

#include <QTimer>
#include <QWidget>

#include <cstdint>

class CanvasScrollBar : public QWidget {
    Q_OBJECT

public:
    // Auto-repeat of a held arrow button.
    static constexpr int kRepeatDelayMs = 350;
    static constexpr int kRepeatIntervalMs = 30;

    explicit CanvasScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    Qt::Orientation Orientation() const { return orientation_; }
    void SetRange(std::int32_t range);
    std::int32_t Range() const { return range_; }
    void SetPosition(std::int32_t position);
    std::int32_t Position() const { return position_; }

    // Along the bar: its length, the thumb's start and length as drawn now.
    int Length() const;
    int ThumbStartNow() const;
    int ThumbLengthNow() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void scrolled(int code, std::int32_t value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Part { None, StartArrow, EndArrow, Thumb, Track };

    int Along(QPointF p) const;
    Part PartAt(int along) const;
    QRect PartRect(int start, int length) const;
    void SetHot(Part part);
    void Send(int code, std::int32_t value = 0);

    Qt::Orientation orientation_;
    std::int32_t range_ = 0;
    std::int32_t position_ = 0;
    Part hot_ = Part::None;
    Part pressed_ = Part::None;
    int grabOffset_ = 0;  // mouse minus thumb start when the thumb was pressed
    int dragStart_ = -1;  // thumb start while it is dragged; -1 otherwise
    QTimer repeat_;
};
