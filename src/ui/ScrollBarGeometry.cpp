#include "ui/ScrollBarGeometry.h"

#include <algorithm>

namespace listbox {

namespace {

// Length along the bar and thickness across it.
int Along(Qt::Orientation o, const QSize& s)
{
    return o == Qt::Vertical ? s.height() : s.width();
}
int Across(Qt::Orientation o, const QSize& s)
{
    return o == Qt::Vertical ? s.width() : s.height();
}

QRect Span(Qt::Orientation o, int start, int length, int acrossStart, int acrossLength)
{
    return o == Qt::Vertical ? QRect(acrossStart, start, acrossLength, length)
                             : QRect(start, acrossStart, length, acrossLength);
}

struct TrackSpan {
    int start;
    int length;
};

TrackSpan Track(Qt::Orientation o, const QSize& size)
{
    const int along = Along(o, size);
    const int arrow = std::min(Across(o, size), along / 2);
    return {arrow, std::max(0, along - 2 * arrow)};
}

int ThumbLength(const TrackSpan& track, const ScrollRange& r)
{
    const qint64 total = qint64(r.maximum) - r.minimum + std::max(1, r.page);
    const int length = int(qint64(track.length) * std::max(1, r.page) / std::max<qint64>(1, total));
    return std::min(track.length, std::max(kListBoxMetrics.minThumb, length));
}

} // namespace

ScrollBarParts LayOutScrollBar(Qt::Orientation o, const QSize& size, const ScrollRange& r)
{
    ScrollBarParts parts;
    const int across = Across(o, size);
    const TrackSpan track = Track(o, size);
    parts.less = Span(o, 0, track.start, 0, across);
    parts.more = Span(o, track.start + track.length, Along(o, size) - track.start - track.length, 0, across);
    parts.track = Span(o, track.start, track.length, 0, across);
    if (r.maximum <= r.minimum || track.length <= 0)
        return parts;
    const int length = ThumbLength(track, r);
    const int value = std::clamp(r.value, r.minimum, r.maximum);
    const qint64 span = qint64(r.maximum) - r.minimum;
    const int offset = int((qint64(track.length - length) * (value - r.minimum) + span / 2) / span); // rounded
    const int inset = kListBoxMetrics.thumbInset;
    parts.thumb = Span(o, track.start + offset, length, inset, std::max(1, across - 2 * inset));
    return parts;
}

int ValueForThumbStart(Qt::Orientation o, const QSize& size, const ScrollRange& r, int thumbStart)
{
    if (r.maximum <= r.minimum)
        return r.minimum;
    const TrackSpan track = Track(o, size);
    const int free = track.length - ThumbLength(track, r);
    if (free <= 0)
        return r.minimum;
    const int offset = std::clamp(thumbStart - track.start, 0, free);
    // Rounded to the nearest value, so that a thumb put where a value draws it gives that value.
    const qint64 span = qint64(r.maximum) - r.minimum;
    return r.minimum + int((offset * span + free / 2) / free);
}

} // namespace listbox
