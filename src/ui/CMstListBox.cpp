#include "ui/CMstListBox.h"

#include "ui/skin/Skin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

using namespace listbox;

namespace {

constexpr int kRepeatDelayMs = 300;
constexpr int kRepeatIntervalMs = 50;

} // namespace

// The list itself: lines drawn on white, scrolled by whole lines downwards and by pixels
// sideways. Its two Qt scroll bars are hidden and only hold the position; the container
// draws its own.
class MstListView : public QAbstractScrollArea {
public:
    explicit MstListView(CMstListBox* box) : QAbstractScrollArea(box), box_(box)
    {
        setFrameShape(QFrame::NoFrame);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setFocusPolicy(Qt::StrongFocus);
        viewport()->setMouseTracking(true);
        viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
        horizontalScrollBar()->setSingleStep(kListBoxMetrics.lineHeight);
        const QPalette palette = QApplication::palette();
        highlight_ = palette.color(QPalette::Active, QPalette::Highlight);
        highlightText_ = palette.color(QPalette::Active, QPalette::HighlightedText);
        text_ = palette.color(QPalette::Active, QPalette::Text);
        hoverFill_ = QColor::fromRgbF(1 - (1 - highlight_.redF()) * 0.12, 1 - (1 - highlight_.greenF()) * 0.12,
                                      1 - (1 - highlight_.blueF()) * 0.12);
    }

    QStringList lines_;
    int selected_ = -1;

    int VisibleLines() const { return std::max(1, viewport()->height() / kListBoxMetrics.lineHeight); }
    int First() const { return verticalScrollBar()->value(); }

    int TextWidth(const QString& text) const
    {
        return fontMetrics().horizontalAdvance(text) + 2 * kListBoxMetrics.textInset;
    }

    void LinesChanged()
    {
        widest_ = 0;
        for (const QString& line : lines_)
            widest_ = std::max(widest_, TextWidth(line));
        UpdateRanges();
        viewport()->update();
    }

    void LineAdded(const QString& text)
    {
        widest_ = std::max(widest_, TextWidth(text));
        UpdateRanges();
        viewport()->update();
    }

    void UpdateRanges()
    {
        const int visible = VisibleLines();
        verticalScrollBar()->setPageStep(visible);
        verticalScrollBar()->setRange(0, std::max(0, int(lines_.size()) - visible));
        horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
        horizontalScrollBar()->setRange(0, std::max(0, widest_ - viewport()->width()));
    }

    void EnsureVisible(int line)
    {
        if (line < 0)
            return;
        if (line < First())
            verticalScrollBar()->setValue(line);
        else if (line >= First() + VisibleLines())
            verticalScrollBar()->setValue(line - VisibleLines() + 1);
    }

    // A selection made by the user: scrolled into view and reported.
    void Select(int line)
    {
        line = std::clamp(line, 0, int(lines_.size()) - 1);
        if (lines_.isEmpty())
            return;
        EnsureVisible(line);
        if (line == selected_)
            return;
        selected_ = line;
        viewport()->update();
        emit box_->selectionChanged(line);
    }

    int LineAt(const QPoint& pos) const
    {
        const int line = First() + pos.y() / kListBoxMetrics.lineHeight;
        return pos.y() >= 0 && line < lines_.size() ? line : -1;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(viewport());
        p.fillRect(viewport()->rect(), skin::kPanelBackground);
        p.setFont(font());
        const int lh = kListBoxMetrics.lineHeight;
        const int offset = horizontalScrollBar()->value();
        const int last = std::min(int(lines_.size()), First() + VisibleLines() + 1);
        for (int line = First(); line < last; ++line) {
            const QRect row(0, (line - First()) * lh, viewport()->width(), lh);
            const bool selected = line == selected_;
            if (selected)
                p.fillRect(row, highlight_);
            else if (line == hover_)
                p.fillRect(row, hoverFill_);
            p.setPen(selected ? highlightText_ : (isEnabled() ? text_ : skin::kDisabledText));
            const QRect textRect(kListBoxMetrics.textInset - offset, row.top(), std::max(widest_, row.width()), lh);
            p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, lines_[line]);
        }
    }

    void resizeEvent(QResizeEvent* event) override
    {
        QAbstractScrollArea::resizeEvent(event);
        UpdateRanges();
    }

    void scrollContentsBy(int, int) override { viewport()->update(); }

    void mousePressEvent(QMouseEvent* event) override
    {
        setFocus(Qt::MouseFocusReason);
        const int line = LineAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && line >= 0)
            Select(line);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        const int line = LineAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && line >= 0 && line == selected_)
            emit box_->lineActivated(line);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        const int line = LineAt(event->position().toPoint());
        if (line != hover_) {
            hover_ = line;
            viewport()->update();
        }
    }

    void leaveEvent(QEvent*) override
    {
        hover_ = -1;
        viewport()->update();
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const int page = VisibleLines();
        switch (event->key()) {
        case Qt::Key_Up:
            Select(selected_ < 0 ? 0 : selected_ - 1);
            break;
        case Qt::Key_Down:
            Select(selected_ < 0 ? 0 : selected_ + 1);
            break;
        case Qt::Key_PageUp:
            Select(std::max(selected_, 0) - page);
            break;
        case Qt::Key_PageDown:
            Select(std::max(selected_, 0) + page);
            break;
        case Qt::Key_Home:
            Select(0);
            break;
        case Qt::Key_End:
            Select(int(lines_.size()) - 1);
            break;
        case Qt::Key_Left:
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case Qt::Key_Right:
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (selected_ >= 0)
                emit box_->lineActivated(selected_);
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
        }
    }

private:
    CMstListBox* box_;
    int widest_ = 0;
    int hover_ = -1;
    QColor highlight_;
    QColor highlightText_;
    QColor text_;
    QColor hoverFill_;
};

// ---- MstScrollBar ----

MstScrollBar::MstScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , orientation_(orientation)
    , repeat_(new QTimer(this))
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(repeat_, &QTimer::timeout, this, [this] {
        repeat_->setInterval(kRepeatIntervalMs);
        // Paging stops once the thumb has reached the mouse.
        const QPoint mouse = mapFromGlobal(QCursor::pos());
        if ((pressed_ == Part::PageLess || pressed_ == Part::PagePlus) && PartAt(mouse) != pressed_)
            return;
        Step(pressed_);
    });
}

void MstScrollBar::SetRange(int minimum, int maximum, int page)
{
    range_.minimum = minimum;
    range_.maximum = std::max(minimum, maximum);
    range_.page = std::max(1, page);
    range_.value = std::clamp(range_.value, range_.minimum, range_.maximum);
    update();
}

void MstScrollBar::SetValue(int value)
{
    value = std::clamp(value, range_.minimum, range_.maximum);
    if (value == range_.value)
        return;
    range_.value = value;
    update();
}

ScrollBarParts MstScrollBar::Parts() const
{
    return LayOutScrollBar(orientation_, size(), range_);
}

QSize MstScrollBar::sizeHint() const
{
    return orientation_ == Qt::Vertical ? QSize(kScrollBarThickness, 4 * kScrollBarThickness)
                                        : QSize(4 * kScrollBarThickness, kScrollBarThickness);
}

int MstScrollBar::AlongPos(const QPoint& pos) const
{
    return orientation_ == Qt::Vertical ? pos.y() : pos.x();
}

MstScrollBar::Part MstScrollBar::PartAt(const QPoint& pos) const
{
    const ScrollBarParts parts = Parts();
    if (parts.less.contains(pos))
        return Part::Less;
    if (parts.more.contains(pos))
        return Part::More;
    if (parts.thumb.isEmpty() || !parts.track.contains(pos))
        return Part::None;
    const int along = AlongPos(pos);
    const int start = orientation_ == Qt::Vertical ? parts.thumb.top() : parts.thumb.left();
    const int end = orientation_ == Qt::Vertical ? parts.thumb.bottom() : parts.thumb.right();
    if (along < start)
        return Part::PageLess;
    if (along > end)
        return Part::PagePlus;
    return Part::Thumb;
}

void MstScrollBar::Request(int value)
{
    value = std::clamp(value, range_.minimum, range_.maximum);
    if (value != range_.value)
        emit scrolled(value);
}

void MstScrollBar::Step(Part part)
{
    switch (part) {
    case Part::Less:
        Request(range_.value - singleStep_);
        break;
    case Part::More:
        Request(range_.value + singleStep_);
        break;
    case Part::PageLess:
        Request(range_.value - range_.page);
        break;
    case Part::PagePlus:
        Request(range_.value + range_.page);
        break;
    default:
        break;
    }
}

void MstScrollBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || range_.maximum <= range_.minimum)
        return;
    const QPoint pos = event->position().toPoint();
    pressed_ = PartAt(pos);
    if (pressed_ == Part::Thumb) {
        const QRect thumb = Parts().thumb;
        dragOffset_ = AlongPos(pos) - (orientation_ == Qt::Vertical ? thumb.top() : thumb.left());
    } else if (pressed_ != Part::None) {
        Step(pressed_);
        repeat_->start(kRepeatDelayMs);
    }
    update();
}

void MstScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (pressed_ == Part::Thumb) {
        Request(ValueForThumbStart(orientation_, size(), range_, AlongPos(pos) - dragOffset_));
        return;
    }
    const Part hover = PartAt(pos);
    if (hover != hover_) {
        hover_ = hover;
        update();
    }
}

void MstScrollBar::mouseReleaseEvent(QMouseEvent*)
{
    pressed_ = Part::None;
    repeat_->stop();
    update();
}

void MstScrollBar::leaveEvent(QEvent*)
{
    hover_ = Part::None;
    update();
}

void MstScrollBar::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int steps = (delta.y() != 0 ? delta.y() : delta.x()) / 120;
    Request(range_.value - steps * 3 * singleStep_);
    event->accept();
}

void MstScrollBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const ScrollBarParts parts = Parts();
    const bool vertical = orientation_ == Qt::Vertical;
    p.fillRect(rect(), skin::kScrollTrack);
    // A hairline on the edge next to the list.
    p.setPen(skin::kScrollEdge);
    if (vertical)
        p.drawLine(0, 0, 0, height() - 1);
    else
        p.drawLine(0, 0, width() - 1, 0);

    const bool active = range_.maximum > range_.minimum && isEnabled();
    p.setRenderHint(QPainter::Antialiasing);
    const auto arrow = [&](const QRect& box, bool towardsMore, Part part) {
        if (active && (pressed_ == part || hover_ == part)) {
            p.setPen(Qt::NoPen);
            p.setBrush(pressed_ == part ? skin::kScrollThumbPressed : skin::kScrollArrowHover);
            p.drawRoundedRect(QRectF(box).adjusted(vertical ? 3 : 2, vertical ? 2 : 3, -2, -2), 2, 2);
        }
        p.setPen(QPen(active ? skin::kScrollArrow : skin::kFrameColour, 1.5, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        const QPointF c = QRectF(box).center() + QPointF(vertical ? 0.5 : 0, vertical ? 0 : 0.5);
        const qreal s = towardsMore ? 1 : -1;
        if (vertical) {
            const QPointF pts[] = {c + QPointF(-3.5, -1.75 * s), c + QPointF(0, 1.75 * s), c + QPointF(3.5, -1.75 * s)};
            p.drawPolyline(pts, 3);
        } else {
            const QPointF pts[] = {c + QPointF(-1.75 * s, -3.5), c + QPointF(1.75 * s, 0), c + QPointF(-1.75 * s, 3.5)};
            p.drawPolyline(pts, 3);
        }
    };
    arrow(parts.less, false, Part::Less);
    arrow(parts.more, true, Part::More);

    if (!parts.thumb.isEmpty() && isEnabled()) {
        QColor thumb = skin::kScrollThumb;
        if (pressed_ == Part::Thumb)
            thumb = skin::kScrollThumbPressed;
        else if (hover_ == Part::Thumb)
            thumb = skin::kScrollThumbHover;
        p.setPen(Qt::NoPen);
        p.setBrush(thumb);
        const QRectF r = QRectF(parts.thumb).adjusted(vertical ? 0.5 : 0, vertical ? 0 : 0.5, 0, 0);
        const qreal radius = (vertical ? r.width() : r.height()) / 2;
        p.drawRoundedRect(r, radius, radius);
    }
}

// ---- CMstListBox ----

CMstListBox::CMstListBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    list_ = new MstListView(this);
    setFocusProxy(list_);

    vertical_ = new MstScrollBar(Qt::Vertical, this);
    horizontal_ = new MstScrollBar(Qt::Horizontal, this);
    horizontal_->SetSingleStep(kListBoxMetrics.lineHeight);

    QScrollBar* v = list_->verticalScrollBar();
    QScrollBar* h = list_->horizontalScrollBar();
    connect(v, &QScrollBar::valueChanged, this, [this](int line) {
        vertical_->SetValue(line);
        emit firstVisibleLineChanged(line);
    });
    connect(h, &QScrollBar::valueChanged, this, [this](int offset) {
        horizontal_->SetValue(offset);
        emit horizontalOffsetChanged(offset);
    });
    connect(v, &QScrollBar::rangeChanged, this, &CMstListBox::FollowVertical);
    connect(h, &QScrollBar::rangeChanged, this, &CMstListBox::FollowHorizontal);
    connect(vertical_, &MstScrollBar::scrolled, v, &QScrollBar::setValue);
    connect(horizontal_, &MstScrollBar::scrolled, h, &QScrollBar::setValue);
    LayOut();
}

QAbstractScrollArea* CMstListBox::List() const
{
    return list_;
}

void CMstListBox::FollowVertical()
{
    const QScrollBar* v = list_->verticalScrollBar();
    vertical_->SetRange(v->minimum(), v->maximum(), v->pageStep());
    vertical_->SetValue(v->value());
}

void CMstListBox::FollowHorizontal()
{
    const QScrollBar* h = list_->horizontalScrollBar();
    horizontal_->SetRange(h->minimum(), h->maximum(), h->pageStep());
    horizontal_->SetValue(h->value());
}

int CMstListBox::AddString(const QString& text)
{
    list_->lines_.push_back(text);
    list_->LineAdded(text);
    return int(list_->lines_.size()) - 1;
}

void CMstListBox::InsertString(int index, const QString& text)
{
    index = std::clamp(index, 0, GetCount());
    list_->lines_.insert(index, text);
    if (list_->selected_ >= index)
        ++list_->selected_;
    list_->LineAdded(text);
}

void CMstListBox::DeleteString(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    list_->lines_.removeAt(index);
    if (list_->selected_ == index)
        list_->selected_ = -1;
    else if (list_->selected_ > index)
        --list_->selected_;
    list_->LinesChanged();
}

void CMstListBox::ResetContent()
{
    list_->lines_.clear();
    list_->selected_ = -1;
    list_->LinesChanged();
}

int CMstListBox::GetCount() const
{
    return int(list_->lines_.size());
}

QString CMstListBox::GetText(int index) const
{
    return index >= 0 && index < GetCount() ? list_->lines_[index] : QString();
}

int CMstListBox::GetCurSel() const
{
    return list_->selected_;
}

void CMstListBox::SetCurSel(int index)
{
    list_->selected_ = index >= 0 && index < GetCount() ? index : -1;
    list_->EnsureVisible(list_->selected_);
    list_->viewport()->update();
}

int CMstListBox::FirstVisibleLine() const
{
    return list_->verticalScrollBar()->value();
}

void CMstListBox::SetFirstVisibleLine(int line)
{
    list_->verticalScrollBar()->setValue(line);
}

int CMstListBox::HorizontalOffset() const
{
    return list_->horizontalScrollBar()->value();
}

void CMstListBox::SetHorizontalOffset(int offset)
{
    list_->horizontalScrollBar()->setValue(offset);
}

void CMstListBox::LayOut()
{
    const int f = kListBoxMetrics.frame;
    const int t = kScrollBarThickness;
    const int w = std::max(0, width() - 2 * f - t);
    const int h = std::max(0, height() - 2 * f - t);
    list_->setGeometry(f, f, w, h);
    vertical_->setGeometry(f + w, f, t, h);
    horizontal_->setGeometry(f, f + h, w, t);
}

void CMstListBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void CMstListBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), skin::kPanelBackground);
    // The corner between the two bars, then the frame.
    const int f = kListBoxMetrics.frame;
    const int t = kScrollBarThickness;
    p.fillRect(QRect(width() - f - t, height() - f - t, t, t), skin::kScrollTrack);
    p.setPen(skin::kFrameColour);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

QSize CMstListBox::sizeHint() const
{
    return QSize(240, 8 * kListBoxMetrics.lineHeight + 2 * kListBoxMetrics.frame + kScrollBarThickness);
}

QSize CMstListBox::minimumSizeHint() const
{
    const int side = 2 * kListBoxMetrics.frame + 3 * kScrollBarThickness;
    return QSize(side, side);
}
