#include "editing/MetafileCoverage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace metafile {

namespace {

// The least part of the picture a drawing record counts as: a hair line still costs a
// little, and a million such records still add up.
constexpr double kLeastPart = 1.0 / 4096.0;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Has(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }
    std::uint32_t U16(std::size_t at) const { return std::uint32_t(data_[at]) | std::uint32_t(data_[at + 1]) << 8; }
    int I16(std::size_t at) const { return int(std::int16_t(std::uint16_t(U16(at)))); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

struct Box {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    bool empty = true;
    void Add(double x, double y)
    {
        if (empty) {
            left = right = x;
            top = bottom = y;
            empty = false;
            return;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

} // namespace

double WindowsMetafileCoverage(const std::uint8_t* data, std::size_t size)
{
    if (!data)
        return 1.0;
    const Reader in(data, size);
    std::size_t at = 0;
    // The window extent the renderer maps onto the whole picture; unknown (0) until a
    // record sets it, and for good once the mapping changes in a way not followed here.
    double extentWidth = 0;
    double extentHeight = 0;
    bool mappingFollowed = true;
    if (in.Has(0, 22) && data[0] == 0xD7 && data[1] == 0xCD && data[2] == 0xC6 && data[3] == 0x9A)
        at = 22; // the placeable header: its bounds size the picture, not the units of the records
    if (!in.Has(at, 18))
        return 1.0;
    at += std::size_t(std::max<std::uint32_t>(in.U16(at + 2), 9)) * 2; // the header's size in words
    double widestPen = 0;
    double currentX = 0;
    double currentY = 0;
    double coverage = 1.0;
    while (in.Has(at, 6)) {
        const std::uint64_t words = std::uint64_t(in.U16(at)) | std::uint64_t(in.U16(at + 2)) << 16;
        const std::uint32_t function = in.U16(at + 4);
        if (function == 0 || words < 3 || words > (size - at) / 2)
            break;
        const std::size_t params = at + 6;
        const std::size_t paramBytes = std::size_t(words) * 2 - 6;
        auto has = [&](std::size_t count) { return paramBytes >= count * 2; };
        auto p = [&](std::size_t index) { return double(in.I16(params + index * 2)); };
        // The part of the picture a record may paint: its box grown by the widest pen, or
        // the whole picture when its box is not read here.
        Box box;
        bool drawing = true;
        bool boxed = false;
        switch (function) {
        case 0x020C: // SetWindowExt (y, x)
            drawing = false;
            if (has(2)) {
                extentHeight = std::abs(p(0));
                extentWidth = std::abs(p(1));
            }
            break;
        case 0x0103: // SetMapMode: the window extent counts in the anisotropic and isotropic modes
            drawing = false;
            if (!has(1) || (p(0) != 8 && p(0) != 7))
                mappingFollowed = false;
            break;
        case 0x020E: // SetViewportExt, ScaleWindowExt, ScaleViewportExt
        case 0x0410:
        case 0x0412:
            drawing = false;
            mappingFollowed = false;
            break;
        case 0x02FA: // CreatePenIndirect: style, width (x, y), colour
            drawing = false;
            if (has(3))
                widestPen = std::max(widestPen, std::max(std::abs(p(1)), std::abs(p(2))));
            break;
        case 0x0214: // MoveTo (y, x)
            drawing = false;
            if (has(2)) {
                currentY = p(0);
                currentX = p(1);
            }
            break;
        case 0x0213: // LineTo (y, x)
            if (has(2)) {
                box.Add(currentX, currentY);
                currentY = p(0);
                currentX = p(1);
                box.Add(currentX, currentY);
                boxed = true;
            }
            break;
        case 0x041B: // Rectangle (bottom, right, top, left)
        case 0x0418: // Ellipse
            if (has(4)) {
                box.Add(p(3), p(2));
                box.Add(p(1), p(0));
                boxed = true;
            }
            break;
        case 0x061C: // RoundRect (height, width, bottom, right, top, left)
            if (has(6)) {
                box.Add(p(5), p(4));
                box.Add(p(3), p(2));
                boxed = true;
            }
            break;
        case 0x0817: // Arc, Pie, Chord: the end and start points, then the box
        case 0x081A:
        case 0x0830:
            if (has(8)) {
                box.Add(p(7), p(6));
                box.Add(p(5), p(4));
                boxed = true;
            }
            break;
        case 0x061D: // PatBlt: raster operation (2 words), height, width, y, x
            if (has(6)) {
                box.Add(p(5), p(4));
                box.Add(p(5) + p(3), p(4) + p(2));
                boxed = true;
            }
            break;
        case 0x0324: // Polygon, Polyline: count, points
        case 0x0325:
            if (has(1)) {
                const std::size_t count = std::size_t(in.U16(params));
                if (has(1 + count * 2)) {
                    for (std::size_t i = 0; i < count; ++i)
                        box.Add(p(1 + i * 2), p(2 + i * 2));
                    boxed = !box.empty;
                }
            }
            break;
        case 0x0538: // PolyPolygon: polygon count, point counts, points
            if (has(1)) {
                const std::size_t polygons = std::size_t(in.U16(params));
                std::size_t points = 0;
                if (has(1 + polygons)) {
                    for (std::size_t i = 0; i < polygons; ++i)
                        points += std::size_t(in.U16(params + (1 + i) * 2));
                    if (has(1 + polygons + points * 2)) {
                        for (std::size_t i = 0; i < points; ++i)
                            box.Add(p(1 + polygons + i * 2), p(2 + polygons + i * 2));
                        boxed = !box.empty;
                    }
                }
            }
            break;
        case 0x0228: case 0x012A: case 0x012B: case 0x0419: case 0x041F: case 0x0429: case 0x0521:
        case 0x0548: case 0x0922: case 0x0940: case 0x0A32: case 0x0B23: case 0x0B41: case 0x0D33:
        case 0x0F43:
            break; // text, bitmaps, regions, flood fills: the whole picture
        default:
            drawing = false;
            break;
        }
        if (drawing) {
            double part = 1.0;
            if (boxed && mappingFollowed && extentWidth > 0 && extentHeight > 0) {
                const double width = box.right - box.left + 2 * widestPen + 1;
                const double height = box.bottom - box.top + 2 * widestPen + 1;
                part = std::clamp(std::min(width, extentWidth) * std::min(height, extentHeight)
                                      / (extentWidth * extentHeight),
                                  kLeastPart, 1.0);
            }
            coverage += part;
        }
        at += std::size_t(words) * 2;
    }
    return coverage;
}

} // namespace metafile
