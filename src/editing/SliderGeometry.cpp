#include "editing/SliderGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace slider {

int ClampPosition(int position, int minimum, int maximum)
{
    if (maximum <= minimum)
        return minimum;
    return std::clamp(position, minimum, maximum);
}

QRect ThumbRect(int width, int position, int minimum, int maximum)
{
    double fraction = 0.0;
    if (maximum > minimum) {
        const int clamped = ClampPosition(position, minimum, maximum);
        fraction = (double(clamped) - double(minimum)) / (double(maximum) - double(minimum));
    }
    const int left = std::max(0, int(std::trunc(double(width - kThumbWidth) * fraction)));
    return QRect(QPoint(left, kThumbTop), QPoint(left + kThumbWidth - 1, kThumbBottom - 1));
}

int PositionAtX(int x, int width, int minimum, int maximum)
{
    if (maximum <= minimum || width < 2)
        return minimum;
    // 64-bit: a wide range times a wide control does not overflow.
    const std::int64_t range = std::int64_t(maximum) - minimum;
    const std::int64_t position = minimum + std::int64_t(x) * range / (width - 1);
    return int(std::clamp<std::int64_t>(position, minimum, maximum));
}

TrackLayout TrackPieces(int width)
{
    width = std::max(width, 0);
    const int capWidth = std::min(kTrackLeftCap.sourceWidth, width / 2);
    TrackLayout layout;
    layout.left = QRect(0, kTrackTop, capWidth, kTrackBitmapHeight);
    layout.right = QRect(width - capWidth, kTrackTop, capWidth, kTrackBitmapHeight);
    const int middleWidth = std::max(0, width - 2 * kTrackLeftCap.sourceWidth);
    layout.middle = QRect(kTrackLeftCap.sourceWidth, kTrackTop, middleWidth, kTrackBitmapHeight);
    return layout;
}

} // namespace slider
