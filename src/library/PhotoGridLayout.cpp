#include "library/PhotoGridLayout.h"

#include <algorithm>
#include <utility>

namespace library {

int GridColumns(int viewWidth)
{
    return std::max(1, viewWidth / kPhotoGrid.pitch);
}

QSize GridContentSize(int count, int columns)
{
    if (count <= 0 || columns <= 0)
        return QSize(0, 0);
    const int rows = (count + columns - 1) / columns;
    return QSize(std::min(count, columns) * kPhotoGrid.pitch, rows * kPhotoGrid.pitch);
}

QRect GridCellBox(int i, int columns, QPoint scroll)
{
    columns = std::max(1, columns);
    const int left = (i % columns) * kPhotoGrid.pitch + kPhotoGrid.boxInsetX - scroll.x();
    const int top = (i / columns) * kPhotoGrid.pitch + kPhotoGrid.boxInsetY - scroll.y();
    return QRect(left, top, kPhotoGrid.pitch - 2 * kPhotoGrid.boxInsetX, kPhotoGrid.pitch - 2 * kPhotoGrid.boxInsetY);
}

QRect FittedThumbnailRect(const QRect& box, int photoWidth, int photoHeight)
{
    if (photoWidth <= 0 || photoHeight <= 0 || box.isEmpty())
        return box;
    // Compare photoWidth / photoHeight with box width / height without rounding.
    const long long wideness = static_cast<long long>(photoWidth) * box.height();
    const long long boxWideness = static_cast<long long>(box.width()) * photoHeight;
    int width = box.width();
    int height = box.height();
    if (wideness > boxWideness)
        height = std::max(1, int(static_cast<long long>(box.width()) * photoHeight / photoWidth));
    else
        width = std::max(1, int(static_cast<long long>(box.height()) * photoWidth / photoHeight));
    return QRect(box.left() + (box.width() - width) / 2, box.top() + (box.height() - height) / 2, width, height);
}

int GridHitTest(QPoint point, int count, int columns, QPoint scroll, QSize viewSize)
{
    if (point.y() >= viewSize.height() - kPhotoGrid.buttonBand || point.x() < 0 || point.y() < 0)
        return -1;
    columns = std::max(1, columns);
    const int x = point.x() + scroll.x();
    const int y = point.y() + scroll.y();
    if (x < 0 || y < 0)
        return -1;
    const int column = x / kPhotoGrid.pitch;
    if (column >= columns)
        return -1;
    const long long cell = static_cast<long long>(y / kPhotoGrid.pitch) * columns + column;
    if (cell >= count)
        return -1;
    return GridCellBox(int(cell), columns, scroll).contains(point) ? int(cell) : -1;
}

void PhotoGridSelection::Reset(int count)
{
    selected_.assign(std::size_t(std::max(0, count)), 0);
    anchor_ = -1;
    end_ = -1;
    order_.clear();
}

void PhotoGridSelection::SyncOrder(int from, int to)
{
    std::vector<char> listed(selected_.size(), 0);
    std::vector<int> kept;
    for (int cell : order_) {
        if (IsSelected(cell) && listed[std::size_t(cell)] == 0) {
            listed[std::size_t(cell)] = 1;
            kept.push_back(cell);
        }
    }
    const auto append = [&](int cell) {
        if (IsSelected(cell) && listed[std::size_t(cell)] == 0) {
            listed[std::size_t(cell)] = 1;
            kept.push_back(cell);
        }
    };
    if (from >= 0 && to >= 0) {
        const int step = to >= from ? 1 : -1;
        for (int cell = from; cell != to + step; cell += step)
            append(cell);
    }
    for (int cell = 0; cell < count(); ++cell)
        append(cell);
    order_ = std::move(kept);
}

bool PhotoGridSelection::IsSelected(int cell) const
{
    return cell >= 0 && cell < count() && selected_[std::size_t(cell)] != 0;
}

std::vector<int> PhotoGridSelection::SelectedCells() const
{
    std::vector<int> cells;
    for (int i = 0; i < count(); ++i) {
        if (selected_[std::size_t(i)] != 0)
            cells.push_back(i);
    }
    return cells;
}

int PhotoGridSelection::Current() const
{
    if (IsSelected(end_))
        return end_;
    const auto first = std::find(selected_.begin(), selected_.end(), char(1));
    return first == selected_.end() ? -1 : int(first - selected_.begin());
}

bool PhotoGridSelection::SelectOnly(int cell)
{
    bool changed = false;
    for (int i = 0; i < count(); ++i) {
        const char value = i == cell ? 1 : 0;
        changed = changed || selected_[std::size_t(i)] != value;
        selected_[std::size_t(i)] = value;
    }
    SyncOrder();
    return changed;
}

bool PhotoGridSelection::Click(int cell, bool ctrl, bool shift)
{
    if (cell < 0 || cell >= count())
        return ClickEmpty();
    if (shift && anchor_ >= 0 && anchor_ < count()) {
        const int from = std::min(anchor_, cell);
        const int to = std::max(anchor_, cell);
        bool changed = false;
        for (int i = 0; i < count(); ++i) {
            const char value = i >= from && i <= to ? 1 : 0;
            changed = changed || selected_[std::size_t(i)] != value;
            selected_[std::size_t(i)] = value;
        }
        SyncOrder(anchor_, cell);
        end_ = cell;
        return changed;
    }
    if (ctrl && !shift) {
        char& flag = selected_[std::size_t(cell)];
        flag = flag != 0 ? 0 : 1;
        if (flag != 0)
            anchor_ = cell;
        end_ = cell;
        SyncOrder();
        return true;
    }
    anchor_ = cell;
    end_ = cell;
    return SelectOnly(cell);
}

void PhotoGridSelection::Assign(std::vector<char> flags, int anchor, int end, const std::vector<int>& order)
{
    selected_ = std::move(flags);
    anchor_ = anchor >= 0 && anchor < count() ? anchor : -1;
    end_ = end >= 0 && end < count() ? end : -1;
    order_ = order;
    SyncOrder();
}

bool PhotoGridSelection::ClickEmpty()
{
    return SelectOnly(-1);
}

bool PhotoGridSelection::RightClick(int cell)
{
    if (IsSelected(cell)) {
        end_ = cell;
        return false;
    }
    return Click(cell, false, false);
}

bool PhotoGridSelection::RubberBand(const QRect& band, const std::vector<QRect>& thumbnails)
{
    const QRect normal = band.normalized();
    bool changed = false;
    for (int i = 0; i < count(); ++i) {
        const bool hit = std::size_t(i) < thumbnails.size() && normal.intersects(thumbnails[std::size_t(i)]);
        const char value = hit ? 1 : 0;
        changed = changed || selected_[std::size_t(i)] != value;
        selected_[std::size_t(i)] = value;
    }
    SyncOrder();
    return changed;
}

bool PhotoGridSelection::Arrow(GridArrow arrow, int columns)
{
    if (count() == 0)
        return false;
    const int current = Current();
    int target = 0;
    if (current >= 0) {
        columns = std::max(1, columns);
        switch (arrow) {
        case GridArrow::Left:
            target = current - 1; // in list order: from a row's first cell to the last of the row above
            break;
        case GridArrow::Right:
            target = current + 1;
            break;
        case GridArrow::Up:
            target = current - columns;
            break;
        case GridArrow::Down:
            target = current + columns;
            break;
        }
        if (target < 0 || target >= count())
            return false;
    }
    anchor_ = target;
    end_ = target;
    return SelectOnly(target);
}

bool PhotoGridSelection::SelectAll()
{
    bool changed = false;
    for (char& flag : selected_) {
        changed = changed || flag == 0;
        flag = 1;
    }
    SyncOrder();
    return changed;
}

} // namespace library
