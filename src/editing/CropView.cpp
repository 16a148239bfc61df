#include "editing/CropView.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr QColor kViewBackground{255, 255, 255};
constexpr QColor kDimColour{50, 50, 50, 120};
constexpr QColor kCropFrame{255, 255, 255};
constexpr QColor kHandleFill{150, 200, 255};
constexpr QColor kHandleFrame{0, 0, 0};
constexpr QSize kPreferredSize{640, 480};

} // namespace

CropView::CropView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

CropView::~CropView() = default;

bool CropView::LoadPhoto(const QString& path)
{
    EditingPicture picture;
    if (!LoadForEditing(path, picture))
        return false;
    SetPicture(std::move(picture));
    return true;
}

void CropView::SetPicture(EditingPicture picture)
{
    picture_ = std::move(picture);
    Layout();
}

void CropView::Layout()
{
    drag_ = Drag::None;
    if (picture_.display.isNull()) {
        imageRect_ = cropRect_ = {};
    } else {
        imageRect_ = crop::ImageRectInView(picture_.width, picture_.height, width(), height());
        cropRect_ = crop::InitialCrop(imageRect_);
        if (aspect_.constrained) // the preset chosen stays in force
            cropRect_ = crop::AspectCrop(cropRect_, imageRect_, aspect_.a, aspect_.b);
    }
    update();
}

void CropView::SetAspect(float a, float b)
{
    if (a != 0.0f && b != 0.0f) {
        cropRect_ = crop::AspectCrop(cropRect_, imageRect_, a, b);
        aspect_ = {a, b, true};
    } else {
        aspect_ = {};
    }
    update();
}

std::optional<crop::Rect> CropView::Result() const
{
    if (!HasPhoto())
        return std::nullopt;
    return crop::CropInPhoto(cropRect_, imageRect_, picture_.decodedWidth, picture_.decodedHeight);
}

QSize CropView::sizeHint() const
{
    return kPreferredSize;
}

void CropView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CropView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kViewBackground);
    if (!HasPhoto())
        return;
    const QRect image = imageRect_.ToQRect();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(image, picture_.display);

    // The photo outside the crop: the bands above and below, then left and right of it.
    const crop::Rect& c = cropRect_;
    const crop::Rect& i = imageRect_;
    const crop::Rect bands[] = {
        {i.left, i.top, i.right, c.top},
        {i.left, c.bottom, i.right, i.bottom},
        {i.left, c.top, c.left, c.bottom},
        {c.right, c.top, i.right, c.bottom},
    };
    for (const crop::Rect& band : bands) {
        if (band.Width() > 0 && band.Height() > 0)
            p.fillRect(band.ToQRect(), kDimColour);
    }

    p.setPen(kCropFrame);
    p.setBrush(Qt::NoBrush);
    if (c.Width() > 0 && c.Height() > 0)
        p.drawRect(QRect(c.left, c.top, c.Width() - 1, c.Height() - 1));

    const auto handles = crop::HandleRects(c);
    for (int h = 0; h < crop::kHandleCount; ++h) {
        if (aspect_.constrained && !crop::IsCornerHandle(h))
            continue;
        const QRect box = handles[static_cast<std::size_t>(h)].ToQRect();
        p.fillRect(box, kHandleFill);
        p.setPen(kHandleFrame);
        p.drawRect(box.adjusted(0, 0, -1, -1));
    }
}

void CropView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !HasPhoto()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    const int handle = crop::HitHandle(cropRect_, at, aspect_.constrained);
    if (handle != crop::kNoHandle) {
        drag_ = Drag::Resizing;
        dragHandle_ = handle;
    } else if (cropRect_.Contains(at)) {
        drag_ = Drag::Moving;
        dragStart_ = at;
    } else {
        return;
    }
    savedRect_ = cropRect_; // the press grabs the mouse until the release
}

void CropView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Resizing) {
        cropRect_ = crop::ResizeCrop(savedRect_, dragHandle_, at, imageRect_, aspect_);
        update();
    } else if (drag_ == Drag::Moving) {
        cropRect_ = crop::MoveCrop(savedRect_, at - dragStart_, imageRect_);
        update();
    } else {
        setCursor(HasPhoto() ? crop::CursorAt(cropRect_, at, aspect_.constrained) : Qt::ArrowCursor);
    }
}

void CropView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || drag_ == Drag::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    drag_ = Drag::None;
    dragHandle_ = crop::kNoHandle;
    update();
}
