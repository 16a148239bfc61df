#include "canvas/CollageEffect.h"

#include "canvas/CanvasRenderer.h"
#include "canvas/CollageModel.h"

#include <cstring>
#include <utility>

CollagePicture ComposeCollagePicture(CanvasRenderer& renderer)
{
    CollagePicture picture;
    if (!renderer.ComposeFullSize())
        return picture;
    const ExportBitmap& bitmap = renderer.Export();
    const std::size_t row = static_cast<std::size_t>(bitmap.Width()) * 3;
    picture.pixels.resize(row * static_cast<std::size_t>(bitmap.Height()));
    // Both are bottom-up blue-green-red; the bitmap's rows may be padded.
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(picture.pixels.data() + row * static_cast<std::size_t>(y), bitmap.Row(y), row);
    picture.width = bitmap.Width();
    picture.height = bitmap.Height();
    // The picture now holds its own copy; the export bitmap's memory is not needed until
    // the next export.
    renderer.Export().Clear();
    return picture;
}

bool TakeEffectResult(CollageModel& model, const CollagePicture& picture)
{
    const std::size_t row = static_cast<std::size_t>(picture.width > 0 ? picture.width : 0) * 3;
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != row * static_cast<std::size_t>(picture.height))
        return false;
    // Picture buffers are blue, green, red, alpha, top row first.
    std::vector<std::uint8_t> argb(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* in = picture.pixels.data() + row * static_cast<std::size_t>(picture.height - 1 - y);
        std::uint8_t* out = argb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) * 4;
        for (int x = 0; x < picture.width; ++x) {
            out[4 * x + 0] = in[3 * x + 0];
            out[4 * x + 1] = in[3 * x + 1];
            out[4 * x + 2] = in[3 * x + 2];
            out[4 * x + 3] = 255;
        }
    }
    return model.ReplaceItemsByPicture(std::move(argb), picture.width, picture.height);
}

bool ApplyCollageEffect(CollageModel& model, CanvasRenderer& renderer, int commandId, EffectMonitor* monitor)
{
    if (!IsEffectCommand(commandId))
        return false;
    CollagePicture picture = ComposeCollagePicture(renderer);
    if (picture.width == 0 || !ApplyEffect(commandId, picture, monitor))
        return false;
    return TakeEffectResult(model, picture);
}
