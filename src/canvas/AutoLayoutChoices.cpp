#include "canvas/AutoLayoutChoices.h"

#include "canvas/CollageModel.h"

#include <algorithm>
#include <utility>

namespace autolayout {

Options OptionsOf(const Choices& choices)
{
    Options options;
    options.mode = choices.mode;
    options.spacing = std::clamp(choices.spacing, 0, kMaxSpacing);
    options.margin = std::clamp(choices.margin, 0, kMaxSpacing);
    options.frameEntry = choices.frameEntry < 0 ? -1 : choices.frameEntry;
    return options;
}

QSize AspectOf(int aspect)
{
    if (aspect < 0 || aspect >= static_cast<int>(kAspectChoices.size()))
        return {0, 0};
    const AspectChoice& choice = kAspectChoices[static_cast<std::size_t>(aspect)];
    return {choice.width, choice.height};
}

QSize CanvasForChoice(QSize canvas, int aspect)
{
    const QSize ratio = AspectOf(aspect);
    const QSize size = CanvasForAspect(canvas, ratio.width(), ratio.height());
    return {size.width() / 4 * 4, size.height() / 4 * 4};
}

std::vector<PhotoSource> PhotosOnCanvas(const CollageModel& model)
{
    std::vector<PhotoSource> photos;
    for (int i = 0; i < model.ItemCount(); ++i) {
        if (const auto* photo = std::get_if<Photo>(&model.ItemAt(i)))
            photos.push_back({i, photo->path.Value(), QSize(photo->sourceWidth, photo->sourceHeight)});
    }
    return photos;
}

bool ApplyChoices(CollageModel& model, std::span<const PhotoSource> photos, const Choices& choices)
{
    const QSize ratio = AspectOf(choices.aspect);
    return Apply(model, photos, OptionsOf(choices), ratio.width(), ratio.height());
}

void Shuffler::Shuffle(std::vector<int>& order)
{
    if (order.size() < 2)
        return;
    const std::vector<int> before = order;
    // Fisher-Yates with the generator's raw output, so the orders do not depend on the
    // standard library's distributions. A draw that leaves the order as it was is drawn
    // again (for two elements the swap is certain after a few tries).
    for (int attempt = 0; attempt < 64 && order == before; ++attempt) {
        for (std::size_t i = order.size() - 1; i > 0; --i) {
            const std::size_t j = engine_() % (i + 1);
            std::swap(order[i], order[j]);
        }
    }
    if (order == before)
        std::swap(order[0], order[1]);
}

} // namespace autolayout
