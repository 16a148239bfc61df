#include "base/LittleEndian.h"
#include "canvas/ItemRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

template <typename R>
Bytes Written(const R& record)
{
    Bytes b(R::kSize, 0xEE);
    record.Write(b.data());
    return b;
}

std::int32_t I32(const Bytes& b, int at)
{
    return le::ReadI32(b.data() + at);
}

float F32(const Bytes& b, int at)
{
    return le::ReadF32(b.data() + at);
}

Bytes RandomBytes(std::mt19937& rng, int size)
{
    Bytes b(static_cast<std::size_t>(size));
    for (auto& byte : b)
        byte = static_cast<std::uint8_t>(rng());
    return b;
}

void ZeroSlots(Bytes& b, std::vector<int> cacheSlots)
{
    for (const int at : cacheSlots)
        le::WriteU32(b.data() + at, 0);
}

} // namespace

// The offsets below are the file format written out; they are literal on purpose.
TEST(ItemRecords, PhotoFieldsLandAtTheirOffsets)
{
    Photo p;
    p.creationOrder = 7;
    p.opacity = 0.5f;
    p.frameIndex = 3;
    p.frameLeft = 0.1f;
    p.frameTop = 0.2f;
    p.frameRight = 0.8f;
    p.frameBottom = 0.9f;
    p.cropLeft = 11;
    p.cropTop = 12;
    p.cropRight = 13;
    p.cropBottom = 14;
    p.maskIndex = 5001;
    p.selected = 1;
    p.angle = -45.5f;
    p.sourceWidth = 2000;
    p.sourceHeight = 1000;
    p.baseWidth = 1600;
    p.baseHeight = 900;
    p.drawScale = 0.25f;
    p.hitScale = 0.75f;
    p.posX = -20;
    p.posY = 30;
    p.dragX = 40;
    p.dragY = 50;
    ASSERT_TRUE(p.path.Set(QStringLiteral("/photos/a.jpg")));
    p.regionIndex = 9;
    p.tuning = {1, 1.5f, 0.25f, 2.0f, 90.0f, 0.5f, 1.25f};

    const Bytes b = Written(p);
    ASSERT_EQ(b.size(), 400u);
    EXPECT_EQ(I32(b, 0), 7);
    EXPECT_EQ(F32(b, 4), 0.5f);
    EXPECT_EQ(I32(b, 8), 3);
    EXPECT_EQ(F32(b, 12), 0.1f);
    EXPECT_EQ(F32(b, 16), 0.2f);
    EXPECT_EQ(F32(b, 20), 0.8f);
    EXPECT_EQ(F32(b, 24), 0.9f);
    EXPECT_EQ(I32(b, 28), 11);
    EXPECT_EQ(I32(b, 32), 12);
    EXPECT_EQ(I32(b, 36), 13);
    EXPECT_EQ(I32(b, 40), 14);
    EXPECT_EQ(I32(b, 44), 5001);
    EXPECT_EQ(I32(b, 48), 1);
    EXPECT_EQ(F32(b, 52), -45.5f);
    EXPECT_EQ(I32(b, 56), 2000);
    EXPECT_EQ(I32(b, 60), 1000);
    EXPECT_EQ(I32(b, 64), 1600);
    EXPECT_EQ(I32(b, 68), 900);
    EXPECT_EQ(F32(b, 72), 0.25f);
    EXPECT_EQ(F32(b, 76), 0.75f);
    EXPECT_EQ(I32(b, 80), -20);
    EXPECT_EQ(I32(b, 84), 30);
    EXPECT_EQ(I32(b, 88), 40);
    EXPECT_EQ(I32(b, 92), 50);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(b.data() + 96)), QByteArray("/photos/a.jpg"));
    for (int i = 96 + 13; i < 356; ++i)
        ASSERT_EQ(b[static_cast<std::size_t>(i)], 0) << "path padding at " << i;
    EXPECT_EQ(I32(b, 356), 9);
    EXPECT_EQ(I32(b, 360), 0);
    EXPECT_EQ(I32(b, 364), 0);
    EXPECT_EQ(I32(b, 368), 0);
    EXPECT_EQ(I32(b, 372), 1);
    EXPECT_EQ(F32(b, 376), 1.5f);
    EXPECT_EQ(F32(b, 380), 0.25f);
    EXPECT_EQ(F32(b, 384), 2.0f);
    EXPECT_EQ(F32(b, 388), 90.0f);
    EXPECT_EQ(F32(b, 392), 0.5f);
    EXPECT_EQ(F32(b, 396), 1.25f);
    EXPECT_EQ(Photo::Read(b.data()), p);
}

TEST(ItemRecords, ClipArtAndBrushStampShareTheSizeNotTheLayout)
{
    ClipArt c;
    c.reserved = 77;
    c.angle = 10.0f;
    c.sourceIndex = 4;
    c.sourceWidth = 120;
    c.sourceHeight = 80;
    c.opacity = 0.5f;
    c.selected = 1;
    c.fromMemory = 1;
    c.scale = 2.0f;
    c.hitScale = 3.0f;
    c.posX = 5;
    c.posY = 6;
    c.dragX = 7;
    c.dragY = 8;
    c.regionIndex = 2;
    c.tuning = {1, 1.5f, 0.25f, 2.0f, 90.0f, 0.5f, 1.25f};
    const Bytes cb = Written(c);
    ASSERT_EQ(cb.size(), 96u);
    EXPECT_EQ(I32(cb, 0), 77);
    EXPECT_EQ(F32(cb, 4), 10.0f);
    EXPECT_EQ(I32(cb, 8), 4);
    EXPECT_EQ(I32(cb, 12), 120);
    EXPECT_EQ(I32(cb, 16), 80);
    EXPECT_EQ(F32(cb, 20), 0.5f);
    EXPECT_EQ(I32(cb, 24), 1);
    EXPECT_EQ(I32(cb, 28), 1);
    EXPECT_EQ(F32(cb, 32), 2.0f);
    EXPECT_EQ(F32(cb, 36), 3.0f);
    EXPECT_EQ(I32(cb, 40), 5);
    EXPECT_EQ(I32(cb, 44), 6);
    EXPECT_EQ(I32(cb, 48), 7);
    EXPECT_EQ(I32(cb, 52), 8);
    EXPECT_EQ(I32(cb, 56), 2);
    EXPECT_EQ(I32(cb, 60), 0);
    EXPECT_EQ(I32(cb, 64), 0);
    EXPECT_EQ(I32(cb, 68), 1);
    EXPECT_EQ(F32(cb, 92), 1.25f);

    BrushStamp s;
    s.angle = 30.0f;
    s.sourceIndex = 3;
    s.sourceWidth = 64;
    s.sourceHeight = 32;
    s.opacity = 0.25f;
    s.scale = 2.0f;
    s.hitScale = 4.0f;
    s.posX = 9;
    s.posY = 10;
    s.dragX = 11;
    s.dragY = 12;
    s.tintColor = 0x00112233;
    s.regionIndex = 6;
    s.tuning = Tuning::Created();
    const Bytes sb = Written(s);
    ASSERT_EQ(sb.size(), 96u);
    EXPECT_EQ(F32(sb, 4), 30.0f);
    EXPECT_EQ(F32(sb, 20), 0.25f);
    EXPECT_EQ(F32(sb, 28), 2.0f);
    EXPECT_EQ(F32(sb, 32), 4.0f);
    EXPECT_EQ(I32(sb, 36), 9);
    EXPECT_EQ(I32(sb, 40), 10);
    EXPECT_EQ(I32(sb, 44), 11);
    EXPECT_EQ(I32(sb, 48), 12);
    EXPECT_EQ(le::ReadU32(sb.data() + 52), 0x00112233u);
    EXPECT_EQ(I32(sb, 56), 6);
    EXPECT_EQ(I32(sb, 60), 0);
    EXPECT_EQ(I32(sb, 64), 0);
    EXPECT_EQ(F32(sb, 72), 1.0f);
    EXPECT_EQ(F32(sb, 88), 0.125f);
    EXPECT_EQ(BrushStamp::Read(sb.data()), s);
}

TEST(ItemRecords, TextFieldsLandAtTheirOffsets)
{
    Text t;
    t.font.lfHeight = 48;
    t.font.lfWeight = 700;
    t.font.lfItalic = 1;
    ASSERT_TRUE(t.font.SetFaceName(QStringLiteral("Arial")));
    ASSERT_TRUE(t.text.Set(QStringLiteral("Hello\nworld")));
    t.style = 5;
    t.creationOrder = 2;
    t.angle = 12.5f;
    t.boxWidth = 300;
    t.boxHeight = 60;
    t.scale = 1.5f;
    t.colour1 = 0x0000FF00;
    t.colour2 = 0x00009C00;
    t.selected = 1;
    t.screenBox = {1, 2, 3, 4};
    t.transparency = 0.25f;
    t.posX = 150;
    t.posY = 30;
    t.dragX = 5;
    t.dragY = 6;
    t.regionIndex = 3;

    const Bytes b = Written(t);
    ASSERT_EQ(b.size(), 1140u);
    EXPECT_EQ(I32(b, 0), 48);
    EXPECT_EQ(I32(b, 16), 700);
    EXPECT_EQ(b[20], 1);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(b.data() + 28)), QByteArray("Arial"));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(b.data() + 60)), QByteArray("Hello\nworld"));
    EXPECT_EQ(I32(b, 1060), 5);
    EXPECT_EQ(I32(b, 1064), 2);
    EXPECT_EQ(F32(b, 1068), 12.5f);
    EXPECT_EQ(I32(b, 1072), 300);
    EXPECT_EQ(I32(b, 1076), 60);
    EXPECT_EQ(F32(b, 1080), 1.5f);
    EXPECT_EQ(le::ReadU32(b.data() + 1084), 0x0000FF00u);
    EXPECT_EQ(le::ReadU32(b.data() + 1088), 0x00009C00u);
    EXPECT_EQ(I32(b, 1092), 1);
    EXPECT_EQ(I32(b, 1096), 1);
    EXPECT_EQ(I32(b, 1108), 4);
    EXPECT_EQ(F32(b, 1112), 0.25f);
    EXPECT_EQ(I32(b, 1116), 150);
    EXPECT_EQ(I32(b, 1120), 30);
    EXPECT_EQ(I32(b, 1124), 5);
    EXPECT_EQ(I32(b, 1128), 6);
    EXPECT_EQ(I32(b, 1132), 3);
    EXPECT_EQ(I32(b, 1136), 0);
    EXPECT_EQ(Text::Read(b.data()), t);
}

// Any bytes read and written again come back unchanged, except the cache slots, which
// are written as 0 whatever the input held.
TEST(ItemRecords, RandomRecordsRoundTripWithCacheSlotsZeroed)
{
    std::mt19937 rng(20260308);
    struct Case {
        ItemKind kind;
        std::vector<int> cacheSlots;
    };
    const Case cases[] = {
        {ItemKind::Photo, {360, 364, 368}},
        {ItemKind::ClipArt, {60, 64}},
        {ItemKind::BrushStamp, {60, 64}},
        {ItemKind::Text, {1136}},
    };
    for (const Case& c : cases) {
        const int size = RecordSize(static_cast<std::int32_t>(c.kind));
        for (int round = 0; round < 200; ++round) {
            Bytes in = RandomBytes(rng, size);
            const std::optional<CanvasItem> item = ReadRecord(static_cast<std::int32_t>(c.kind), in.data());
            ASSERT_TRUE(item);
            EXPECT_EQ(KindOf(*item), c.kind);
            Bytes out(static_cast<std::size_t>(size), 0xAB);
            WriteRecord(*item, out.data());
            ZeroSlots(in, c.cacheSlots);
            ASSERT_EQ(out, in) << KindName(c.kind) << " round " << round;
        }
    }
}

TEST(ItemRecords, KindsAndSizes)
{
    EXPECT_EQ(RecordSize(0), 96);
    EXPECT_EQ(RecordSize(1), 96);
    EXPECT_EQ(RecordSize(4), 1140);
    EXPECT_EQ(RecordSize(10), 400);
    for (const std::int32_t other : {-1, 2, 3, 5, 9, 11, 1000})
        EXPECT_FALSE(IsKnownKind(other)) << other;
    const Bytes zero(1140, 0);
    EXPECT_FALSE(ReadRecord(7, zero.data()));
}

TEST(ItemRecords, TextFieldsStoreWholeOrRefuseAndReadUnterminatedToTheEnd)
{
    PathField path;
    EXPECT_TRUE(path.Set(QString(259, QLatin1Char('a'))));
    EXPECT_EQ(path.Value().size(), 259);
    EXPECT_FALSE(path.Set(QString(260, QLatin1Char('b'))));
    EXPECT_EQ(path.Value(), QString(259, QLatin1Char('a'))) << "a refused value leaves the field as it was";

    // A two-byte character that would need the terminator's byte is refused, not cut.
    EXPECT_FALSE(path.Set(QString(258, QLatin1Char('c')) + QChar(0xE9)));
    EXPECT_TRUE(path.Set(QString(257, QLatin1Char('c')) + QChar(0xE9)));
    EXPECT_EQ(path.Value().right(1), QString(QChar(0xE9)));
    EXPECT_FALSE(path.Set(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));

    // Setting a shorter value zeroes the rest of the field.
    EXPECT_TRUE(path.Set(QStringLiteral("x")));
    for (std::size_t i = 1; i < path.bytes.size(); ++i)
        ASSERT_EQ(path.bytes[i], '\0');

    Bytes raw(1000, 'z');
    TextField<1000> text;
    text.Read(raw.data());
    EXPECT_EQ(text.Bytes().size(), 1000);
}

TEST(ItemRecords, RegionRectanglesAreTruncatedScaledSizes)
{
    Photo p;
    p.baseWidth = 2000;
    p.baseHeight = 1000;
    p.hitScale = 1792.0f / 9000.0f;
    EXPECT_EQ(LocalRegionRect(p), QRect(0, 0, 398, 199));

    ClipArt c;
    c.sourceWidth = 101;
    c.sourceHeight = 51;
    c.hitScale = 0.5f;
    EXPECT_EQ(LocalRegionRect(c), QRect(0, 0, 50, 25));

    BrushStamp s;
    s.sourceWidth = 64;
    s.sourceHeight = 30;
    s.scale = 100.0f; // the draw scale plays no part
    s.hitScale = 0.78125f;
    EXPECT_EQ(LocalRegionRect(s), QRect(0, 0, 50, 23));

    Text t;
    t.boxWidth = 300;
    t.boxHeight = 61;
    t.scale = 3.0f;
    EXPECT_EQ(LocalRegionRect(t), QRect(0, 0, 300, 61));

    // A hostile scale saturates instead of overflowing.
    c.hitScale = 1e30f;
    EXPECT_EQ(LocalRegionRect(c).width(), std::numeric_limits<std::int32_t>::max());
    c.hitScale = -1e30f;
    EXPECT_TRUE(LocalRegionRect(c).isEmpty());
    t.boxWidth = std::numeric_limits<std::int32_t>::min();
    EXPECT_TRUE(LocalRegionRect(t).isEmpty());
}

TEST(ItemRecords, TruncationSaturatesAndMapsNanToZero)
{
    EXPECT_EQ(TruncToInt(2.9), 2);
    EXPECT_EQ(TruncToInt(-2.9), -2);
    EXPECT_EQ(TruncToInt(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(TruncToInt(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
    EXPECT_EQ(TruncToInt(std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::max());
}

TEST(ItemRecords, NonFiniteFloatsAreFoundInEveryKind)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Photo p;
    EXPECT_TRUE(AllFloatsFinite(p));
    p.tuning.tuneGamma = nan;
    EXPECT_FALSE(AllFloatsFinite(p));
    ClipArt c;
    c.hitScale = inf;
    EXPECT_FALSE(AllFloatsFinite(c));
    BrushStamp s;
    s.opacity = -inf;
    EXPECT_FALSE(AllFloatsFinite(s));
    Text t;
    t.transparency = nan;
    EXPECT_FALSE(AllFloatsFinite(t));
}

TEST(ItemRecords, DrawFieldsFollowTheKind)
{
    Text t;
    t.boxWidth = 10;
    t.boxHeight = 20;
    t.scale = 2.0f;
    t.transparency = 0.25f;
    const DrawFields d = DrawFieldsOf(t);
    EXPECT_EQ(d.w, 10);
    EXPECT_EQ(d.h, 20);
    EXPECT_EQ(d.s, 2.0f);
    EXPECT_EQ(d.k, 1.0f);
    EXPECT_EQ(d.opacity, 0.75f);

    Photo p;
    p.sourceWidth = 99;
    p.baseWidth = 40;
    p.drawScale = 0.5f;
    p.hitScale = 0.25f;
    CanvasItem item = p;
    EXPECT_EQ(DrawFieldsOf(item).w, 40);
    SetDrawScale(item, 3.0f);
    EXPECT_EQ(std::get<Photo>(item).drawScale, 3.0f);
    EXPECT_EQ(std::get<Photo>(item).hitScale, 0.25f);
}
