#pragma once

// CMstListBox: the program's owner-drawn list box. A white container with a thin frame holds
// the list itself, a drawn vertical scroll bar 17 pixels wide along its right edge and a
// drawn horizontal scroll bar 17 pixels high along its bottom edge. The list reports its
// first visible line (firstVisibleLineChanged, message 1125) and its horizontal offset in
// pixels (horizontalOffsetChanged, message 1126) whenever they change, however they change
// (keys, wheel, selection, the program), and the container moves its bars to match; dragging
// or clicking a bar scrolls the list, which reports back the same way.
//
// Lines are plain texts drawn one per 20-pixel line; the selected line in the highlight
// colours of the application palette, read when the list is made, the line under the mouse
// in a light tint of them. Keys: Up, Down, Page Up, Page Down, Home and End move the
// selection, Left and Right scroll sideways, Enter activates the selected line. Bars without anything to
// scroll stay in place, drawn without a thumb.

#include "ui/ScrollBarGeometry.h"

#include <QAbstractScrollArea>
#include <QWidget>

class MstListView;
class QTimer;

// One drawn scroll bar. It shows the range, page and value it is given; a user's click or
// drag sends scrolled(value) and changes nothing by itself until the value comes back.
class MstScrollBar : public QWidget {
    Q_OBJECT
public:
    MstScrollBar(Qt::Orientation orientation, QWidget* parent);

    Qt::Orientation Orientation() const { return orientation_; }
    void SetRange(int minimum, int maximum, int page);
    void SetValue(int value);
    listbox::ScrollRange Range() const { return range_; }
    listbox::ScrollBarParts Parts() const;
    int SingleStep() const { return singleStep_; }
    void SetSingleStep(int step) { singleStep_ = std::max(1, step); }

    QSize sizeHint() const override;

signals:
    void scrolled(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Part { None, Less, More, PageLess, PagePlus, Thumb };
    Part PartAt(const QPoint& pos) const;
    void Step(Part part);
    void Request(int value);
    int AlongPos(const QPoint& pos) const;

    Qt::Orientation orientation_;
    listbox::ScrollRange range_;
    int singleStep_ = 1;
    Part pressed_ = Part::None;
    Part hover_ = Part::None;
    int dragOffset_ = 0; // press point minus thumb start, along the bar
    QTimer* repeat_ = nullptr; // child
};

class CMstListBox : public QWidget {
    Q_OBJECT
public:
    explicit CMstListBox(QWidget* parent = nullptr);

    int AddString(const QString& text); // index of the new line
    void InsertString(int index, const QString& text);
    void DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    QString GetText(int index) const; // empty for an index out of range

    int GetCurSel() const; // -1 for none
    void SetCurSel(int index); // -1 or out of range clears; the line is scrolled into view

    int FirstVisibleLine() const;
    void SetFirstVisibleLine(int line);
    int HorizontalOffset() const;
    void SetHorizontalOffset(int offset);

    MstScrollBar* VerticalBar() const { return vertical_; }
    MstScrollBar* HorizontalBar() const { return horizontal_; }
    QAbstractScrollArea* List() const; // the list itself, the drawn lines

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void firstVisibleLineChanged(int line);  // message 1125
    void horizontalOffsetChanged(int offset); // message 1126
    void selectionChanged(int index);
    void lineActivated(int index); // double click or Enter

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();
    void FollowVertical();
    void FollowHorizontal();

    friend class MstListView;

    MstListView* list_ = nullptr;       // children
    MstScrollBar* vertical_ = nullptr;
    MstScrollBar* horizontal_ = nullptr;
};
