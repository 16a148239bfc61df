#include "library/PhotoGrid.h"

#include "canvas/CanvasGestures.h"
#include "canvas/CanvasScrollBar.h"
#include "editing/PictureFiles.h"
#include "library/PhotoLibrary.h"
#include "ui/skin/Skin.h"
#include "ui/skin/SkinButton.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace library {

namespace {

// The extensions the main window gives the import workers.
constexpr const char* kPictureExtensions[] = {".JPG", ".JPEG", ".GIF", ".BMP", ".TIFF", ".TIF",
                                              ".PNG", ".PNM",  ".TGA", ".PCX", ".WMF",  ".EMF"};

} // namespace

bool IsImportablePicture(const QString& path)
{
    const QString extension = QLatin1Char('.') + QFileInfo(path).suffix();
    for (const char* known : kPictureExtensions) {
        if (extension.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList DroppedPictures(const QMimeData* mime)
{
    QStringList paths;
    if (mime == nullptr || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && IsImportablePicture(url.toLocalFile()))
            paths << url.toLocalFile();
    }
    return paths;
}

QPixmap PhotoFrameBitmap(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(skin::kPanelBackground);
    if (size.width() < 3 || size.height() < 3)
        return pixmap;
    QPainter painter(&pixmap);
    const QRect outer(0, 0, size.width(), size.height());
    // A flat card: a soft shade along the right and bottom edges, a light face, a frame line.
    painter.fillRect(outer.adjusted(1, 1, 0, 0), skin::kPhotoFrameShade);
    const QRect face = outer.adjusted(0, 0, -1, -1);
    painter.fillRect(face, skin::kPhotoFrameFace);
    painter.setPen(skin::kFrameColour);
    painter.drawRect(face.adjusted(0, 0, -1, -1));
    return pixmap;
}

PhotoGrid::PhotoGrid(PhotoLibrary& library, QWidget* parent)
    : QWidget(parent)
    , library_(library)
    , vertical_(new CanvasScrollBar(Qt::Vertical, this))
    , horizontal_(new CanvasScrollBar(Qt::Horizontal, this))
    , addButton_(new SkinButton(kAddToCanvasButton, this))
    , thumbnails_(kPhotoGridLook.thumbnailCache)
{
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    addButton_->SetCaption(tr("Add to Canvas"));
    frame_ = PhotoFrameBitmap(GridCellBox(0, 1, QPoint()).size());

    connect(addButton_, &SkinAbstractButton::command, this, [this] { emit addRequested(); });
    connect(vertical_, &CanvasScrollBar::scrolled, this,
            [this](int code, std::int32_t value) { OnScroll(Qt::Vertical, code, value); });
    connect(horizontal_, &CanvasScrollBar::scrolled, this,
            [this](int code, std::int32_t value) { OnScroll(Qt::Horizontal, code, value); });
    connect(&library_, &PhotoLibrary::recordsChanged, this, &PhotoGrid::RecordsChanged);
    connect(&library_, &PhotoLibrary::selectionChanged, this, [this] {
        SelectionFromLibrary();
        update();
    });
    RecordsChanged();
}

PhotoGrid::~PhotoGrid() = default;

void PhotoGrid::Reload()
{
    thumbnails_.clear();
    RecordsChanged();
}

QSize PhotoGrid::sizeHint() const
{
    return QSize(2 * kPhotoGrid.pitch + kPhotoGrid.scrollBarWidth, 6 * kPhotoGrid.pitch + kPhotoGrid.buttonBand);
}

QSize PhotoGrid::minimumSizeHint() const
{
    return QSize(kPhotoGrid.pitch + kPhotoGrid.scrollBarWidth,
                 kPhotoGrid.pitch + kPhotoGrid.buttonBand + kPhotoGrid.scrollBarWidth);
}

int PhotoGrid::Columns() const
{
    // The vertical bar's room is always kept, so the columns do not jump when it appears.
    return GridColumns(width() - kPhotoGrid.scrollBarWidth);
}

QSize PhotoGrid::ContentSize() const
{
    return GridContentSize(int(library_.Visible().size()), Columns());
}

QRect PhotoGrid::CellArea() const
{
    const int bottom = height() - kPhotoGrid.buttonBand - (horizontal_->isVisible() ? kPhotoGrid.scrollBarWidth : 0);
    return QRect(0, 0, std::max(0, width() - kPhotoGrid.scrollBarWidth), std::max(0, bottom));
}

QRect PhotoGrid::CellBox(int cell) const
{
    return GridCellBox(cell, Columns(), scroll_);
}

int PhotoGrid::CurrentPosition() const
{
    const int cell = selection_.Current();
    const auto& visible = library_.Visible();
    return cell >= 0 && cell < int(visible.size()) ? visible[std::size_t(cell)] : -1;
}

std::vector<int> PhotoGrid::SelectedPositionsInOrder() const
{
    const auto& visible = library_.Visible();
    std::vector<int> positions;
    for (int cell : selection_.SelectionOrder()) {
        if (cell >= 0 && cell < int(visible.size()))
            positions.push_back(visible[std::size_t(cell)]);
    }
    return positions;
}

void PhotoGrid::RecordsChanged()
{
    SelectionFromLibrary();
    LayOut();
    update();
}

void PhotoGrid::SelectionFromLibrary()
{
    // The visible list may have been rebuilt: carry the anchor and the range's end over by
    // the library positions they stand for.
    const auto& visible = library_.Visible();
    const auto positionOf = [&](int cell) {
        return cell >= 0 && cell < int(lastVisible_.size()) ? lastVisible_[std::size_t(cell)] : -1;
    };
    const int anchorPosition = positionOf(selection_.anchor());
    const int endPosition = positionOf(selection_.end());
    std::vector<int> orderPositions;
    for (int cell : selection_.SelectionOrder())
        orderPositions.push_back(positionOf(cell));
    std::vector<char> flags(visible.size(), 0);
    int anchor = -1;
    int end = -1;
    QHash<int, int> cellOf; // library position -> cell
    for (std::size_t cell = 0; cell < visible.size(); ++cell) {
        const int position = visible[cell];
        flags[cell] = library_.IsSelected(position) ? 1 : 0;
        cellOf.insert(position, int(cell));
        if (position == anchorPosition)
            anchor = int(cell);
        if (position == endPosition)
            end = int(cell);
    }
    std::vector<int> order;
    for (int position : orderPositions) {
        if (const auto found = cellOf.constFind(position); found != cellOf.constEnd())
            order.push_back(found.value());
    }
    selection_.Assign(std::move(flags), anchor, end, order);
    lastVisible_ = visible;
}

void PhotoGrid::Commit(bool changed)
{
    if (!changed)
        return;
    const auto& visible = library_.Visible();
    std::vector<int> positions;
    for (int cell : selection_.SelectedCells())
        positions.push_back(visible[std::size_t(cell)]);
    {
        const QSignalBlocker blocker(&library_); // the grid already holds these flags
        library_.SetSelection(positions);
    }
    update();
    emit selectionChanged(library_.SelectedIndexes());
    emit selectionStateChanged();
}

void PhotoGrid::LayOut()
{
    const int w = width();
    const int h = height();
    addButton_->setGeometry(0, h - kPhotoGrid.buttonHeight, w, kPhotoGrid.buttonHeight);

    const QSize content = ContentSize();
    const int viewWidth = std::max(0, w - kPhotoGrid.scrollBarWidth);
    const bool horizontal = content.width() > viewWidth;
    const int viewHeight = std::max(0, h - kPhotoGrid.buttonBand - (horizontal ? kPhotoGrid.scrollBarWidth : 0));
    const bool vertical = content.height() > viewHeight;

    const std::int32_t rangeX = std::max(0, content.width() - viewWidth);
    const std::int32_t rangeY = std::max(0, content.height() - viewHeight);
    scroll_ = QPoint(std::clamp(scroll_.x(), 0, rangeX), std::clamp(scroll_.y(), 0, rangeY));

    horizontal_->setVisible(horizontal);
    horizontal_->setGeometry(0, viewHeight, viewWidth, kPhotoGrid.scrollBarWidth);
    horizontal_->SetRange(rangeX);
    horizontal_->SetPosition(scroll_.x());
    vertical_->setVisible(vertical);
    vertical_->setGeometry(viewWidth, 0, kPhotoGrid.scrollBarWidth, viewHeight);
    vertical_->SetRange(rangeY);
    vertical_->SetPosition(scroll_.y());
}

void PhotoGrid::SetScrollOffset(QPoint offset)
{
    scroll_ = offset;
    LayOut();
    update();
}

void PhotoGrid::OnScroll(Qt::Orientation orientation, int code, std::int32_t value)
{
    const bool vertical = orientation == Qt::Vertical;
    CanvasScrollBar* bar = vertical ? vertical_ : horizontal_;
    const std::int32_t range = bar->Range();
    std::int32_t position = vertical ? scroll_.y() : scroll_.x();
    const QRect area = CellArea();
    const int page = std::max(kPhotoGrid.pitch, vertical ? area.height() : area.width());
    switch (code) {
    case gestures::LineBack: position -= kPhotoGridLook.lineStep; break;
    case gestures::LineForward: position += kPhotoGridLook.lineStep; break;
    case gestures::PageBack: position -= page; break;
    case gestures::PageForward: position += page; break;
    case gestures::ThumbPosition:
    case gestures::ThumbTrack: position = value; break;
    case gestures::Start: position = 0; break;
    case gestures::End: position = range; break;
    default: return;
    }
    position = std::clamp(position, 0, range);
    SetScrollOffset(vertical ? QPoint(scroll_.x(), position) : QPoint(position, scroll_.y()));
}

void PhotoGrid::EnsureVisible(int cell)
{
    if (cell < 0)
        return;
    const QRect area = CellArea();
    const int columns = Columns();
    const int top = (cell / columns) * kPhotoGrid.pitch;
    const int left = (cell % columns) * kPhotoGrid.pitch;
    QPoint next = scroll_;
    if (top < next.y())
        next.setY(top);
    else if (top + kPhotoGrid.pitch > next.y() + area.height())
        next.setY(top + kPhotoGrid.pitch - area.height());
    if (left < next.x())
        next.setX(left);
    else if (left + kPhotoGrid.pitch > next.x() + area.width())
        next.setX(left + kPhotoGrid.pitch - area.width());
    if (next != scroll_)
        SetScrollOffset(next);
}

void PhotoGrid::resizeEvent(QResizeEvent*)
{
    LayOut();
}

QPixmap PhotoGrid::Thumbnail(int position, const QRect& fitted)
{
    if (QPixmap* cached = thumbnails_.object(position); cached != nullptr && cached->size() == fitted.size())
        return *cached;
    const PhotoEntry& entry = library_.Entry(position);
    ++decoded_;
    const QImage image = DecodeThumbnail(entry.thumbnail.data(), entry.thumbnail.size(), entry.record.drawOption);
    if (image.isNull())
        return QPixmap();
    auto fittedPixmap = std::make_unique<QPixmap>(QPixmap::fromImage(
        image.scaled(fitted.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    QPixmap copy = *fittedPixmap;
    thumbnails_.insert(position, fittedPixmap.release());
    return copy;
}

void PhotoGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), skin::kPanelBackground);
    const QRect area = CellArea();
    // The line above the button.
    painter.fillRect(QRect(0, height() - kPhotoGrid.buttonBand, width(), 1), skin::kFrameColour);
    if (vertical_->isVisible() && horizontal_->isVisible())
        painter.fillRect(
            QRect(area.right() + 1, area.bottom() + 1, kPhotoGrid.scrollBarWidth, kPhotoGrid.scrollBarWidth),
                         skin::kDialogBackground);

    painter.setClipRect(area & event->rect());
    const auto& visible = library_.Visible();
    const int count = int(visible.size());
    const int columns = Columns();
    // Only the rows in view are visited.
    const QRect dirty = area & event->rect();
    const int firstRow = std::max(0, (dirty.top() + scroll_.y()) / kPhotoGrid.pitch);
    const int lastRow = (dirty.bottom() + scroll_.y()) / kPhotoGrid.pitch;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int cell = row * columns + column;
            if (cell >= count)
                break;
            const QRect box = GridCellBox(cell, columns, scroll_);
            if (!box.adjusted(-3, -3, 3, 3).intersects(dirty))
                continue;
            const int position = visible[std::size_t(cell)];
            const PhotoRecord& record = library_.Entry(position).record;
            painter.drawPixmap(box.topLeft(), frame_);
            const QRect fitted = FittedThumbnailRect(box, record.width, record.height);
            const QPixmap thumbnail = Thumbnail(position, fitted);
            if (!thumbnail.isNull())
                painter.drawPixmap(fitted.topLeft(), thumbnail);
            if (selection_.IsSelected(cell)) {
                painter.setPen(skin::kPhotoSelection);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(box.adjusted(-2, -2, 1, 1));
                painter.drawRect(box.adjusted(-1, -1, 0, 0));
                painter.setPen(skin::kPanelBackground);
                painter.drawRect(box.adjusted(0, 0, -1, -1));
            }
        }
    }
    if (banding_ && !band_.isEmpty()) {
        QColor fill = skin::kAccent;
        fill.setAlpha(40);
        painter.fillRect(band_, fill);
        painter.setPen(skin::kAccent);
        painter.drawRect(band_.adjusted(0, 0, -1, -1));
    }
}

void PhotoGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int count = int(library_.Visible().size());
    const int cell = GridHitTest(point, count, Columns(), scroll_, size());
    const bool inCells = CellArea().contains(point);
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::RightButton) {
        Commit(selection_.RightClick(inCells ? cell : -1));
        emit contextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || !inCells)
        return;
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    pressPoint_ = point;
    dragging_ = false;
    if (cell >= 0) {
        pressedOnCell_ = true;
        Commit(selection_.Click(cell, ctrl, shift));
        return;
    }
    pressedOnCell_ = false;
    banding_ = true;
    bandStart_ = point + scroll_;
    band_ = QRect();
    Commit(selection_.ClickEmpty());
}

void PhotoGrid::UpdateRubberBand(QPoint to)
{
    band_ = QRect(bandStart_ - scroll_, to).normalized();
    const auto& visible = library_.Visible();
    const int columns = Columns();
    std::vector<QRect> thumbnails;
    thumbnails.reserve(visible.size());
    for (std::size_t cell = 0; cell < visible.size(); ++cell) {
        const PhotoRecord& record = library_.Entry(visible[cell]).record;
        const QRect box = GridCellBox(int(cell), columns, scroll_);
        thumbnails.push_back(FittedThumbnailRect(box, record.width, record.height));
    }
    const bool changed = selection_.RubberBand(band_, thumbnails);
    Commit(changed);
    update();
}

void PhotoGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (!event->buttons().testFlag(Qt::LeftButton))
        return;
    if (banding_) {
        UpdateRubberBand(point);
        return;
    }
    if (pressedOnCell_ && !dragging_ && (point - pressPoint_).manhattanLength() >= QApplication::startDragDistance()
        && CurrentPosition() >= 0) {
        dragging_ = true;
        setCursor(Qt::DragCopyCursor);
    }
}

void PhotoGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (banding_) {
        banding_ = false;
        band_ = QRect();
        update();
    }
    pressedOnCell_ = false;
    if (dragging_) {
        dragging_ = false;
        unsetCursor();
        emit thumbnailReleased(event->globalPosition().toPoint());
    }
}

void PhotoGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !CellArea().contains(point))
        return;
    // The second press of the pair: a cell it lands on that is not selected (the first press
    // went elsewhere) is clicked first, so the photo under the mouse is the one added.
    const int cell = GridHitTest(point, int(library_.Visible().size()), Columns(), scroll_, size());
    if (cell >= 0 && !selection_.IsSelected(cell))
        Commit(selection_.Click(cell, false, false));
    emit addRequested();
}

void PhotoGrid::keyPressEvent(QKeyEvent* event)
{
    const int columns = Columns();
    if (event->matches(QKeySequence::SelectAll)) {
        Commit(selection_.SelectAll());
        return;
    }
    GridArrow arrow;
    switch (event->key()) {
    case Qt::Key_Left: arrow = GridArrow::Left; break;
    case Qt::Key_Right: arrow = GridArrow::Right; break;
    case Qt::Key_Up: arrow = GridArrow::Up; break;
    case Qt::Key_Down: arrow = GridArrow::Down; break;
    default: QWidget::keyPressEvent(event); return;
    }
    Commit(selection_.Arrow(arrow, columns));
    EnsureVisible(selection_.Current());
}

void PhotoGrid::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0)
        return;
    const std::int32_t range = vertical_->Range();
    SetScrollOffset(QPoint(scroll_.x(), std::clamp(scroll_.y() - notches * kPhotoGridLook.wheelStep, 0, range)));
}

void PhotoGrid::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedPictures(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PhotoGrid::dragMoveEvent(QDragMoveEvent* event)
{
    if (!DroppedPictures(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PhotoGrid::dropEvent(QDropEvent* event)
{
    const QStringList paths = DroppedPictures(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    emit filesDropped(paths);
}

} // namespace library
