#include "canvas/AutoLayout.h"

#include "canvas/CollageModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace autolayout {

namespace {

double AspectOf(QSize s)
{
    return s.width() > 0 && s.height() > 0 ? double(s.width()) / s.height() : 1.0;
}

// The largest multiple of 4 not above v (at least 0).
int Floor4(double v)
{
    if (!(v > 0))
        return 0;
    return static_cast<int>(std::floor(v)) / 4 * 4;
}

// Fits a crop of the source into the cell: scale, display size (multiples of 4, inside
// the cell) and the centred position.
Placement Fit(const QRectF& exact, const QRect& crop)
{
    // Cells get whole-pixel edges. Neighbours' edges round alike (the spacing is whole),
    // so the gap between two cells stays exactly the spacing.
    const QPointF topLeft(std::round(exact.left()), std::round(exact.top()));
    const QPointF bottomRight(std::round(exact.right()), std::round(exact.bottom()));
    const QRectF cell(topLeft, bottomRight);
    Placement p;
    p.cell = cell;
    p.crop = crop;
    if (crop.width() <= 0 || crop.height() <= 0 || cell.width() < 4 || cell.height() < 4)
        return p;
    // The renderer shows trunc(side x scale) rounded down to a multiple of 4, in float: the
    // scale is lowered until that never exceeds the cell, whatever the rounding.
    const int maxW = Floor4(cell.width());
    const int maxH = Floor4(cell.height());
    float scale = static_cast<float>(std::min(cell.width() / crop.width(), cell.height() / crop.height()));
    auto shown = [](int side, float s) { return static_cast<int>(static_cast<float>(side) * s) / 4 * 4; };
    while (scale > 0 && (shown(crop.width(), scale) > maxW || shown(crop.height(), scale) > maxH))
        scale = std::nextafter(scale, 0.0f);
    p.scale = scale;
    p.display = QSize(shown(crop.width(), scale), shown(crop.height(), scale));
    // Centred; what is left over (under 4 pixels on a side that fills the cell) is split.
    const int left = static_cast<int>(cell.left());
    const int top = static_cast<int>(cell.top());
    p.position = QPoint(left + (static_cast<int>(cell.width()) - p.display.width()) / 2,
                        top + (static_cast<int>(cell.height()) - p.display.height()) / 2);
    return p;
}

// The central crop of a source with the cell's aspect.
QRect CentralCrop(QSize source, const QRectF& cell)
{
    const double cellAspect = cell.width() / std::max(cell.height(), 1e-9);
    int w = source.width();
    int h = source.height();
    if (AspectOf(source) > cellAspect)
        w = std::clamp(static_cast<int>(std::lround(h * cellAspect)), 1, source.width());
    else
        h = std::clamp(static_cast<int>(std::lround(w / cellAspect)), 1, source.height());
    return QRect((source.width() - w) / 2, (source.height() - h) / 2, w, h);
}

struct GridShape {
    int columns = 1;
    int rows = 1;
    double cellWidth = 0;
    double cellHeight = 0;
};

GridShape ShapeFor(int count, int columns, QSizeF area, int spacing)
{
    GridShape g;
    g.columns = columns;
    g.rows = (count + columns - 1) / columns;
    g.cellWidth = (area.width() - (columns - 1) * spacing) / columns;
    g.cellHeight = (area.height() - (g.rows - 1) * spacing) / g.rows;
    return g;
}

std::vector<Placement> GridPlacements(std::span<const QSize> sources, QRectF area, int spacing, bool fill)
{
    const int n = static_cast<int>(sources.size());
    const GridShape g = ShapeFor(n, GridColumns(sources, area.size(), spacing), area.size(), spacing);
    std::vector<Placement> out;
    out.reserve(sources.size());
    for (int i = 0; i < n; ++i) {
        const int row = i / g.columns;
        const int column = i % g.columns;
        // A last row that is not full is centred.
        const int inRow = std::min(g.columns, n - row * g.columns);
        const double rowWidth = inRow * g.cellWidth + (inRow - 1) * spacing;
        const double left = area.left() + (area.width() - rowWidth) / 2;
        const QRectF cell(left + column * (g.cellWidth + spacing), area.top() + row * (g.cellHeight + spacing),
                          g.cellWidth, g.cellHeight);
        const QSize s = sources[static_cast<std::size_t>(i)];
        if (s.width() <= 0 || s.height() <= 0) {
            out.push_back(Placement{cell, {}, 0, {}, {}});
            continue;
        }
        out.push_back(Fit(cell, fill ? CentralCrop(s, cell) : QRect(QPoint(0, 0), s)));
    }
    return out;
}

// Splits the aspects, in order, into `rows` contiguous rows whose sums are as even as
// possible (least squares from the mean). Returns the index where each row starts.
std::vector<int> BalancedRows(const std::vector<double>& aspects, int rows)
{
    const int n = static_cast<int>(aspects.size());
    std::vector<double> prefix(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i)
        prefix[std::size_t(i) + 1] = prefix[std::size_t(i)] + aspects[std::size_t(i)];
    const double mean = prefix.back() / rows;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    // cost[k][i]: best cost of the first i photos in k rows; from[k][i]: start of row k.
    std::vector<std::vector<double>> cost(static_cast<std::size_t>(rows) + 1,
                                          std::vector<double>(static_cast<std::size_t>(n) + 1, kInf));
    std::vector<std::vector<int>> from(static_cast<std::size_t>(rows) + 1, std::vector<int>(static_cast<std::size_t>(n) + 1, 0));
    cost[0][0] = 0;
    for (int k = 1; k <= rows; ++k) {
        for (int i = k; i <= n - (rows - k); ++i) {
            for (int j = k - 1; j < i; ++j) {
                const double before = cost[std::size_t(k) - 1][std::size_t(j)];
                if (before == kInf)
                    continue;
                const double d = prefix[std::size_t(i)] - prefix[std::size_t(j)] - mean;
                const double c = before + d * d;
                if (c < cost[std::size_t(k)][std::size_t(i)]) {
                    cost[std::size_t(k)][std::size_t(i)] = c;
                    from[std::size_t(k)][std::size_t(i)] = j;
                }
            }
        }
    }
    std::vector<int> starts(static_cast<std::size_t>(rows));
    int i = n;
    for (int k = rows; k >= 1; --k) {
        starts[std::size_t(k) - 1] = from[std::size_t(k)][std::size_t(i)];
        i = from[std::size_t(k)][std::size_t(i)];
    }
    return starts;
}

// Total height of rows that each fill the width.
double MosaicHeight(const std::vector<double>& aspects, const std::vector<int>& starts, double width, int spacing)
{
    const int n = static_cast<int>(aspects.size());
    double total = 0;
    for (std::size_t r = 0; r < starts.size(); ++r) {
        const int begin = starts[r];
        const int end = r + 1 < starts.size() ? starts[r + 1] : n;
        double sum = 0;
        for (int i = begin; i < end; ++i)
            sum += aspects[std::size_t(i)];
        total += (width - (end - begin - 1) * spacing) / sum;
    }
    return total + double(starts.size() - 1) * spacing;
}

std::vector<Placement> MosaicPlacements(std::span<const QSize> sources, QRectF area, int spacing)
{
    const int n = static_cast<int>(sources.size());
    std::vector<double> aspects;
    aspects.reserve(sources.size());
    for (const QSize& s : sources)
        aspects.push_back(AspectOf(s));
    const double sum = std::accumulate(aspects.begin(), aspects.end(), 0.0);

    // Balanced rows have a height of about width x rows / sum each, so about
    // sqrt(height x sum / width) rows fill the height; the rows around it are tried.
    const int guess = std::clamp(static_cast<int>(std::lround(std::sqrt(area.height() * sum / area.width()))), 1, n);
    std::vector<int> best;
    double bestScore = std::numeric_limits<double>::infinity();
    for (int rows = std::max(1, guess - 2); rows <= std::min(n, guess + 2); ++rows) {
        const std::vector<int> starts = BalancedRows(aspects, rows);
        const double height = MosaicHeight(aspects, starts, area.width(), spacing);
        if (!(height > 0))
            continue;
        const double score = std::abs(std::log(height / area.height()));
        if (score < bestScore) {
            bestScore = score;
            best = starts;
        }
    }
    if (best.empty())
        best = {0};

    // Too tall: every row narrower by the same factor (spacing kept), centred.
    double width = area.width();
    double height = MosaicHeight(aspects, best, width, spacing);
    if (height > area.height()) {
        // Row heights scale with (width - gaps); solve for the width that fits.
        double low = 0;
        double high = width;
        for (int i = 0; i < 60; ++i) {
            const double mid = (low + high) / 2;
            (MosaicHeight(aspects, best, mid, spacing) > area.height() ? high : low) = mid;
        }
        width = low;
        height = MosaicHeight(aspects, best, width, spacing);
    }
    const double left = area.left() + (area.width() - width) / 2;
    double top = area.top() + std::max(0.0, (area.height() - height) / 2);

    std::vector<Placement> out;
    out.reserve(sources.size());
    for (std::size_t r = 0; r < best.size(); ++r) {
        const int begin = best[r];
        const int end = r + 1 < best.size() ? best[r + 1] : n;
        double rowSum = 0;
        for (int i = begin; i < end; ++i)
            rowSum += aspects[std::size_t(i)];
        const double rowHeight = (width - (end - begin - 1) * spacing) / rowSum;
        double x = left;
        for (int i = begin; i < end; ++i) {
            const QSize s = sources[std::size_t(i)];
            const double w = rowHeight * aspects[std::size_t(i)];
            const QRectF cell(x, top, w, rowHeight);
            out.push_back(s.width() > 0 && s.height() > 0 ? Fit(cell, QRect(QPoint(0, 0), s))
                                                           : Placement{cell, {}, 0, {}, {}});
            x += w + spacing;
        }
        top += rowHeight + spacing;
    }
    return out;
}

// The opening's share of a framed photo on each side (1 x 1 unframed or for an
// opening that is not usable).
struct OpeningShare {
    bool framed = false;
    QSizeF size{1.0, 1.0};
};

OpeningShare ShareOf(const Photo& r)
{
    if (r.frameIndex < 1)
        return {};
    const double w = double(r.frameRight) - r.frameLeft;
    const double h = double(r.frameBottom) - r.frameTop;
    if (!(w > 0 && w <= 1 && h > 0 && h <= 1))
        return {};
    return {true, QSizeF(w, h)};
}

// A picture of this size shown in an opening of this share: the framed photo's size.
QSize Enlarged(QSize size, QSizeF share)
{
    constexpr double kLimit = 1 << 24;
    return QSize(static_cast<int>(std::min(kLimit, std::round(size.width() / share.width()))),
                 static_cast<int>(std::min(kLimit, std::round(size.height() / share.height()))));
}

} // namespace

int GridColumns(std::span<const QSize> sources, QSizeF area, int spacing)
{
    const int n = static_cast<int>(sources.size());
    if (n <= 1)
        return 1;
    // The photos' average aspect, averaged as logarithms so that 2:1 and 1:2 balance.
    double logSum = 0;
    for (const QSize& s : sources)
        logSum += std::log(AspectOf(s));
    const double target = logSum / n;
    int best = 1;
    double bestScore = std::numeric_limits<double>::infinity();
    for (int columns = 1; columns <= n; ++columns) {
        const GridShape g = ShapeFor(n, columns, area, spacing);
        if (g.cellWidth < 4 || g.cellHeight < 4)
            continue;
        // Closest cell aspect first; between equals, the fewer empty cells.
        const double score = std::abs(std::log(g.cellWidth / g.cellHeight) - target) + 1e-3 * (g.columns * g.rows - n);
        if (score < bestScore) {
            bestScore = score;
            best = columns;
        }
    }
    return best;
}

std::vector<Placement> Compute(std::span<const QSize> sources, QSize canvas, const Options& options)
{
    const int spacing = std::clamp(options.spacing, 0, kMaxSpacing);
    const int margin = std::clamp(options.margin, 0, kMaxSpacing);
    const QRectF area(margin, margin, canvas.width() - 2.0 * margin, canvas.height() - 2.0 * margin);
    if (sources.empty() || area.width() < 4 || area.height() < 4)
        return {};
    switch (options.mode) {
    case Mode::Grid:
        return GridPlacements(sources, area, spacing, false);
    case Mode::Fill:
        return GridPlacements(sources, area, spacing, true);
    case Mode::Mosaic:
        return MosaicPlacements(sources, area, spacing);
    }
    return {};
}

QSize CanvasForAspect(QSize canvas, int aspectWidth, int aspectHeight)
{
    if (aspectWidth <= 0 || aspectHeight <= 0)
        return canvas;
    const int width = std::clamp(canvas.width(), kMinCanvasSide, kMaxCanvasSide);
    const int height = std::clamp(static_cast<int>(std::lround(double(width) * aspectHeight / aspectWidth)), kMinCanvasSide,
                                  kMaxCanvasSide);
    return QSize(width, height);
}

bool Apply(CollageModel& model, std::span<const PhotoSource> photos, const Options& options, int aspectWidth,
           int aspectHeight)
{
    const QSize before(model.CanvasWidth(), model.CanvasHeight());
    const QSize target = CanvasForAspect(before, aspectWidth, aspectHeight);
    // The canvas size the model will really have (sides rounded down to multiples of 4).
    const QSize canvas(target.width() / 4 * 4, target.height() / 4 * 4);

    std::optional<CollageModel::FrameOpening> frame;
    if (options.frameEntry >= 0) {
        frame = model.ReadFrameOpening(options.frameEntry);
        if (!frame)
            return false;
    }

    // What each photo shows before the layout: its current crop, or the whole picture,
    // enlarged by its frame's opening.
    std::vector<QSize> sizes;
    std::vector<Photo> records;
    std::vector<QSizeF> openings; // the opening's share of the framed photo, 1 x 1 unframed
    for (const PhotoSource& source : photos) {
        if (source.itemIndex >= 0) {
            if (source.itemIndex >= model.ItemCount())
                return false;
            const auto* photo = std::get_if<Photo>(&model.ItemAt(source.itemIndex));
            if (!photo)
                return false;
            records.push_back(*photo);
        } else {
            std::optional<Photo> made = model.NewPhotoRecord(source.path, source.size.width(), source.size.height());
            if (!made)
                return false;
            records.push_back(*made);
        }
        Photo& r = records.back();
        if (frame) {
            r.frameIndex = options.frameEntry + 1;
            r.maskIndex = 0;
            r.frameLeft = frame->left;
            r.frameTop = frame->top;
            r.frameRight = frame->right;
            r.frameBottom = frame->bottom;
        }
        const OpeningShare share = ShareOf(r);
        openings.push_back(share.size);
        if (options.mode == Mode::Fill) {
            sizes.push_back(Enlarged(QSize(r.sourceWidth, r.sourceHeight), share.size));
        } else if (share.framed) {
            const QSize crop(r.cropRight - r.cropLeft, r.cropBottom - r.cropTop);
            const QSize shown = crop.width() > 0 && crop.height() > 0 ? crop : QSize(r.sourceWidth, r.sourceHeight);
            sizes.push_back(Enlarged(shown, share.size));
        } else {
            sizes.push_back(QSize(r.baseWidth, r.baseHeight));
        }
    }
    const std::vector<Placement> placements = Compute(sizes, canvas, options);
    if (placements.size() != records.size() || placements.empty())
        return false;

    if (canvas != before && !model.SetCanvasSize(canvas.width(), canvas.height()))
        return false;
    model.ClearSelection();
    for (std::size_t i = 0; i < records.size(); ++i) {
        Photo& r = records[i];
        const Placement& p = placements[i];
        if (options.mode == Mode::Fill && p.crop.isValid()) {
            // The crop of the enlarged picture, back in source pixels.
            const QSizeF f = openings[i];
            const auto scaled = [](int v, double share) { return static_cast<int>(std::lround(v * share)); };
            const int left = std::clamp(scaled(p.crop.left(), f.width()), 0, r.sourceWidth - 1);
            const int top = std::clamp(scaled(p.crop.top(), f.height()), 0, r.sourceHeight - 1);
            const int width = std::clamp(scaled(p.crop.width(), f.width()), 1, r.sourceWidth - left);
            const int height = std::clamp(scaled(p.crop.height(), f.height()), 1, r.sourceHeight - top);
            r.cropLeft = left;
            r.cropTop = top;
            r.cropRight = left + width;
            r.cropBottom = top + height;
        }
        if (p.crop.isValid()) {
            r.baseWidth = sizes[i].width();
            r.baseHeight = sizes[i].height();
            if (options.mode == Mode::Fill) {
                r.baseWidth = p.crop.width();
                r.baseHeight = p.crop.height();
            }
        }
        r.angle = 0.0f;
        r.drawScale = p.scale;
        r.hitScale = p.scale;
        r.posX = p.position.x();
        r.posY = p.position.y();
        r.selected = 0;
        const int index = photos[i].itemIndex;
        if (index >= 0) {
            model.ItemAt(index) = r;
            model.DropPhotoImages(index);
            model.RebuildRegion(index);
        } else {
            model.AppendLoadedItem(r);
        }
    }
    model.SetModified(true);
    model.RecordCanvasStep(before);
    model.RequestRedraw();
    return true;
}

} // namespace autolayout
