#include "canvas/ItemRecords.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A layout is a list of (offset, size) in order; it holds when every field starts where
// the previous one ends and the last one ends at the record size.
struct Field {
    int offset;
    int size;
};

template <std::size_t N>
constexpr bool Contiguous(const Field (&fields)[N], int recordSize)
{
    int next = 0;
    for (const Field& f : fields) {
        if (f.offset != next)
            return false;
        next = f.offset + f.size;
    }
    return next == recordSize;
}

using P = Photo::Off;
constexpr Field kPhotoLayout[] = {
    {P::creationOrder, 4}, {P::opacity, 4}, {P::frameIndex, 4}, {P::frameLeft, 4}, {P::frameTop, 4},
    {P::frameRight, 4}, {P::frameBottom, 4}, {P::cropLeft, 4}, {P::cropTop, 4}, {P::cropRight, 4},
    {P::cropBottom, 4}, {P::maskIndex, 4}, {P::selected, 4}, {P::angle, 4}, {P::sourceWidth, 4},
    {P::sourceHeight, 4}, {P::baseWidth, 4}, {P::baseHeight, 4}, {P::drawScale, 4}, {P::hitScale, 4},
    {P::posX, 4}, {P::posY, 4}, {P::dragX, 4}, {P::dragY, 4}, {P::path, kPathFieldSize},
    {P::regionIndex, 4}, {P::cacheScreenRegion, 4}, {P::cacheDisplayImage, 4}, {P::cacheFrameImage, 4},
    {P::tuning, Tuning::kSize},
};
static_assert(Contiguous(kPhotoLayout, Photo::kSize), "Photo layout");
static_assert(Photo::kSize == 400 && P::path == 96 && P::regionIndex == 356 && P::tuning == 372);

using C = ClipArt::Off;
constexpr Field kClipArtLayout[] = {
    {C::reserved, 4}, {C::angle, 4}, {C::sourceIndex, 4}, {C::sourceWidth, 4}, {C::sourceHeight, 4},
    {C::opacity, 4}, {C::selected, 4}, {C::fromMemory, 4}, {C::scale, 4}, {C::hitScale, 4},
    {C::posX, 4}, {C::posY, 4}, {C::dragX, 4}, {C::dragY, 4}, {C::regionIndex, 4},
    {C::cacheScreenRegion, 4}, {C::cachePicture, 4}, {C::tuning, Tuning::kSize},
};
static_assert(Contiguous(kClipArtLayout, ClipArt::kSize), "ClipArt layout");
static_assert(ClipArt::kSize == 96 && C::hitScale == 36 && C::regionIndex == 56 && C::tuning == 68);

using B = BrushStamp::Off;
constexpr Field kBrushStampLayout[] = {
    {B::reserved, 4}, {B::angle, 4}, {B::sourceIndex, 4}, {B::sourceWidth, 4}, {B::sourceHeight, 4},
    {B::opacity, 4}, {B::selected, 4}, {B::scale, 4}, {B::hitScale, 4}, {B::posX, 4},
    {B::posY, 4}, {B::dragX, 4}, {B::dragY, 4}, {B::tintColor, 4}, {B::regionIndex, 4},
    {B::cacheScreenRegion, 4}, {B::cachePicture, 4}, {B::tuning, Tuning::kSize},
};
static_assert(Contiguous(kBrushStampLayout, BrushStamp::kSize), "BrushStamp layout");
static_assert(BrushStamp::kSize == 96 && B::hitScale == 32 && B::tintColor == 52 && B::regionIndex == 56);

using T = Text::Off;
constexpr Field kTextLayout[] = {
    {T::font, LogFont::kSize}, {T::text, kTextFieldSize}, {T::style, 4}, {T::creationOrder, 4},
    {T::angle, 4}, {T::boxWidth, 4}, {T::boxHeight, 4}, {T::scale, 4}, {T::colour1, 4},
    {T::colour2, 4}, {T::selected, 4}, {T::screenBox, 16}, {T::transparency, 4}, {T::posX, 4},
    {T::posY, 4}, {T::dragX, 4}, {T::dragY, 4}, {T::regionIndex, 4}, {T::cacheScreenRegion, 4},
};
static_assert(Contiguous(kTextLayout, Text::kSize), "Text layout");
static_assert(Text::kSize == 1140 && LogFont::kSize == 60 && T::text == 60 && T::regionIndex == 1132);

bool Finite(float v)
{
    return std::isfinite(v);
}

bool TuningFinite(const Tuning& t)
{
    return Finite(t.tuneScale) && Finite(t.tuneOffset) && Finite(t.tuneSaturation) && Finite(t.tuneHue)
        && Finite(t.tuneRotation) && Finite(t.tuneGamma);
}

} // namespace

int RecordSize(std::int32_t kind)
{
    switch (kind) {
    case static_cast<std::int32_t>(ItemKind::ClipArt):
        return ClipArt::kSize;
    case static_cast<std::int32_t>(ItemKind::BrushStamp):
        return BrushStamp::kSize;
    case static_cast<std::int32_t>(ItemKind::Text):
        return Text::kSize;
    case static_cast<std::int32_t>(ItemKind::Photo):
        return Photo::kSize;
    default:
        return 0;
    }
}

bool IsKnownKind(std::int32_t kind)
{
    return RecordSize(kind) != 0;
}

const char* KindName(ItemKind kind)
{
    switch (kind) {
    case ItemKind::ClipArt:
        return "ClipArt";
    case ItemKind::BrushStamp:
        return "BrushStamp";
    case ItemKind::Text:
        return "Text";
    case ItemKind::Photo:
        return "Photo";
    }
    return "";
}

Photo Photo::Read(const std::uint8_t* p)
{
    Photo r;
    r.creationOrder = le::ReadI32(p + P::creationOrder);
    r.opacity = le::ReadF32(p + P::opacity);
    r.frameIndex = le::ReadI32(p + P::frameIndex);
    r.frameLeft = le::ReadF32(p + P::frameLeft);
    r.frameTop = le::ReadF32(p + P::frameTop);
    r.frameRight = le::ReadF32(p + P::frameRight);
    r.frameBottom = le::ReadF32(p + P::frameBottom);
    r.cropLeft = le::ReadI32(p + P::cropLeft);
    r.cropTop = le::ReadI32(p + P::cropTop);
    r.cropRight = le::ReadI32(p + P::cropRight);
    r.cropBottom = le::ReadI32(p + P::cropBottom);
    r.maskIndex = le::ReadI32(p + P::maskIndex);
    r.selected = le::ReadI32(p + P::selected);
    r.angle = le::ReadF32(p + P::angle);
    r.sourceWidth = le::ReadI32(p + P::sourceWidth);
    r.sourceHeight = le::ReadI32(p + P::sourceHeight);
    r.baseWidth = le::ReadI32(p + P::baseWidth);
    r.baseHeight = le::ReadI32(p + P::baseHeight);
    r.drawScale = le::ReadF32(p + P::drawScale);
    r.hitScale = le::ReadF32(p + P::hitScale);
    r.posX = le::ReadI32(p + P::posX);
    r.posY = le::ReadI32(p + P::posY);
    r.dragX = le::ReadI32(p + P::dragX);
    r.dragY = le::ReadI32(p + P::dragY);
    r.path.Read(p + P::path);
    r.regionIndex = le::ReadI32(p + P::regionIndex);
    r.tuning.Read(p + P::tuning);
    return r;
}

void Photo::Write(std::uint8_t* p) const
{
    le::WriteI32(p + P::creationOrder, creationOrder);
    le::WriteF32(p + P::opacity, opacity);
    le::WriteI32(p + P::frameIndex, frameIndex);
    le::WriteF32(p + P::frameLeft, frameLeft);
    le::WriteF32(p + P::frameTop, frameTop);
    le::WriteF32(p + P::frameRight, frameRight);
    le::WriteF32(p + P::frameBottom, frameBottom);
    le::WriteI32(p + P::cropLeft, cropLeft);
    le::WriteI32(p + P::cropTop, cropTop);
    le::WriteI32(p + P::cropRight, cropRight);
    le::WriteI32(p + P::cropBottom, cropBottom);
    le::WriteI32(p + P::maskIndex, maskIndex);
    le::WriteI32(p + P::selected, selected);
    le::WriteF32(p + P::angle, angle);
    le::WriteI32(p + P::sourceWidth, sourceWidth);
    le::WriteI32(p + P::sourceHeight, sourceHeight);
    le::WriteI32(p + P::baseWidth, baseWidth);
    le::WriteI32(p + P::baseHeight, baseHeight);
    le::WriteF32(p + P::drawScale, drawScale);
    le::WriteF32(p + P::hitScale, hitScale);
    le::WriteI32(p + P::posX, posX);
    le::WriteI32(p + P::posY, posY);
    le::WriteI32(p + P::dragX, dragX);
    le::WriteI32(p + P::dragY, dragY);
    path.Write(p + P::path);
    le::WriteI32(p + P::regionIndex, regionIndex);
    le::WriteU32(p + P::cacheScreenRegion, 0);
    le::WriteU32(p + P::cacheDisplayImage, 0);
    le::WriteU32(p + P::cacheFrameImage, 0);
    tuning.Write(p + P::tuning);
}

ClipArt ClipArt::Read(const std::uint8_t* p)
{
    ClipArt r;
    r.reserved = le::ReadI32(p + C::reserved);
    r.angle = le::ReadF32(p + C::angle);
    r.sourceIndex = le::ReadI32(p + C::sourceIndex);
    r.sourceWidth = le::ReadI32(p + C::sourceWidth);
    r.sourceHeight = le::ReadI32(p + C::sourceHeight);
    r.opacity = le::ReadF32(p + C::opacity);
    r.selected = le::ReadI32(p + C::selected);
    r.fromMemory = le::ReadI32(p + C::fromMemory);
    r.scale = le::ReadF32(p + C::scale);
    r.hitScale = le::ReadF32(p + C::hitScale);
    r.posX = le::ReadI32(p + C::posX);
    r.posY = le::ReadI32(p + C::posY);
    r.dragX = le::ReadI32(p + C::dragX);
    r.dragY = le::ReadI32(p + C::dragY);
    r.regionIndex = le::ReadI32(p + C::regionIndex);
    r.tuning.Read(p + C::tuning);
    return r;
}

void ClipArt::Write(std::uint8_t* p) const
{
    le::WriteI32(p + C::reserved, reserved);
    le::WriteF32(p + C::angle, angle);
    le::WriteI32(p + C::sourceIndex, sourceIndex);
    le::WriteI32(p + C::sourceWidth, sourceWidth);
    le::WriteI32(p + C::sourceHeight, sourceHeight);
    le::WriteF32(p + C::opacity, opacity);
    le::WriteI32(p + C::selected, selected);
    le::WriteI32(p + C::fromMemory, fromMemory);
    le::WriteF32(p + C::scale, scale);
    le::WriteF32(p + C::hitScale, hitScale);
    le::WriteI32(p + C::posX, posX);
    le::WriteI32(p + C::posY, posY);
    le::WriteI32(p + C::dragX, dragX);
    le::WriteI32(p + C::dragY, dragY);
    le::WriteI32(p + C::regionIndex, regionIndex);
    le::WriteU32(p + C::cacheScreenRegion, 0);
    le::WriteU32(p + C::cachePicture, 0);
    tuning.Write(p + C::tuning);
}

BrushStamp BrushStamp::Read(const std::uint8_t* p)
{
    BrushStamp r;
    r.reserved = le::ReadI32(p + B::reserved);
    r.angle = le::ReadF32(p + B::angle);
    r.sourceIndex = le::ReadI32(p + B::sourceIndex);
    r.sourceWidth = le::ReadI32(p + B::sourceWidth);
    r.sourceHeight = le::ReadI32(p + B::sourceHeight);
    r.opacity = le::ReadF32(p + B::opacity);
    r.selected = le::ReadI32(p + B::selected);
    r.scale = le::ReadF32(p + B::scale);
    r.hitScale = le::ReadF32(p + B::hitScale);
    r.posX = le::ReadI32(p + B::posX);
    r.posY = le::ReadI32(p + B::posY);
    r.dragX = le::ReadI32(p + B::dragX);
    r.dragY = le::ReadI32(p + B::dragY);
    r.tintColor = le::ReadU32(p + B::tintColor);
    r.regionIndex = le::ReadI32(p + B::regionIndex);
    r.tuning.Read(p + B::tuning);
    return r;
}

void BrushStamp::Write(std::uint8_t* p) const
{
    le::WriteI32(p + B::reserved, reserved);
    le::WriteF32(p + B::angle, angle);
    le::WriteI32(p + B::sourceIndex, sourceIndex);
    le::WriteI32(p + B::sourceWidth, sourceWidth);
    le::WriteI32(p + B::sourceHeight, sourceHeight);
    le::WriteF32(p + B::opacity, opacity);
    le::WriteI32(p + B::selected, selected);
    le::WriteF32(p + B::scale, scale);
    le::WriteF32(p + B::hitScale, hitScale);
    le::WriteI32(p + B::posX, posX);
    le::WriteI32(p + B::posY, posY);
    le::WriteI32(p + B::dragX, dragX);
    le::WriteI32(p + B::dragY, dragY);
    le::WriteU32(p + B::tintColor, tintColor);
    le::WriteI32(p + B::regionIndex, regionIndex);
    le::WriteU32(p + B::cacheScreenRegion, 0);
    le::WriteU32(p + B::cachePicture, 0);
    tuning.Write(p + B::tuning);
}

LogFont Text::ZeroFont()
{
    const std::array<std::uint8_t, LogFont::kSize> zero{};
    return LogFont::Read(zero.data());
}

Text Text::Read(const std::uint8_t* p)
{
    Text r;
    r.font = LogFont::Read(p + T::font);
    r.text.Read(p + T::text);
    r.style = le::ReadI32(p + T::style);
    r.creationOrder = le::ReadI32(p + T::creationOrder);
    r.angle = le::ReadF32(p + T::angle);
    r.boxWidth = le::ReadI32(p + T::boxWidth);
    r.boxHeight = le::ReadI32(p + T::boxHeight);
    r.scale = le::ReadF32(p + T::scale);
    r.colour1 = le::ReadU32(p + T::colour1);
    r.colour2 = le::ReadU32(p + T::colour2);
    r.selected = le::ReadI32(p + T::selected);
    for (int i = 0; i < 4; ++i)
        r.screenBox[static_cast<std::size_t>(i)] = le::ReadI32(p + T::screenBox + 4 * i);
    r.transparency = le::ReadF32(p + T::transparency);
    r.posX = le::ReadI32(p + T::posX);
    r.posY = le::ReadI32(p + T::posY);
    r.dragX = le::ReadI32(p + T::dragX);
    r.dragY = le::ReadI32(p + T::dragY);
    r.regionIndex = le::ReadI32(p + T::regionIndex);
    return r;
}

void Text::Write(std::uint8_t* p) const
{
    font.Write(p + T::font);
    text.Write(p + T::text);
    le::WriteI32(p + T::style, style);
    le::WriteI32(p + T::creationOrder, creationOrder);
    le::WriteF32(p + T::angle, angle);
    le::WriteI32(p + T::boxWidth, boxWidth);
    le::WriteI32(p + T::boxHeight, boxHeight);
    le::WriteF32(p + T::scale, scale);
    le::WriteU32(p + T::colour1, colour1);
    le::WriteU32(p + T::colour2, colour2);
    le::WriteI32(p + T::selected, selected);
    for (int i = 0; i < 4; ++i)
        le::WriteI32(p + T::screenBox + 4 * i, screenBox[static_cast<std::size_t>(i)]);
    le::WriteF32(p + T::transparency, transparency);
    le::WriteI32(p + T::posX, posX);
    le::WriteI32(p + T::posY, posY);
    le::WriteI32(p + T::dragX, dragX);
    le::WriteI32(p + T::dragY, dragY);
    le::WriteI32(p + T::regionIndex, regionIndex);
    le::WriteU32(p + T::cacheScreenRegion, 0);
}

bool Text::operator==(const Text& other) const
{
    std::array<std::uint8_t, kSize> a{};
    std::array<std::uint8_t, kSize> b{};
    Write(a.data());
    other.Write(b.data());
    return a == b;
}

ItemKind KindOf(const CanvasItem& item)
{
    struct Visitor {
        ItemKind operator()(const ClipArt&) const { return ItemKind::ClipArt; }
        ItemKind operator()(const BrushStamp&) const { return ItemKind::BrushStamp; }
        ItemKind operator()(const Text&) const { return ItemKind::Text; }
        ItemKind operator()(const Photo&) const { return ItemKind::Photo; }
    };
    return std::visit(Visitor{}, item);
}

int RecordSize(const CanvasItem& item)
{
    return RecordSize(static_cast<std::int32_t>(KindOf(item)));
}

std::optional<CanvasItem> ReadRecord(std::int32_t kind, const std::uint8_t* p)
{
    switch (kind) {
    case static_cast<std::int32_t>(ItemKind::ClipArt):
        return CanvasItem(ClipArt::Read(p));
    case static_cast<std::int32_t>(ItemKind::BrushStamp):
        return CanvasItem(BrushStamp::Read(p));
    case static_cast<std::int32_t>(ItemKind::Text):
        return CanvasItem(Text::Read(p));
    case static_cast<std::int32_t>(ItemKind::Photo):
        return CanvasItem(Photo::Read(p));
    default:
        return std::nullopt;
    }
}

void WriteRecord(const CanvasItem& item, std::uint8_t* p)
{
    std::visit([p](const auto& record) { record.Write(p); }, item);
}

bool AllFloatsFinite(const CanvasItem& item)
{
    struct Visitor {
        bool operator()(const Photo& r) const
        {
            return Finite(r.opacity) && Finite(r.frameLeft) && Finite(r.frameTop) && Finite(r.frameRight)
                && Finite(r.frameBottom) && Finite(r.angle) && Finite(r.drawScale) && Finite(r.hitScale)
                && TuningFinite(r.tuning);
        }
        bool operator()(const ClipArt& r) const
        {
            return Finite(r.angle) && Finite(r.opacity) && Finite(r.scale) && Finite(r.hitScale)
                && TuningFinite(r.tuning);
        }
        bool operator()(const BrushStamp& r) const
        {
            return Finite(r.angle) && Finite(r.opacity) && Finite(r.scale) && Finite(r.hitScale)
                && TuningFinite(r.tuning);
        }
        bool operator()(const Text& r) const
        {
            return Finite(r.angle) && Finite(r.scale) && Finite(r.transparency);
        }
    };
    return std::visit(Visitor{}, item);
}

DrawFields DrawFieldsOf(const CanvasItem& item)
{
    struct Visitor {
        DrawFields operator()(const Photo& r) const
        {
            return {r.baseWidth, r.baseHeight, r.drawScale, r.hitScale, r.angle, r.posX, r.posY, r.opacity};
        }
        DrawFields operator()(const ClipArt& r) const
        {
            return {r.sourceWidth, r.sourceHeight, r.scale, r.hitScale, r.angle, r.posX, r.posY, r.opacity};
        }
        DrawFields operator()(const BrushStamp& r) const
        {
            return {r.sourceWidth, r.sourceHeight, r.scale, r.hitScale, r.angle, r.posX, r.posY, r.opacity};
        }
        DrawFields operator()(const Text& r) const
        {
            return {r.boxWidth, r.boxHeight, r.scale, 1.0f, r.angle, r.posX, r.posY, 1.0f - r.transparency};
        }
    };
    return std::visit(Visitor{}, item);
}

bool IsSelected(const CanvasItem& item)
{
    return std::visit([](const auto& r) { return r.selected != 0; }, item);
}

void SetSelected(CanvasItem& item, bool selected)
{
    std::visit([selected](auto& r) { r.selected = selected ? 1 : 0; }, item);
}

std::int32_t RegionIndexOf(const CanvasItem& item)
{
    return std::visit([](const auto& r) { return r.regionIndex; }, item);
}

void SetRegionIndex(CanvasItem& item, std::int32_t index)
{
    std::visit([index](auto& r) { r.regionIndex = index; }, item);
}

void SetPosition(CanvasItem& item, std::int32_t x, std::int32_t y)
{
    std::visit([x, y](auto& r) {
        r.posX = x;
        r.posY = y;
    }, item);
}

QPoint DragStartOf(const CanvasItem& item)
{
    return std::visit([](const auto& r) { return QPoint(r.dragX, r.dragY); }, item);
}

void SetDragStart(CanvasItem& item, std::int32_t x, std::int32_t y)
{
    std::visit([x, y](auto& r) {
        r.dragX = x;
        r.dragY = y;
    }, item);
}

void SetAngle(CanvasItem& item, float angle)
{
    std::visit([angle](auto& r) { r.angle = angle; }, item);
}

void SetDrawScale(CanvasItem& item, float scale)
{
    struct Visitor {
        float s;
        void operator()(Photo& r) const { r.drawScale = s; }
        void operator()(ClipArt& r) const { r.scale = s; }
        void operator()(BrushStamp& r) const { r.scale = s; }
        void operator()(Text& r) const { r.scale = s; }
    };
    std::visit(Visitor{scale}, item);
}

std::int32_t TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (value <= lo)
        return std::numeric_limits<std::int32_t>::min();
    if (value >= hi)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value); // truncates toward zero
}

QRect LocalRegionRect(const CanvasItem& item)
{
    struct Visitor {
        QRect operator()(const Photo& r) const
        {
            return Rect(static_cast<float>(r.baseWidth) * r.hitScale, static_cast<float>(r.baseHeight) * r.hitScale);
        }
        QRect operator()(const ClipArt& r) const
        {
            return Rect(static_cast<float>(r.sourceWidth) * r.hitScale, static_cast<float>(r.sourceHeight) * r.hitScale);
        }
        QRect operator()(const BrushStamp& r) const
        {
            return Rect(static_cast<float>(r.sourceWidth) * r.hitScale, static_cast<float>(r.sourceHeight) * r.hitScale);
        }
        QRect operator()(const Text& r) const { return Sized(r.boxWidth, r.boxHeight); }
        static QRect Rect(float w, float h) { return Sized(TruncToInt(w), TruncToInt(h)); }
        // A negative side (only a hostile record has one) gives an empty rectangle.
        static QRect Sized(std::int32_t w, std::int32_t h) { return QRect(0, 0, std::max(w, 0), std::max(h, 0)); }
    };
    return std::visit(Visitor{}, item);
}
