#include "editing/Effects.h"

#include "editing/CxImage.h"
#include "editing/PictureFiles.h"

#include <algorithm>
#include <cstring>

namespace {

bool RunFilter(int commandId, CxImage& image)
{
    static constexpr std::int32_t kEmboss[9] = {0, 0, -1, 0, 0, 0, 1, 0, 0};
    static constexpr std::int32_t kSharpen[9] = {-1, -1, -1, -1, 15, -1, -1, -1, -1};
    static constexpr std::int32_t kGaussian5[25] = {0, 1, 2, 1, 0, 1, 3, 4, 3, 1, 2, 4, 8, 4, 2, 1, 3, 4, 3, 1, 0, 1, 2, 1, 0};
    static constexpr std::int32_t kGaussian3[9] = {1, 2, 1, 2, 4, 2, 1, 2, 1};
    static constexpr std::int32_t kBlur[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    static constexpr std::int32_t kSoften[9] = {1, 1, 1, 1, 8, 1, 1, 1, 1};
    switch (commandId) {
    case kEffectErode: return image.Erode(2);
    case kEffectDilate: return image.Dilate(2);
    case kEffectNoise: return image.Noise(50);
    case kEffectJitter: return image.Jitter(2);
    case kEffectMedian: return image.Median(3);
    case kEffectContour: return image.Contour();
    case kEffectEmboss: return image.Filter(kEmboss, 3, 0, 127);
    case kEffectEdge: return image.Edge(2);
    case kEffectSharpen: return image.Filter(kSharpen, 3, 7, 0);
    case kEffectGaussian5: return image.Filter(kGaussian5, 5, 52, 0);
    case kEffectGaussian3: return image.Filter(kGaussian3, 3, 16, 0);
    case kEffectBlur: return image.Filter(kBlur, 3, 9, 0);
    case kEffectSoften: return image.Filter(kSoften, 3, 16, 0);
    default: return false;
    }
}

} // namespace

bool IsEffectCommand(int commandId)
{
    return (commandId >= kEffectErode && commandId <= kEffectSoften && commandId != 11983 && commandId != 11987);
}

long EffectMonitor::Progress() const
{
    const std::lock_guard lock(mutex_);
    return image_ ? image_->GetProgress() : progress_;
}

void EffectMonitor::Stop()
{
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    if (image_)
        image_->SetEscape(1);
}

bool EffectMonitor::Stopped() const
{
    const std::lock_guard lock(mutex_);
    return stopped_;
}

void EffectMonitor::Attach(CxImage* image)
{
    const std::lock_guard lock(mutex_);
    image_ = image;
    if (stopped_)
        image_->SetEscape(1);
}

void EffectMonitor::Detach()
{
    const std::lock_guard lock(mutex_);
    progress_ = 100;
    image_ = nullptr;
}

bool ApplyEffect(int commandId, CollagePicture& picture)
{
    return ApplyEffect(commandId, picture, nullptr);
}

bool ApplyEffect(int commandId, CollagePicture& picture, EffectMonitor* monitor)
{
    if (!IsEffectCommand(commandId) || picture.width <= 0 || picture.height <= 0)
        return false;
    const std::size_t size = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
    if (picture.pixels.size() != size)
        return false;

    PictureLoader loader;
    if (!loader.FromPixels(picture.pixels.data(), picture.width, picture.height))
        return false;
    CxImage& image = *loader.Image();
    image.SetProgress(0);
    image.SetEscape(0);
    if (monitor)
        monitor->Attach(&image);
    const bool done = RunFilter(commandId, image);
    image.SetProgress(100);
    if (monitor)
        monitor->Detach();
    if (!done || !image.IsValid())
        return false;

    const std::uint32_t width = image.GetWidth();
    const std::uint32_t height = image.GetHeight();
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return false;
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> result(row * height);
    for (std::uint32_t i = 0; i < height; ++i) {
        const std::uint8_t* bits = image.GetBits(i);
        if (!bits)
            return false;
        std::memcpy(result.data() + row * i, bits, row);
    }
    picture.pixels = std::move(result);
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    return true;
}

CollagePicture CollagePictureFromImage(const QImage& image)
{
    CollagePicture picture;
    if (image.isNull())
        return picture;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    picture.width = rgb.width();
    picture.height = rgb.height();
    const std::size_t row = static_cast<std::size_t>(picture.width) * 3;
    picture.pixels.resize(row * static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* in = rgb.constScanLine(picture.height - 1 - y);
        std::uint8_t* out = picture.pixels.data() + row * static_cast<std::size_t>(y);
        for (int x = 0; x < picture.width; ++x) {
            out[3 * x + 0] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x + 0];
        }
    }
    return picture;
}

QImage ImageFromCollagePicture(const CollagePicture& picture)
{
    const std::size_t row = static_cast<std::size_t>(std::max(picture.width, 0)) * 3;
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != row * static_cast<std::size_t>(picture.height))
        return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* in = picture.pixels.data() + row * static_cast<std::size_t>(picture.height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x)
            out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x + 0]);
    }
    return image;
}
