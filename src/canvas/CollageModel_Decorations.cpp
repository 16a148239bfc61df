// CollageModel: frames, photo masks and shapes on the selected photo, and library entries
// dropped on the canvas.

#include "canvas/CollageModel.h"

#include "base/UserMessage.h"

#include <cmath>
#include <limits>
#include <utility>

void CollageModel::SetFrameOpeningReader(FrameOpeningReader reader)
{
    frameOpening_ = std::move(reader);
}

void CollageModel::SetShapeSizeReader(EntrySizeReader reader)
{
    shapeSize_ = std::move(reader);
}

void CollageModel::AskForPhoto()
{
    ShowUserMessage(QStringLiteral("Please select a photo on the canvas."));
    NotifyItemAdded();
    emit focusRequested();
}

// The common end of a decoration: one undo step, a redraw, and the brush tool off.
void CollageModel::FinishDecoration(int index)
{
    RebuildRegion(index);
    RecordStep();
    emit redrawRequested();
    modified_ = true;
    NotifyItemAdded();
}

std::optional<CollageModel::FrameOpening> CollageModel::ReadFrameOpening(std::int32_t entry) const
{
    if (entry < 0 || entry == std::numeric_limits<std::int32_t>::max() || !frameOpening_)
        return std::nullopt;
    return frameOpening_(entry);
}

bool CollageModel::ApplyFrame(std::int32_t entry)
{
    if (entry < 0 || entry == std::numeric_limits<std::int32_t>::max() || !frameOpening_)
        return false;
    const std::optional<FrameOpening> opening = frameOpening_(entry);
    if (!opening)
        return false; // a frame library that cannot be read leaves the photo as it is
    const int index = FirstSelectedOf(ItemKind::Photo);
    if (index < 0) {
        AskForPhoto();
        return false;
    }
    Photo& p = std::get<Photo>(ItemAt(index));
    p.frameIndex = entry + 1;
    DropPhotoImages(index);
    p.maskIndex = 0;
    p.frameLeft = opening->left;
    p.frameTop = opening->top;
    p.frameRight = opening->right;
    p.frameBottom = opening->bottom;
    // A sliver of an opening would give a base size past the int range: it saturates.
    p.baseWidth = TruncToInt(static_cast<float>(p.sourceWidth) / (p.frameRight - p.frameLeft));
    p.baseHeight = TruncToInt(static_cast<float>(p.sourceHeight) / (p.frameBottom - p.frameTop));
    FinishDecoration(index);
    return true;
}

bool CollageModel::ApplyMask(std::int32_t number)
{
    if (number < 0 || number == std::numeric_limits<std::int32_t>::max())
        return false;
    const int index = FirstSelectedOf(ItemKind::Photo);
    if (index < 0) {
        AskForPhoto();
        return false;
    }
    Photo& p = std::get<Photo>(ItemAt(index));
    if (number + 1 < kShapeNumberBase) {
        p.maskIndex = number + 1;
        DropPhotoImages(index);
        p.frameIndex = 0;
        FinishDecoration(index);
        return true;
    }

    // A shape: the source is cropped centrally to the shape's aspect ratio. Checked before
    // the record is touched, so a shape that cannot be read changes nothing.
    const QSize shape = shapeSize_ ? shapeSize_(number - kShapeNumberBase) : QSize();
    if (shape.width() <= 0 || shape.height() <= 0 || p.sourceWidth <= 0 || p.sourceHeight <= 0)
        return false;
    const float d = static_cast<float>(shape.width()) / static_cast<float>(shape.height());
    const std::int32_t s = p.sourceWidth;
    const std::int32_t t = p.sourceHeight;
    if (d > static_cast<float>(s) / static_cast<float>(t)) {
        const std::int32_t g = TruncToInt((static_cast<float>(t) - static_cast<float>(s) / d) * 0.5f);
        p.cropLeft = 0;
        p.cropTop = g;
        p.cropRight = s;
        p.cropBottom = t - g;
    } else {
        const std::int32_t h = TruncToInt((static_cast<float>(s) - static_cast<float>(t) * d) * 0.5f);
        p.cropLeft = h;
        p.cropTop = 0;
        p.cropRight = s - h;
        p.cropBottom = t;
    }
    p.maskIndex = number + 1;
    p.baseWidth = p.cropRight - p.cropLeft;
    p.baseHeight = p.cropBottom - p.cropTop;
    CacheOf(index).hasScreenRegion = false;
    CacheOf(index).screenRegion = QPainterPath();
    DropPhotoImages(index);
    p.frameIndex = 0;
    FinishDecoration(index);
    return true;
}

bool CollageModel::DropLibrarySelection(std::int32_t category, std::int32_t entry, std::int32_t clientX,
                                        std::int32_t clientY)
{
    switch (category) {
    case 0:
        return ApplyFrame(entry);
    case 1:
        return ApplyMask(entry);
    case 5:
        if (entry < 0 || entry > std::numeric_limits<std::int32_t>::max() - kShapeNumberBase)
            return false;
        return ApplyMask(entry + kShapeNumberBase);
    case 2:
        return AddClipArt(entry, clientX, clientY);
    default:
        return false;
    }
}
